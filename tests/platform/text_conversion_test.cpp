#include "platform/text/text_conversion.h"

#include <gtest/gtest.h>

#include "platform/kernel/device.h"
#include "platform/kernel/last_error.h"
#include "support/test_device.h"

namespace {

TEST(TextConversion, CodePagesDecodeTheirOwnLetters) {
  struct Case {
    UINT codePage;
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {CP_UTF8, "\xC5\xA1\xE2\x82\xAC\xF0\x9F\x98\x80", u"\u0161\u20AC\U0001F600"},
      {1252, "\x80\x9A\xE9", u"\u20AC\u0161\u00E9"},
      {1250, "\x9A\x9E\xB9", u"\u0161\u017E\u0105"},
      {28592, "\xB9\xBE\xB1", u"\u0161\u017E\u0105"},
      {28591, "\xB9\xBE\xB1", u"\u00B9\u00BE\u00B1"},
      {936, "\xD6\xD0\xCE\xC4", u"\u4E2D\u6587"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::Decode(c.codePage, c.bytes), c.text) << c.codePage;
    EXPECT_EQ(platform::Encode(c.codePage, c.text), c.bytes) << c.codePage;
  }
}

TEST(TextConversion, MalformedUtf8IsReplacedOrRefused) {
  for (std::string bad : {"\xC0\xAF", "\xED\xA0\x80", "\xE2\x82", "\xF5\x80\x80\x80", "\x80"}) {
    EXPECT_FALSE(platform::IsValidUtf8(bad));
    EXPECT_NE(platform::Utf8ToUtf16(bad).find(u'\uFFFD'), std::u16string::npos);
    WCHAR out[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad.data(), static_cast<int>(bad.size()), out, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  }
}

TEST(TextConversion, Win32SizeRules) {
  test_support::TestDevice device;
  const char* text = "abc";
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0), 4);
  WCHAR small[2];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, small, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  WCHAR out[4];
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, out, 4), 4);
  EXPECT_EQ(std::u16string_view(out), u"abc");
  char narrow[8];
  BOOL usedDefault = FALSE;
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"a\u4E2D", 2, narrow, 8, nullptr, &usedDefault), 2);
  EXPECT_EQ(std::string(narrow, 2), "a?");
  EXPECT_TRUE(usedDefault);
  EXPECT_EQ(MultiByteToWideChar(12345, 0, text, -1, out, 4), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(TextConversion, TheSystemCodePageIsADeviceSetting) {
  test_support::TestDevice device;
  EXPECT_EQ(platform::SystemCodePage(), 1252u);
  auto settings = platform::ReadDeviceSettings();
  settings.codePage = 936;
  ASSERT_TRUE(platform::WriteDeviceSettings(settings));
  EXPECT_EQ(platform::Decode(CP_ACP, "\xD6\xD0"), u"\u4E2D");
}

}  // namespace
