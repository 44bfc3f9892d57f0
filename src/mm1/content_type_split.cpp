#include "mm1/content_type_split.h"

#include <cctype>

namespace mm1 {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
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

std::optional<std::string> ContentTypeParameter(std::string_view contentType, std::string_view name) {
  std::size_t position = ItemEnd(contentType, 0);
  while (position < contentType.size()) {
    std::size_t end = ItemEnd(contentType, position + 1);
    std::string_view item = contentType.substr(position + 1, end - position - 1);
    position = end;
    std::size_t equals = item.find('=');
    if (equals == std::string_view::npos) continue;
    if (!EqualsNoCase(TrimBlanks(item.substr(0, equals)), name)) continue;
    std::string_view value = TrimBlanks(item.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return std::string(value);
  }
  return std::nullopt;
}

}  // namespace mm1
