#include <uriparser/Uri.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>

#include "url_text.h"

namespace internet {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr int kMostNormalisingPasses = 4;

bool IsAlpha(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool IsHex(char32_t c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsUnreserved(char32_t c) { return IsAlpha(c) || IsDigit(c) || c == '-' || c == '.' || c == '_' || c == '~'; }
bool IsSubDelim(char32_t c) {
  return c == '!' || c == '$' || c == '&' || c == '\'' || c == '(' || c == ')' || c == '*' || c == '+' ||
         c == ',' || c == ';' || c == '=';
}
bool IsGenDelim(char32_t c) {
  return c == ':' || c == '/' || c == '?' || c == '#' || c == '[' || c == ']' || c == '@';
}
int HexValue(char c) { return IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

void AppendEscape(std::string& out, unsigned byte) {
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0xF];
}

void AppendUtf8Escaped(std::string& out, char32_t c) {
  char bytes[4];
  int count;
  if (c < 0x800) {
    bytes[0] = static_cast<char>(0xC0 | (c >> 6));
    count = 2;
  } else if (c < 0x10000) {
    bytes[0] = static_cast<char>(0xE0 | (c >> 12));
    bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    count = 3;
  } else {
    bytes[0] = static_cast<char>(0xF0 | (c >> 18));
    bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    count = 4;
  }
  bytes[count - 1] = static_cast<char>(0x80 | (c & 0x3F));
  for (int i = 0; i < count; ++i) AppendEscape(out, static_cast<unsigned char>(bytes[i]));
}

// The next code point of UTF-16 text; a lone surrogate reads as U+FFFD.
char32_t NextCodePoint(std::u16string_view text, std::size_t& i) {
  char32_t c = text[i++];
  if (c >= 0xD800 && c <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
    return 0x10000 + ((c - 0xD800) << 10) + (text[i++] - 0xDC00);
  }
  return (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c;
}

// Which characters of the syntax stay as they are; the rest is percent-encoded.
enum class Keep {
  kAll,        // every delimiter: the address as written
  kAuthority,  // the first pass failed: delimiters inside the authority that broke it are encoded
  kPathOnly,   // the second pass failed: only "/" separates anything after the scheme
};

// Percent-encodes what a URI cannot hold, decodes escapes of unreserved characters and writes the
// others in upper case (RFC 3986 6.2.2.1, 6.2.2.2). With `keepQuery` the query and fragment keep
// their escapes as written.
std::string EncodeUrl(std::u16string_view url, bool keepQuery, Keep keep) {
  std::string out;
  out.reserve(url.size() + 16);
  std::size_t i = 0;
  // The scheme, when there is one, and the "//" of an authority.
  std::size_t schemeEnd = 0;
  while (schemeEnd < url.size() && (IsAlpha(url[schemeEnd]) || (schemeEnd > 0 && (IsDigit(url[schemeEnd]) ||
         url[schemeEnd] == '+' || url[schemeEnd] == '-' || url[schemeEnd] == '.')))) {
    ++schemeEnd;
  }
  bool authority = false;
  if (schemeEnd > 0 && schemeEnd < url.size() && url[schemeEnd] == ':') {
    for (; i <= schemeEnd; ++i) out += static_cast<char>(url[i]);
    if (url.substr(i, 2) == u"//") {
      out += "//";
      i += 2;
      authority = true;
    }
  } else if (url.substr(0, 2) == u"//") {
    out += "//";
    i = 2;
    authority = true;
  }
  // Where the authority ends, and its last "@" and the ":" of a port of digits only.
  std::size_t authorityEnd = i;
  std::size_t lastAt = std::u16string_view::npos;
  std::size_t portColon = std::u16string_view::npos;
  if (authority) {
    while (authorityEnd < url.size() && url[authorityEnd] != '/' && url[authorityEnd] != '?' &&
           url[authorityEnd] != '#') {
      if (url[authorityEnd] == '@') lastAt = authorityEnd;
      ++authorityEnd;
    }
    std::size_t colon = url.substr(i, authorityEnd - i).rfind(u':');
    if (colon != std::u16string_view::npos) {
      colon += i;
      bool digits = true;
      for (std::size_t k = colon + 1; k < authorityEnd; ++k) digits = digits && IsDigit(url[k]);
      if (digits && (lastAt == std::u16string_view::npos || colon > lastAt)) portColon = colon;
    }
  }
  bool inQuery = false;
  bool seenFragment = false;
  while (i < url.size()) {
    const std::size_t at = i;
    const char32_t c = NextCodePoint(url, i);
    if (c == '?' && !seenFragment && at >= authorityEnd) inQuery = true;
    if (c == '#' && !seenFragment && at >= authorityEnd && keep != Keep::kPathOnly) {
      seenFragment = true;
      inQuery = true;
      out += '#';
      continue;
    }
    if (c == '%') {
      if (i + 2 <= url.size() && IsHex(url[i]) && IsHex(url[i + 1])) {
        const char hi = static_cast<char>(url[i]);
        const char lo = static_cast<char>(url[i + 1]);
        i += 2;
        const char decoded = static_cast<char>(HexValue(hi) * 16 + HexValue(lo));
        if (keepQuery && inQuery) {
          out += '%';
          out += hi;
          out += lo;
        } else if (IsUnreserved(static_cast<unsigned char>(decoded))) {
          out += decoded;
        } else {
          AppendEscape(out, static_cast<unsigned char>(decoded));
        }
      } else {
        AppendEscape(out, '%');
      }
      continue;
    }
    if (c >= 0x80) {
      AppendUtf8Escaped(out, c);
      continue;
    }
    bool kept = IsUnreserved(c) || IsSubDelim(c) || IsGenDelim(c);
    if (kept && c == '#') kept = false;  // a second "#" cannot start anything
    if (kept && keep != Keep::kAll && (c == '[' || c == ']')) kept = false;
    if (kept && keep == Keep::kAuthority && at < authorityEnd) {
      if (c == '@' && at != lastAt) kept = false;
      if (c == ':' && at != portColon && (lastAt == std::u16string_view::npos || at > lastAt)) kept = false;
    }
    if (kept && keep == Keep::kPathOnly && !IsUnreserved(c) && c != '/') kept = false;
    if (kept) {
      out += static_cast<char>(c);
    } else {
      AppendEscape(out, static_cast<unsigned>(c));
    }
  }
  return out;
}

bool IsDefaultPort(std::string_view scheme, std::string_view port) {
  if (port.empty()) return true;
  if (scheme == "http") return port == "80";
  if (scheme == "https") return port == "443";
  if (scheme == "ftp") return port == "21";
  if (scheme == "gopher") return port == "70";
  return false;
}

std::string_view RangeText(const UriTextRangeA& range) {
  if (range.first == nullptr || range.afterLast == nullptr) return {};
  return std::string_view(range.first, static_cast<std::size_t>(range.afterLast - range.first));
}

// An IP literal is written back as it was given (in lower case), not in the parser's expanded
// form; an empty path after an authority becomes "/".
void FinishAuthority(std::string& text, const UriUriA& uri, bool addSlash) {
  const std::size_t authority = text.find("//") + 2;
  if (uri.hostData.ip6 != nullptr) {
    const std::size_t open = text.find('[', authority);
    const std::size_t close = text.find(']', open);
    if (open != std::string::npos && close != std::string::npos) {
      std::string literal(RangeText(uri.hostText));
      for (char& c : literal) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      text.replace(open + 1, close - open - 1, literal);
    }
  }
  if (addSlash) {
    const std::size_t end = std::min(text.find_first_of("/?#", authority), text.size());
    if (end == text.size() || text[end] != '/') text.insert(end, "/");
  }
}

// Without an authority a path that starts with "//" would read as one: it is written "/.//"
// (RFC 3986 5.3), which removing dot segments turns back into the same path.
void KeepPathFromReadingAsAuthority(std::string& text, std::size_t pathStart) {
  if (text.compare(pathStart, 2, "//") == 0) text.insert(pathStart, "/.");
}

// A relative path made only of dot segments ("./", "a/..") leads to the base's folder; removing them
// leaves no path at all, which would lead to the base document itself: it is written "./".
void KeepRelativePathFromVanishing(std::string& text, const std::string& encoded) {
  const bool hadPath = !encoded.empty() && encoded.find_first_of("?#") != 0;
  const bool hasPath = !text.empty() && text.find_first_of("?#") != 0;
  if (hadPath && !hasPath) text.insert(0, "./");
}

// Removing dot segments can leave a relative path whose first segment holds a ":", which would
// read as a scheme (RFC 3986 4.2): such colons are escaped.
void EscapeFirstSegmentColons(std::string& text) {
  const std::size_t end = std::min(text.find_first_of("/?#"), text.size());
  for (std::size_t i = end; i-- > 0;) {
    if (text[i] == ':') text.replace(i, 1, "%3A");
  }
}

// Escapes in upper case (the host's were lowered with it); in browser mode the query and fragment
// keep theirs as written.
void UpperCaseEscapes(std::string& text, bool keepQuery) {
  const std::size_t end = keepQuery ? std::min(text.find_first_of("?#"), text.size()) : text.size();
  for (std::size_t i = 0; i + 2 < end; ++i) {
    if (text[i] != '%') continue;
    text[i + 1] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
    text[i + 2] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 2])));
  }
}

// Parses, normalises (case, dot segments) and writes back one encoded candidate.
std::optional<std::string> Normalise(const std::string& encoded, bool keepQuery) {
  UriUriA uri{};
  const char* errorPos = nullptr;
  if (uriParseSingleUriExA(&uri, encoded.data(), encoded.data() + encoded.size(), &errorPos) != URI_SUCCESS) {
    uriFreeUriMembersA(&uri);
    return std::nullopt;
  }
  unsigned mask = URI_NORMALIZE_SCHEME | URI_NORMALIZE_USER_INFO | URI_NORMALIZE_HOST | URI_NORMALIZE_PATH;
  if (!keepQuery) mask |= URI_NORMALIZE_QUERY | URI_NORMALIZE_FRAGMENT;
  std::optional<std::string> result;
  // Most addresses need no change: asking first spares the copy that normalising makes.
  unsigned required = mask;
  if (uriNormalizeSyntaxMaskRequiredExA(&uri, &required) != URI_SUCCESS) required = mask;
  required &= mask;
  if (required == 0 || uriNormalizeSyntaxExA(&uri, required) == URI_SUCCESS) {
    // Scheme-based normalisation (RFC 3986 6.2.3): no default port, "/" for an empty path. The
    // port's text may belong to the record after normalising, so it is put back before freeing.
    const std::string scheme(RangeText(uri.scheme));
    const bool hasHost = uri.hostText.first != nullptr;
    const UriTextRangeA port = uri.portText;
    if (hasHost && port.first != nullptr && IsDefaultPort(scheme, RangeText(port))) {
      uri.portText.first = nullptr;
      uri.portText.afterLast = nullptr;
    }
    int length = 0;
    if (uriToStringCharsRequiredA(&uri, &length) == URI_SUCCESS) {
      std::string text(static_cast<std::size_t>(length) + 1, '\0');
      int written = 0;
      if (uriToStringA(text.data(), &uri, length + 1, &written) == URI_SUCCESS) {
        text.resize(static_cast<std::size_t>(written > 0 ? written - 1 : 0));
        if (hasHost) FinishAuthority(text, uri, scheme.empty() ? false : uri.pathHead == nullptr);
        if (!hasHost) KeepPathFromReadingAsAuthority(text, scheme.empty() ? 0 : scheme.size() + 1);
        if (!hasHost && scheme.empty()) {
          KeepRelativePathFromVanishing(text, encoded);
          EscapeFirstSegmentColons(text);
        }
        UpperCaseEscapes(text, keepQuery);
        result = std::move(text);
      }
    }
    uri.portText = port;
  }
  uriFreeUriMembersA(&uri);
  return result;
}

bool IsSpaceOrControl(char16_t c) { return c <= 0x20 || c == 0x7F; }

}  // namespace

std::optional<std::string> CanonicalUrl(std::u16string_view url, bool keepQuery) {
  while (!url.empty() && IsSpaceOrControl(url.front())) url.remove_prefix(1);
  while (!url.empty() && IsSpaceOrControl(url.back())) url.remove_suffix(1);
  for (Keep keep : {Keep::kAll, Keep::kAuthority, Keep::kPathOnly}) {
    std::optional<std::string> result = Normalise(EncodeUrl(url, keepQuery, keep), keepQuery);
    if (!result) continue;
    // One pass of removing dot segments can leave some that a second pass removes (a ".." that
    // takes away a segment can bring a "." next to the "/" before it). The canonical form is the
    // one that normalising no longer changes; the second pass almost always is that one.
    for (int pass = 0; pass < kMostNormalisingPasses; ++pass) {
      const std::u16string wide(result->begin(), result->end());
      std::optional<std::string> again = Normalise(EncodeUrl(wide, keepQuery, Keep::kAll), keepQuery);
      if (!again || *again == *result) break;
      result = std::move(again);
    }
    return result;
  }
  return std::nullopt;
}

}  // namespace internet
