#include <uriparser/Uri.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>

#include "url_text.h"

namespace internet {
namespace {

struct SchemeEntry {
  std::string_view name;
  std::int32_t number;
  std::uint16_t port;
};

constexpr SchemeEntry kSchemes[] = {
    {"ftp", 1, 21},   {"gopher", 2, 70}, {"http", 3, 80},   {"https", 4, 443},
    {"file", 5, 0},   {"news", 6, 119},  {"mailto", 7, 0},  {"socks", 8, 1080},
};

// Stands in for a character the ASCII grammar has no place for, keeping offsets unchanged.
char AsciiStandIn(char16_t c) {
  if (c >= 0x80) return 'a';
  if (c <= 0x20 || c == 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' ||
      c == '{' || c == '|' || c == '}') {
    return 'a';
  }
  return static_cast<char>(c);
}

// Empty components may point at the parser's own empty text rather than into the address.
UrlRange RangeOf(const UriTextRangeA& range, const std::string& text) {
  const char* base = text.data();
  if (range.first == nullptr || range.afterLast == nullptr || range.first < base ||
      range.afterLast > base + text.size() || range.afterLast <= range.first) {
    return {};
  }
  return {static_cast<std::uint32_t>(range.first - base), static_cast<std::uint32_t>(range.afterLast - range.first)};
}

bool IsHex(char16_t c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

SplitError SplitUrl(std::u16string_view url, UrlParts* parts) {
  std::string ascii(url.size(), '\0');
  for (std::size_t i = 0; i < url.size(); ++i) {
    ascii[i] = AsciiStandIn(url[i]);
    // An escape that is not one cannot be told from the grammar's "%": read it as a character.
    if (url[i] == '%' && !(i + 2 < url.size() && IsHex(url[i + 1]) && IsHex(url[i + 2]))) ascii[i] = 'a';
  }
  UriUriA uri{};
  const char* errorPos = nullptr;
  const char* base = ascii.data();
  if (uriParseSingleUriExA(&uri, base, base + ascii.size(), &errorPos) != URI_SUCCESS) {
    uriFreeUriMembersA(&uri);
    return SplitError::kInvalid;
  }
  UrlParts result;
  if (uri.scheme.first == nullptr) {
    uriFreeUriMembersA(&uri);
    return SplitError::kNoScheme;
  }
  result.scheme = RangeOf(uri.scheme, ascii);
  std::string scheme(uri.scheme.first, uri.scheme.afterLast);
  for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const SchemeEntry& entry : kSchemes) {
    if (entry.name == scheme) {
      result.schemeNumber = entry.number;
      result.port = entry.port;
    }
  }
  result.host = RangeOf(uri.hostText, ascii);
  if (uri.portText.first != nullptr && uri.portText.afterLast != uri.portText.first) {
    unsigned long port = 0;
    for (const char* p = uri.portText.first; p != uri.portText.afterLast && port <= 0xFFFF; ++p) {
      port = port * 10 + static_cast<unsigned>(*p - '0');
    }
    if (port > 0xFFFF) {
      uriFreeUriMembersA(&uri);
      return SplitError::kInvalid;
    }
    result.port = static_cast<std::uint16_t>(port);
  }
  UrlRange userInfo = RangeOf(uri.userInfo, ascii);
  if (userInfo.length > 0) {
    const std::string_view info(ascii.data() + userInfo.offset, userInfo.length);
    const std::size_t colon = info.find(':');
    result.user = {userInfo.offset, static_cast<std::uint32_t>(colon == std::string_view::npos ? info.size() : colon)};
    if (colon != std::string_view::npos) {
      result.password = {static_cast<std::uint32_t>(userInfo.offset + colon + 1),
                         static_cast<std::uint32_t>(info.size() - colon - 1)};
    }
  }
  // The path runs from the end of the authority (or the scheme) to the query or fragment.
  std::size_t pathStart = result.scheme.offset + result.scheme.length + 1;
  if (ascii.compare(pathStart, 2, "//") == 0) pathStart = std::min(ascii.find_first_of("/?#", pathStart + 2), ascii.size());
  std::size_t extraStart = ascii.find_first_of("?#", pathStart);
  if (extraStart == std::string::npos) extraStart = ascii.size();
  result.path = {static_cast<std::uint32_t>(pathStart), static_cast<std::uint32_t>(extraStart - pathStart)};
  result.extra = {static_cast<std::uint32_t>(extraStart), static_cast<std::uint32_t>(ascii.size() - extraStart)};
  uriFreeUriMembersA(&uri);
  *parts = result;
  return SplitError::kNone;
}

}  // namespace internet
