#include "mm1/charsets.h"

#include <gtest/gtest.h>

#include "mm1/content_type.h"
#include "mm1/wsp_writer.h"

namespace mm1 {
namespace {

TEST(Charsets, PartRecordsUseTheModulesSpellings) {
  const std::pair<std::uint32_t, std::string> cases[] = {
      {1000, "iso-10646-ucs-2"}, {3, "us-ascii"}, {106, "utf_8"}, {4, "iso-8859-1"}, {5, "iso-8859-2"},
      {2025, "gb2312"},          {1015, "utf-16"}, {4242, "4242"},
  };
  for (const auto& [mibenum, name] : cases) EXPECT_EQ(CharsetRecordName(mibenum), name) << mibenum;
}

TEST(Charsets, NamesMapBackToMibenums) {
  const std::pair<std::string, std::uint32_t> cases[] = {
      {"utf_8", 106}, {"UTF-8", 106}, {"utf-8", 106},       {"iso-10646-ucs-2", 1000}, {"US-ASCII", 3},
      {"iso-8859-1", 4}, {"ISO-8859-2", 5}, {"gb2312", 2025}, {"Big5", 2026},            {"17", 17},
  };
  for (const auto& [name, mibenum] : cases) {
    auto found = CharsetFromName(name);
    ASSERT_TRUE(found) << name;
    EXPECT_EQ(*found, mibenum) << name;
  }
  EXPECT_FALSE(CharsetFromName("klingon"));
}

TEST(Charsets, TextsConvertToUtf8) {
  EXPECT_EQ(ToUtf8("caf\xE9", 4), "caf\xC3\xA9");
  EXPECT_EQ(ToUtf8(std::string("\x04\x1F\x00\x41", 4), 1000), "\xD0\x9F" "A");  // UCS-2 big-endian
  EXPECT_EQ(ToUtf8("\xC4\xE3\xBA\xC3", 2025), "\xE4\xBD\xA0\xE5\xA5\xBD");    // GB2312 "ni hao"
  EXPECT_EQ(ToUtf8("plain", std::nullopt), "plain");
}

TEST(Charsets, BrokenUtf8BecomesReplacementCharacters) {
  // A character cut at the end is one U+FFFD; a stray byte inside is one U+FFFD each.
  EXPECT_EQ(ToUtf8("ab\xD0", 106), "ab\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8("a\xFF" "b", 106), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(ToUtf8("\xE0\x80\x80", 106), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong
}

TEST(Charsets, WhatWeSendCarriesTheMibenumNeverTheText) {
  ContentType type = ParseContentTypeText("text/plain;charset=utf_8");
  WspWriter writer;
  ASSERT_TRUE(WriteContentType(writer, type));
  // Value-length 3, text/plain (0x83), Charset token (0x81), UTF-8 (0xEA).
  EXPECT_EQ(writer.Bytes(), (std::vector<std::uint8_t>{0x03, 0x83, 0x81, 0xEA}));
  EXPECT_EQ(ContentTypeText(type), "text/plain;charset=utf_8");
}

}  // namespace
}  // namespace mm1
