#include <gtest/gtest.h>

#include <string>

#include "model/text_charset.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;

constexpr char16_t kPart[] = u"\\Parts\\text.txt";

std::string Utf16Le(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

std::string Utf16Be(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes += static_cast<char>(c >> 8);
    bytes += static_cast<char>(c & 0xFF);
  }
  return bytes;
}

// What every converted part holds: the little-endian mark, then the text with CR LF line ends.
std::string Converted(std::u16string_view text) { return "\xFF\xFE" + Utf16Le(text); }

struct CharsetCase {
  const char* name;
  std::string contentType;
  std::string data;
  int code;
  std::u16string text;  // the part's text after conversion
  std::string contentTypeAfter;
};

void PrintTo(const CharsetCase& c, std::ostream* out) { *out << c.name; }

class TextCharset : public testing::TestWithParam<CharsetCase> {
 protected:
  TestDevice device_{platform::RegistrySeed::kEmpty};
};

TEST_P(TextCharset, ConvertsTheFileToLittleEndianUtf16WithCrLf) {
  const CharsetCase& c = GetParam();
  test_support::WriteFileBytes(device_.Host(kPart), c.data);
  std::string contentType = c.contentType;
  const int code = CharsetCode(contentType, kPart);
  EXPECT_EQ(code, c.code);
  EXPECT_EQ(contentType, c.contentTypeAfter.empty() ? c.contentType : c.contentTypeAfter);
  ASSERT_TRUE(ConvertTextFile(kPart, code));
  EXPECT_EQ(test_support::ReadFileBytes(device_.Host(kPart)), Converted(c.text));
}

const std::string kUcs2Type = "text/plain;charset=iso-10646-ucs-2";

// The device's system code page is 1252 here; the bytes below read differently in it on purpose.
INSTANTIATE_TEST_SUITE_P(
    EveryCharset, TextCharset,
    testing::Values(
        CharsetCase{"Ucs2LittleEndianWithMark", kUcs2Type, "\xFF\xFE" + Utf16Le(u"Zeile\nzwei"), 1,
                    u"Zeile\r\nzwei", ""},
        CharsetCase{"Ucs2BigEndianWithMark", kUcs2Type, "\xFE\xFF" + Utf16Be(u"\u4E2D\u6587\r\n"), 1,
                    u"\u4E2D\u6587\r\n", ""},
        CharsetCase{"Ucs2BigEndianWithoutMark", "text/plain; charset=ISO-10646-UCS-2", Utf16Be(u"a\nb"), 1,
                    u"a\r\nb", ""},
        CharsetCase{"Utf8WithMark", "text/plain;charset=utf_8", "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC",
                    3, u"Grüße €", ""},
        CharsetCase{"Utf8WithoutMark", "text/plain;charset=utf_8", "one\ntwo\r\nthree\rfour", 3,
                    u"one\r\ntwo\r\nthree\rfour", ""},
        CharsetCase{"Utf8RegisteredName", "text/plain; charset=UTF-8", "caf\xC3\xA9", 3, u"café", ""},
        CharsetCase{"Latin1", "text/plain;charset=iso-8859-1", "caf\xE9 \x80", 4, u"café \u0080", ""},
        // š ž ś ą ź ť ľ: code page 1250 reads these bytes as ą ľ ¶ ± Ľ » µ.
        CharsetCase{"Latin2", "text/plain;charset=iso-8859-2", "\xB9\xBE\xB6\xB1\xBC\xBB\xB5", 5,
                    u"šžśąźťľ", ""},
        CharsetCase{"Gb2312", "text/plain;charset=gb2312", "\xD6\xD0\xCE\xC4\n", 6, u"中文\r\n", ""},
        CharsetCase{"Gbk", "text/plain;charset=GBK", "\x81\x40", 7, u"\u4E02", ""},
        CharsetCase{"NoCharsetSystemCodePage", "text/plain", "\x80 5", 2, u"€ 5", kUcs2Type},
        CharsetCase{"UnknownCharsetWithUtf16Mark", "text/plain;charset=x-unknown", "\xFF\xFE" + Utf16Le(u"hi"), 1,
                    u"hi", kUcs2Type},
        CharsetCase{"NoCharsetWithUtf8Mark", "text/plain", "\xEF\xBB\xBF\xC3\xA9", 3, u"é", kUcs2Type},
        CharsetCase{"EmptyFile", "text/plain", "", 2, u"", kUcs2Type}),
    [](const testing::TestParamInfo<CharsetCase>& info) { return std::string(info.param.name); });

TEST(TextCharsetFailure, UnreadableOrUndecodableFilesStayAsTheyWere) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  EXPECT_FALSE(ConvertTextFile(u"\\Parts\\missing.txt", 3));
  test_support::WriteFileBytes(device.Host(kPart), "plain");
  EXPECT_FALSE(ConvertTextFile(kPart, 9));
  EXPECT_FALSE(ConvertTextFile(u"\\..\\outside.txt", 3));
  EXPECT_EQ(test_support::ReadFileBytes(device.Host(kPart)), "plain");
}

TEST(HeaderText, DecodesByCharsetNumber) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  const struct {
    DWORD charset;
    std::string data;
    std::u16string expected;
  } cases[] = {
      {106, "Gr\xC3\xBC\xC3\x9F" "e", u"Grüße"},
      {106, std::string("Hi\0junk", 7), u"Hi"},
      {3, "\x80 price", u"€ price"},
      {1000, Utf16Be(u"\u4E2D\u6587"), u"\u4E2D\u6587"},
      {1000, "\xFF\xFE" + Utf16Le(u"ab"), u"ab"},
      {1000, "\xFE\xFF" + Utf16Be(u"ab"), u"ab"},
      {4, "latin", u""},
  };
  for (const auto& c : cases) {
    const std::optional<CString> text = DecodeHeaderText(c.charset, c.data);
    ASSERT_TRUE(text.has_value()) << c.charset;
    EXPECT_EQ(*text, c.expected) << c.charset;
  }
  EXPECT_FALSE(DecodeHeaderText(106, "").has_value());
}

}  // namespace
