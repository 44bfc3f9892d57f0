// Character sets of text parts and header texts. A text part is converted once, when a message is
// loaded, into UTF-16 little-endian text that starts with the mark FF FE and ends its lines with CR LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/media_types.h"
#include "platform/text/cstring.h"
#include "platform/win_types.h"

namespace charset_code {

constexpr int kUcs2 = 1;          // UTF-16: FF FE little-endian, otherwise big-endian
constexpr int kSystemCodePage = 2;
constexpr int kUtf8 = 3;
constexpr int kLatin1 = 4;        // ISO-8859-1
constexpr int kLatin2 = 5;        // ISO-8859-2
constexpr int kGb2312 = 6;
constexpr int kGbk = 7;

}  // namespace charset_code

// Whether parts of this type are kept as converted text: text of any format but markup (HTML, XHTML
// and XML keep their own encoding).
bool IsConvertedText(MediaType type);

// The charset code for a text part: from the "charset" parameter of its content type, or, when that
// names no charset decoded here, from a byte-order mark at the start of the file (none: the system
// code page); in that case the content type becomes "text/plain;charset=iso-10646-ucs-2".
int CharsetCode(std::string& contentType, std::u16string_view file);
// The same, for a text whose first bytes are at hand.
int CharsetCodeOfText(std::string& contentType, std::string_view start);

// UTF-16 code units of `data` in the byte order given; an odd last byte is left out.
std::u16string DecodeUtf16(std::string_view data, bool littleEndian);

// The text decoded by its charset code, as UTF-16LE bytes with FF FE and CR LF line ends; nothing
// when it does not decode or is too large to be a text part.
std::optional<std::string> ConvertText(std::string_view data, int charsetCode);

// Rewrites the file as UTF-16LE text with FF FE and CR LF line ends. When the file cannot be read,
// decoded or written it is left as it was and the result is false.
bool ConvertTextFile(std::u16string_view path, int charsetCode);

// A header text of the MM1 library: charset 106 is UTF-8, 3 the system code page, 1000 UTF-16 in the
// byte order the message carries it (big-endian unless it starts with a mark); any other charset
// gives an empty text. The text ends at its first null. Nothing when there is no data at all.
std::optional<CString> DecodeHeaderText(DWORD charset, std::string_view data);
