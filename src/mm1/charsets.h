// Character sets of MMS texts, named by their IANA MIBenum as WSP encodes them, and conversion of
// text in any of them to UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mm1 {

constexpr std::uint32_t kCharsetUsAscii = 3;
constexpr std::uint32_t kCharsetIso8859_1 = 4;
constexpr std::uint32_t kCharsetUtf8 = 106;
constexpr std::uint32_t kCharsetUcs2 = 1000;
constexpr std::uint32_t kCharsetUtf16 = 1015;

// The IANA name ("utf-8", "iso-8859-1", "gb2312"); empty for a MIBenum we do not know.
std::string_view CharsetIanaName(std::uint32_t mibenum);

// The name a part record gives the charset: the content-type texts of the module spell five of them
// their own way ("utf_8", "iso-10646-ucs-2", ...); the others go by IANA name, and an unknown one by
// its number.
std::string CharsetRecordName(std::uint32_t mibenum);

// The MIBenum of a charset name: the part-record spellings, the IANA names and their usual aliases,
// without regard to case; a decimal number is taken as the MIBenum itself.
std::optional<std::uint32_t> CharsetFromName(std::string_view name);

// Length of the well-formed UTF-8 sequence at text[i] (no overlong forms, no surrogates), or 0
// when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

// Text in the given charset as UTF-8. Bytes that do not decode become U+FFFD; a charset we cannot
// convert from is read as UTF-8 the same way. No charset (nullopt) means US-ASCII, which senders
// often fill with UTF-8, so it is read as UTF-8 too.
std::string ToUtf8(std::string_view bytes, std::optional<std::uint32_t> mibenum);

}  // namespace mm1
