#include "mm1/charsets.h"

#include "mm1/ascii.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace mm1 {
namespace {

struct CharsetRow {
  std::uint32_t mibenum;
  std::string_view ianaName;
  std::string_view iconvName;
  std::string_view recordName;  // empty: the IANA name
};

// The charsets MMS senders use in practice (IANA character-sets registry).
constexpr CharsetRow kCharsets[] = {
    {3, "us-ascii", "ASCII", ""},
    {4, "iso-8859-1", "ISO-8859-1", ""},
    {5, "iso-8859-2", "ISO-8859-2", ""},
    {6, "iso-8859-3", "ISO-8859-3", ""},
    {7, "iso-8859-4", "ISO-8859-4", ""},
    {8, "iso-8859-5", "ISO-8859-5", ""},
    {9, "iso-8859-6", "ISO-8859-6", ""},
    {10, "iso-8859-7", "ISO-8859-7", ""},
    {11, "iso-8859-8", "ISO-8859-8", ""},
    {12, "iso-8859-9", "ISO-8859-9", ""},
    {13, "iso-8859-10", "ISO-8859-10", ""},
    {17, "shift_jis", "SHIFT_JIS", ""},
    {18, "euc-jp", "EUC-JP", ""},
    {36, "iso-2022-kr", "ISO-2022-KR", ""},
    {38, "euc-kr", "EUC-KR", ""},
    {39, "iso-2022-jp", "ISO-2022-JP", ""},
    {40, "iso-2022-jp-2", "ISO-2022-JP-2", ""},
    {106, "utf-8", "UTF-8", "utf_8"},
    {109, "iso-8859-13", "ISO-8859-13", ""},
    {110, "iso-8859-14", "ISO-8859-14", ""},
    {111, "iso-8859-15", "ISO-8859-15", ""},
    {112, "iso-8859-16", "ISO-8859-16", ""},
    {113, "gbk", "GBK", ""},
    {114, "gb18030", "GB18030", ""},
    {1000, "iso-10646-ucs-2", "UTF-16BE", ""},
    {1013, "utf-16be", "UTF-16BE", ""},
    {1014, "utf-16le", "UTF-16LE", ""},
    {1015, "utf-16", "UTF-16", ""},
    {1017, "utf-32", "UTF-32", ""},
    {2025, "gb2312", "GB2312", ""},
    {2026, "big5", "BIG5", ""},
    {2084, "koi8-r", "KOI8-R", ""},
    {2088, "koi8-u", "KOI8-U", ""},
    {2250, "windows-1250", "CP1250", ""},
    {2251, "windows-1251", "CP1251", ""},
    {2252, "windows-1252", "CP1252", ""},
    {2253, "windows-1253", "CP1253", ""},
    {2254, "windows-1254", "CP1254", ""},
    {2255, "windows-1255", "CP1255", ""},
    {2256, "windows-1256", "CP1256", ""},
    {2257, "windows-1257", "CP1257", ""},
    {2258, "windows-1258", "CP1258", ""},
    {2259, "tis-620", "TIS-620", ""},
};

struct CharsetAlias {
  std::string_view name;
  std::uint32_t mibenum;
};

constexpr CharsetAlias kAliases[] = {
    {"utf_8", 106}, {"utf8", 106}, {"ascii", 3}, {"us_ascii", 3}, {"latin1", 4}, {"iso_8859-1", 4},
    {"iso8859-1", 4}, {"latin2", 5}, {"iso_8859-2", 5}, {"iso8859-2", 5}, {"ucs-2", 1000},
    {"iso-10646", 1000}, {"utf16", 1015}, {"sjis", 17}, {"cp1252", 2252}, {"big-5", 2026},
};

const CharsetRow* FindCharset(std::uint32_t mibenum) {
  for (const CharsetRow& row : kCharsets) {
    if (row.mibenum == mibenum) return &row;
  }
  return nullptr;
}

void AppendReplacement(std::string& out) { out += "\xEF\xBF\xBD"; }

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  unsigned char second = byte(i + 1);
  if (lead == 0xE0 && second < 0xA0) return 0;  // overlong
  if (lead == 0xED && second > 0x9F) return 0;  // surrogate
  if (lead == 0xF0 && second < 0x90) return 0;  // overlong
  if (lead == 0xF4 && second > 0x8F) return 0;  // above U+10FFFF
  return length;
}

namespace {

// Invalid bytes become U+FFFD one by one, except that a sequence cut off by the end of the text
// becomes a single U+FFFD.
std::string SanitizeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t length = Utf8SequenceLength(text, i);
    if (length > 0) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    }
    AppendReplacement(out);
    auto lead = static_cast<unsigned char>(text[i]);
    std::size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    bool cutAtEnd = needed > 0 && lead <= 0xF4 && i + needed > text.size();
    for (std::size_t k = i + 1; cutAtEnd && k < text.size(); ++k) {
      if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) cutAtEnd = false;
    }
    i = cutAtEnd ? text.size() : i + 1;
  }
  return out;
}

class IconvHandle {
 public:
  explicit IconvHandle(const char* from) : m_handle(iconv_open("UTF-8", from)) {}
  ~IconvHandle() {
    if (Valid()) iconv_close(m_handle);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool Valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const { return m_handle; }

 private:
  iconv_t m_handle;
};

// Every iconv call either consumes input, fills output (which is then drained) or skips one
// undecodable octet, so the loop ends.
std::string ConvertWithIconv(std::string_view bytes, const char* from, bool* converted) {
  IconvHandle handle(from);
  *converted = handle.Valid();
  if (!handle.Valid()) return {};
  std::string out;
  std::vector<char> buffer(4096);
  char* input = const_cast<char*>(bytes.data());
  std::size_t inputLeft = bytes.size();
  while (inputLeft > 0) {
    char* output = buffer.data();
    std::size_t outputLeft = buffer.size();
    std::size_t result = iconv(handle.Get(), &input, &inputLeft, &output, &outputLeft);
    out.append(buffer.data(), buffer.size() - outputLeft);
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    AppendReplacement(out);
    if (errno == EINVAL) break;  // cut off at the end
    ++input;
    --inputLeft;
  }
  char* output = buffer.data();
  std::size_t outputLeft = buffer.size();
  iconv(handle.Get(), nullptr, nullptr, &output, &outputLeft);
  out.append(buffer.data(), buffer.size() - outputLeft);
  return out;
}

}  // namespace

std::string_view CharsetIanaName(std::uint32_t mibenum) {
  const CharsetRow* row = FindCharset(mibenum);
  return row ? row->ianaName : std::string_view();
}

std::string CharsetRecordName(std::uint32_t mibenum) {
  const CharsetRow* row = FindCharset(mibenum);
  if (row == nullptr) return std::to_string(mibenum);
  return std::string(row->recordName.empty() ? row->ianaName : row->recordName);
}

std::optional<std::uint32_t> CharsetFromName(std::string_view name) {
  for (const CharsetRow& row : kCharsets) {
    if (EqualsNoCase(row.ianaName, name) || (!row.recordName.empty() && EqualsNoCase(row.recordName, name))) {
      return row.mibenum;
    }
  }
  for (const CharsetAlias& alias : kAliases) {
    if (EqualsNoCase(alias.name, name)) return alias.mibenum;
  }
  if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(std::strtoul(std::string(name).c_str(), nullptr, 10));
}

std::string ToUtf8(std::string_view bytes, std::optional<std::uint32_t> mibenum) {
  const CharsetRow* row = mibenum ? FindCharset(*mibenum) : nullptr;
  if (row == nullptr || row->mibenum == kCharsetUtf8 || row->mibenum == kCharsetUsAscii) return SanitizeUtf8(bytes);
  bool converted = false;
  std::string text = ConvertWithIconv(bytes, std::string(row->iconvName).c_str(), &converted);
  return converted ? text : SanitizeUtf8(bytes);
}

}  // namespace mm1
