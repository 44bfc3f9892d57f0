#include "platform/regedit_file.h"

#include <gtest/gtest.h>

#include "platform/registry.h"

namespace {

using platform::ParseRegeditText;

TEST(RegeditFile, ReadsEveryValueForm) {
  auto result = ParseRegeditText(
      "REGEDIT4\r\n\r\n; comment\r\n[HKEY_CURRENT_USER\\Soft\\Key]\r\n"
      "\"Text\"=\"a \\\"q\\\" \\\\ b\"\r\n\"Number\"=dword:0000012c\r\n"
      "\"Bytes\"=hex:01,02,\\\r\n  ff\r\n\"Typed\"=hex(7):41,00\r\n@=\"default\"\r\n");
  ASSERT_TRUE(result.ok()) << result.error;
  ASSERT_EQ(result.entries.size(), 6u);
  EXPECT_EQ(result.entries[0].root, platform::RegeditRoot::kCurrentUser);
  EXPECT_EQ(result.entries[0].keyPath, u"Soft\\Key");
  EXPECT_FALSE(result.entries[0].value.has_value());
  const auto& text = *result.entries[1].value;
  EXPECT_EQ(text.type, REG_SZ);
  EXPECT_EQ(text.data, std::string("a\0 \0\"\0q\0\"\0 \0\\\0 \0b\0\0\0", 20));
  EXPECT_EQ(result.entries[2].value->data, std::string("\x2c\x01\0\0", 4));
  EXPECT_EQ(result.entries[3].value->data, "\x01\x02\xff");
  EXPECT_EQ(result.entries[4].value->type, 7u);
  EXPECT_TRUE(result.entries[5].value->name.empty());
}

TEST(RegeditFile, MalformedFilesFailWithTheirLine) {
  struct Case {
    const char* text;
    int line;
  };
  const Case cases[] = {
      {"", 0},
      {"not a registry\n", 1},
      {"REGEDIT4\n\"Orphan\"=dword:1\n", 2},
      {"REGEDIT4\n[HKEY_NOWHERE\\x]\n", 2},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\x\n", 2},
      {"REGEDIT4\n[-HKEY_LOCAL_MACHINE\\x]\n", 2},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\x]\n\"V\"=dword:123456789\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\x]\n\"V\"=dword:zz\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\x]\n\"V\"=hex:1\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\x]\n\"V\"=hex(:01\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\x]\n\"V\"=\"unterminated\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\x]\n\"V\"=\"\xff\xfe\"\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\x]\n\"V\" dword:1\n", 3},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\x]\n\"V\"=word:1\n", 3},
  };
  for (const Case& c : cases) {
    auto result = ParseRegeditText(c.text);
    EXPECT_FALSE(result.ok()) << c.text;
    EXPECT_EQ(result.errorLine, c.line) << c.text;
    EXPECT_TRUE(result.entries.empty());
  }
}

}  // namespace
