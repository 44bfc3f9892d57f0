#include "platform/drm/rights_object.h"

#include <vector>

#include "platform/drm/drm_message.h"

namespace platform::drm {
namespace {

constexpr std::size_t kMaxDepth = 32;
constexpr std::size_t kMaxTags = 4096;

// The element name without its namespace prefix.
std::string_view LocalName(std::string_view name) {
  std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool Inside(const std::vector<std::string>& open, std::string_view name) {
  for (const std::string& element : open) {
    if (element == name) return true;
  }
  return false;
}

}  // namespace

std::optional<RightsObject> ParseRightsObject(std::string_view xml, std::string* error) {
  auto fail = [&](const char* what) -> std::optional<RightsObject> {
    if (error) *error = what;
    return std::nullopt;
  };
  RightsObject rights;
  std::vector<std::string> open;
  std::size_t position = 0, tags = 0;
  bool sawRights = false;
  while ((position = xml.find('<', position)) != std::string_view::npos) {
    if (++tags > kMaxTags) return fail("too many elements");
    std::size_t end = xml.find('>', position);
    if (end == std::string_view::npos) return fail("unterminated tag");
    std::string_view tag = xml.substr(position + 1, end - position - 1);
    std::size_t textStart = end + 1;
    position = end + 1;
    if (tag.starts_with("?") || tag.starts_with("!")) continue;
    bool closing = tag.starts_with("/");
    bool empty = tag.ends_with("/");
    std::string_view name = tag.substr(closing ? 1 : 0);
    name = name.substr(0, name.find_first_of(" \t\r\n/"));
    std::string local(LocalName(name));
    if (closing) {
      if (open.empty() || open.back() != local) return fail("mismatched end tag");
      open.pop_back();
      continue;
    }
    if (local == "rights") sawRights = true;
    bool inPermission = Inside(open, "permission");
    if (inPermission && local == "display") rights.display.granted = true;
    if (inPermission && local == "play") rights.play.granted = true;
    if (empty) continue;
    if (open.size() == kMaxDepth) return fail("nested too deeply");
    open.push_back(local);
    std::size_t textEnd = xml.find('<', textStart);
    if (textEnd == std::string_view::npos) return fail("unterminated element");
    std::string_view text = xml.substr(textStart, textEnd - textStart);
    if (local == "uid" && Inside(open, "asset")) rights.uid = std::string(text);
    if (local == "KeyValue") {
      auto key = DecodeBase64(text);
      if (!key || key->size() != 16) return fail("the key is not 16 bytes of base64");
      rights.key = std::move(*key);
    }
    if (local == "count" && open.size() >= 3) {
      int count = 0;
      for (char c : text) {
        if (c < '0' || c > '9' || count > 1000000) return fail("bad count");
        count = count * 10 + (c - '0');
      }
      const std::string& permission = open[open.size() - 3];
      if (permission == "display") rights.display.count = count;
      if (permission == "play") rights.play.count = count;
    }
  }
  if (!sawRights || !open.empty()) return fail("not a complete rights object");
  if (rights.uid.empty()) return fail("rights without a content identifier");
  return rights;
}

}  // namespace platform::drm
