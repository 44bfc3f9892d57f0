// Encoded-string-value (OMA MMS encapsulation section 7.2.9): a text with an optional charset,
// kept exactly as sent so that it can be shown, stored or sent on unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mm1/result.h"
#include "mm1/wsp_cursor.h"
#include "mm1/wsp_writer.h"

namespace mm1 {

struct EncodedString {
  std::optional<std::uint32_t> charset;  // MIBenum; nothing when sent as a plain Text-string
  std::string bytes;                     // the text in that charset, without quote or terminator

  // The text as UTF-8 (undecodable bytes become U+FFFD).
  std::string Utf8() const;
  bool operator==(const EncodedString&) const = default;
};

// A UTF-8 text as an Encoded-string-value with charset UTF-8 (plain when it is pure ASCII).
EncodedString EncodedUtf8(std::string_view text);

// Encoded-string-value = Text-string | Value-length Char-set Text-string
// Char-set = Any-charset (128) | Integer-value
Result<EncodedString> ReadEncodedString(WspCursor& cursor);
void WriteEncodedString(WspWriter& writer, const EncodedString& value);

}  // namespace mm1
