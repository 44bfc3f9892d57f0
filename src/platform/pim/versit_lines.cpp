#include "platform/pim/versit_lines.h"

#include <iconv.h>

#include <array>
#include <cerrno>

#include "platform/text/text_conversion.h"

namespace platform::pim {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Upper(c);
  return out;
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// Physical lines, one at a time: the text up to LF, CRLF or a lone CR.
struct LineCursor {
  std::string_view text;
  std::size_t position = 0;
  int number = 0;

  bool AtEnd() const { return position >= text.size(); }
  std::string_view Next() {
    const std::size_t start = position;
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    position = end;
    if (position < text.size() && text[position] == '\r') ++position;
    if (position < text.size() && text[position] == '\n' && (position == end || text[position - 1] == '\r')) {
      ++position;
    }
    if (position == end) position = text.size();  // defensive: the cursor always moves on
    ++number;
    return text.substr(start, end - start);
  }
  bool NextIsContinuation() const {
    return position < text.size() && (text[position] == ' ' || text[position] == '\t');
  }
  // The next line when it holds base64 digits only (no property has that form: it has no ':').
  bool NextIsBase64() const {
    std::size_t end = text.find_first_of("\r\n", position);
    if (end == std::string_view::npos) end = text.size();
    if (end == position) return false;
    for (std::size_t i = position; i < end; ++i) {
      const char c = text[i];
      const bool digit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
                         c == '/' || c == '=';
      if (!digit) return false;
    }
    return true;
  }
};

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The bare parameter words of vCard 2.1 that stand for ENCODING rather than TYPE.
bool IsEncodingWord(std::string_view word) {
  return word == "QUOTED-PRINTABLE" || word == "BASE64" || word == "8BIT" || word == "7BIT" || word == "B";
}

// Splits "name;param;param" (the part before the value's ":"), honouring quoted parameter values.
bool ParseHead(std::string_view head, VersitLine* line) {
  std::size_t i = 0;
  while (i < head.size() && IsNameChar(head[i])) ++i;
  if (i < head.size() && head[i] == '.') {  // a group prefix
    head.remove_prefix(i + 1);
    i = 0;
    while (i < head.size() && IsNameChar(head[i])) ++i;
  }
  if (i == 0) return false;
  line->name = UpperCase(head.substr(0, i));
  while (i < head.size()) {
    if (head[i] != ';') return false;
    ++i;
    const std::size_t start = i;
    bool quoted = false;
    while (i < head.size() && (quoted || head[i] != ';')) {
      if (head[i] == '"') quoted = !quoted;
      ++i;
    }
    std::string_view parameter = Trim(head.substr(start, i - start));
    if (parameter.empty()) continue;
    const std::size_t equals = parameter.find('=');
    if (equals == std::string_view::npos) {
      std::string word = UpperCase(parameter);
      line->parameters.emplace_back(IsEncodingWord(word) ? "ENCODING" : "TYPE", word);
      continue;
    }
    std::string value(Trim(parameter.substr(equals + 1)));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    line->parameters.emplace_back(UpperCase(Trim(parameter.substr(0, equals))), value);
  }
  return true;
}

// The colon that ends the head: the first one outside a quoted parameter value.
std::size_t FindValueColon(std::string_view text) {
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (text[i] == ':' && !quoted) return i;
  }
  return std::string_view::npos;
}

// Whether a physical line starts a property whose value is quoted-printable.
bool IsQuotedPrintable(std::string_view text) {
  const std::size_t colon = FindValueColon(text);
  VersitLine line;
  return colon != std::string_view::npos && ParseHead(Trim(text.substr(0, colon)), &line) &&
         EqualsNoCase(line.Parameter("ENCODING"), std::string_view("QUOTED-PRINTABLE"));
}

// Whether a logical line starts a property whose value is base64.
bool IsBase64(std::string_view text) {
  const std::size_t colon = FindValueColon(text);
  VersitLine line;
  if (colon == std::string_view::npos || !ParseHead(Trim(text.substr(0, colon)), &line)) return false;
  const std::string encoding = line.Parameter("ENCODING");
  return EqualsNoCase(encoding, std::string_view("BASE64")) || EqualsNoCase(encoding, std::string_view("B"));
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Charset names go to iconv; only the characters such names have are let through.
bool IsPlainCharsetName(std::string_view name) {
  if (name.empty() || name.size() > 40) return false;
  for (char c : name) {
    if (!IsNameChar(c) && c != '.' && c != ':') return false;
  }
  return true;
}

}  // namespace

std::string VersitLine::Parameter(std::string_view wanted) const {
  for (const auto& [name, value] : parameters) {
    if (name == wanted) return value;
  }
  return {};
}

bool VersitLine::HasType(std::string_view type) const {
  for (const auto& [name, value] : parameters) {
    if (name != "TYPE") continue;
    std::string_view rest = value;
    while (!rest.empty()) {
      const std::size_t comma = rest.find(',');
      if (EqualsNoCase(Trim(rest.substr(0, comma)), type)) return true;
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
  }
  return false;
}

VersitLines ReadVersitLines(std::string_view text, std::size_t maxLines) {
  VersitLines result;
  if (text.size() > kMaxVersitBytes) {
    result.error = "the file is larger than " + std::to_string(kMaxVersitBytes >> 20) + " MB";
    return result;
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  LineCursor cursor{text};
  while (!cursor.AtEnd()) {
    std::string logical(cursor.Next());
    const int start = cursor.number;
    if (IsQuotedPrintable(logical)) {
      // A soft line break: the value goes on in the next line, which is taken as it is (a space
      // there is part of the text, not a fold).
      while (!logical.empty() && logical.back() == '=' && !cursor.AtEnd()) {
        logical.pop_back();
        logical += cursor.Next();
      }
    } else {
      while (cursor.NextIsContinuation()) logical += cursor.Next().substr(1);
      // Some phones write the lines of a base64 value without the fold's leading space.
      if (IsBase64(logical)) {
        while (cursor.NextIsBase64()) logical += cursor.Next();
      }
    }
    if (Trim(logical).empty()) continue;
    const std::size_t colon = FindValueColon(logical);
    VersitLine line;
    line.line = start;
    if (colon == std::string::npos || !ParseHead(Trim(std::string_view(logical).substr(0, colon)), &line)) {
      result.error = colon == std::string::npos ? "no ':' in the line" : "no property name before ':'";
      result.errorLine = start;
      return result;
    }
    line.value = logical.substr(colon + 1);
    if (result.lines.size() >= maxLines) {
      result.error = "more than " + std::to_string(maxLines) + " lines";
      result.errorLine = start;
      return result;
    }
    result.lines.push_back(std::move(line));
  }
  return result;
}

std::optional<std::string> DecodeQuotedPrintable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '=') {
      out += text[i];
      continue;
    }
    if (i + 1 == text.size()) break;  // a soft break at the very end
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 3);
  std::uint32_t bits = 0;
  int count = 0;
  int padding = 0;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    int value = -1;
    if (c >= 'A' && c <= 'Z') value = c - 'A';
    else if (c >= 'a' && c <= 'z') value = c - 'a' + 26;
    else if (c >= '0' && c <= '9') value = c - '0' + 52;
    else if (c == '+') value = 62;
    else if (c == '/') value = 63;
    else if (c == '=') {
      ++padding;
      if (padding > 2) return std::nullopt;
      continue;
    }
    if (value < 0 || padding > 0) return std::nullopt;  // a stranger, or data after the padding
    bits = (bits << 6) | static_cast<std::uint32_t>(value);
    if (++count == 4) {
      out += static_cast<char>(bits >> 16);
      out += static_cast<char>(bits >> 8);
      out += static_cast<char>(bits);
      bits = 0;
      count = 0;
    }
  }
  if (count == 1) return std::nullopt;
  if (count == 2) out += static_cast<char>(bits >> 4);
  if (count == 3) {
    out += static_cast<char>(bits >> 10);
    out += static_cast<char>(bits >> 2);
  }
  if (padding > 0 && (count == 0 || count + padding != 4)) return std::nullopt;
  return out;
}

std::string EncodeBase64(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    std::uint32_t block = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (left > 1) block |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    if (left > 2) block |= static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[(block >> 18) & 63];
    out += kDigits[(block >> 12) & 63];
    out += left > 1 ? kDigits[(block >> 6) & 63] : '=';
    out += left > 2 ? kDigits[block & 63] : '=';
  }
  return out;
}

std::optional<std::string> CharsetToUtf8(std::string_view charset, std::string_view bytes) {
  if (EqualsNoCase(charset, std::string_view("UTF-8")) || EqualsNoCase(charset, std::string_view("US-ASCII"))) {
    return Utf16ToUtf8(Utf8ToUtf16(bytes));
  }
  if (!IsPlainCharsetName(charset)) return std::nullopt;
  const std::string name(charset);
  iconv_t cd = iconv_open("UTF-8", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  std::array<char, 4096> buffer{};
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t status = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
    if (status == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // An undecodable byte (or a sequence cut short at the end) is replaced and skipped.
      out += "\xEF\xBF\xBD";
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  // Some converters pass on sequences that are no Unicode (glibc's "UTF8" lets code points past
  // U+10FFFF through): our own decoding replaces them, so that what is kept writes and reads back
  // unchanged.
  return Utf16ToUtf8(Utf8ToUtf16(out));
}

std::optional<std::string> DecodeValueBytes(const VersitLine& line, std::string* error) {
  const std::string encoding = UpperCase(line.Parameter("ENCODING"));
  std::optional<std::string> bytes;
  if (encoding.empty() || encoding == "7BIT" || encoding == "8BIT") {
    bytes = line.value;
  } else if (encoding == "QUOTED-PRINTABLE") {
    bytes = DecodeQuotedPrintable(line.value);
    if (!bytes && error) *error = "broken quoted-printable value";
  } else if (encoding == "B" || encoding == "BASE64") {
    bytes = DecodeBase64(line.value);
    if (!bytes && error) *error = "broken base64 value";
  } else if (error) {
    *error = "unknown encoding " + encoding;
  }
  return bytes;
}

std::optional<std::string> DecodeText(const VersitLine& line, std::string* error) {
  std::optional<std::string> bytes = DecodeValueBytes(line, error);
  if (!bytes) return std::nullopt;
  const std::string charset = line.Parameter("CHARSET");
  if (!charset.empty()) {
    std::optional<std::string> text = CharsetToUtf8(charset, *bytes);
    if (!text && error) *error = "unknown character set " + charset.substr(0, 40);
    return text;
  }
  if (IsValidUtf8(*bytes)) return bytes;
  return Utf16ToUtf8(Decode(1252, *bytes));
}

namespace {

// Splits at `separator` unless none is wanted (then the whole value is one part).
std::vector<std::string> Unescaped(std::string_view value, std::optional<char> separator) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      parts.back() += next == 'n' || next == 'N' ? '\n' : next;
    } else if (separator && c == *separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

}  // namespace

std::vector<std::string> SplitComponents(std::string_view value, char separator) {
  return Unescaped(value, separator);
}

std::string Unescape(std::string_view value) { return Unescaped(value, std::nullopt).front(); }

std::string_view TrimSpaces(std::string_view text) { return Trim(text); }

}  // namespace platform::pim
