// The content lines that vCard (2.1 and 3.0) and vCalendar (1.0) files are made of:
//   line      = [group "."] name *(";" parameter) ":" value CRLF
//   parameter = name "=" value *("," value) | bare-word        (the bare form is vCard 2.1's)
// A line that starts with a space or a tab continues the one before (the line break and that one
// character are removed). A quoted-printable value that ends in "=" goes on in the next line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::pim {

// Files larger than this are refused before anything is read.
constexpr std::size_t kMaxVersitBytes = 4u << 20;

struct VersitLine {
  int line = 0;       // where the property starts, counted from 1
  std::string name;   // upper case, group removed
  std::vector<std::pair<std::string, std::string>> parameters;  // names upper case
  std::string value;  // as written, still encoded

  // The parameter's value ("" when absent); a bare word of vCard 2.1 counts as TYPE, or as ENCODING
  // or CHARSET when it is one of their values.
  std::string Parameter(std::string_view name) const;
  // Whether TYPE names the type (in any of its forms: TYPE=CELL, TYPE=cell,voice, CELL).
  bool HasType(std::string_view type) const;
};

struct VersitLines {
  std::vector<VersitLine> lines;
  std::string error;  // empty when the text was read
  int errorLine = 0;
  bool ok() const { return error.empty(); }
};

// Reads every content line; stops with an error at a line that has no name or no ":", at more than
// `maxLines` properties, or at a text larger than kMaxVersitBytes.
VersitLines ReadVersitLines(std::string_view text, std::size_t maxLines);

// The value's bytes after its ENCODING (quoted-printable or base64; none, 7BIT and 8BIT as they
// are); nothing with *error for a broken encoding or an unknown one.
std::optional<std::string> DecodeValueBytes(const VersitLine& line, std::string* error);
// A text value as UTF-8: the bytes decoded and converted from CHARSET; without one, UTF-8 when the
// bytes are valid UTF-8, else Windows-1252.
std::optional<std::string> DecodeText(const VersitLine& line, std::string* error);

// Splits a structured value at unescaped separators and removes the escapes (\n \N \, \; \\).
std::vector<std::string> SplitComponents(std::string_view value, char separator);
std::string Unescape(std::string_view value);
std::string_view TrimSpaces(std::string_view text);

std::optional<std::string> DecodeQuotedPrintable(std::string_view text);
// Whitespace is skipped; padding is optional at the end, and nothing may follow it.
std::optional<std::string> DecodeBase64(std::string_view text);
std::string EncodeBase64(std::string_view bytes);

// Bytes of a named character set as UTF-8 (invalid sequences become U+FFFD); nothing for a
// character set the system does not know.
std::optional<std::string> CharsetToUtf8(std::string_view charset, std::string_view bytes);

}  // namespace platform::pim
