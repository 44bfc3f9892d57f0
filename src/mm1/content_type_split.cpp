#include "mm1/content_type_split.h"

#include "mm1/ascii.h"

namespace mm1 {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Finds the end of one ";"-separated item, skipping ";" inside a quoted value.
std::size_t ItemEnd(std::string_view text, std::size_t start) {
  bool quoted = false;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (text[i] == ';' && !quoted) return i;
  }
  return text.size();
}

}  // namespace

std::string ContentTypeWithoutParameters(std::string_view contentType) {
  return std::string(TrimBlanks(contentType.substr(0, ItemEnd(contentType, 0))));
}

std::vector<std::pair<std::string, std::string>> ContentTypeParameters(std::string_view contentType) {
  std::vector<std::pair<std::string, std::string>> parameters;
  std::size_t position = ItemEnd(contentType, 0);
  while (position < contentType.size()) {
    std::size_t end = ItemEnd(contentType, position + 1);
    std::string_view item = contentType.substr(position + 1, end - position - 1);
    position = end;
    std::size_t equals = item.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view value = TrimBlanks(item.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    parameters.emplace_back(std::string(TrimBlanks(item.substr(0, equals))), std::string(value));
  }
  return parameters;
}

std::optional<std::string> ContentTypeParameter(std::string_view contentType, std::string_view name) {
  for (auto& [parameterName, value] : ContentTypeParameters(contentType)) {
    if (EqualsNoCase(parameterName, name)) return value;
  }
  return std::nullopt;
}

SplitContentType SplitContentTypeText(std::string_view contentType, std::string_view parameterName) {
  SplitContentType split{ContentTypeWithoutParameters(contentType), std::nullopt};
  if (!parameterName.empty()) split.parameterValue = ContentTypeParameter(contentType, parameterName);
  return split;
}

}  // namespace mm1
