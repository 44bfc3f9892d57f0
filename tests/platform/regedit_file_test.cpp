#include "platform/registry/regedit_file.h"

#include <gtest/gtest.h>

#include "platform/registry/registry.h"

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

TEST(RegeditFile, HeaderFormsAndByteOrderMarks) {
  struct Case {
    const char* what;
    std::string text;
    bool ok;
    size_t entries;
  };
  const std::string body = "[HKEY_LOCAL_MACHINE\\A]\r\n\"V\"=dword:00000001\r\n";
  const Case cases[] = {
      {"REGEDIT4", "REGEDIT4\r\n" + body, true, 2},
      {"the later header", "Windows Registry Editor Version 5.00\r\n\r\n" + body, true, 2},
      {"UTF-8 byte order mark", "\xEF\xBB\xBFREGEDIT4\n" + body, true, 2},
      {"blank lines, comments and blanks before the header", "\r\n; made by hand\r\n  REGEDIT4  \r\n" + body, true, 2},
      {"line feeds only", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"V\"=dword:00000001", true, 2},
      {"header alone", "REGEDIT4\r\n", true, 0},
      {"the root key itself", "REGEDIT4\n[HKEY_LOCAL_MACHINE]\n@=\"x\"\n", true, 2},
      {"header in lower case", "regedit4\r\n" + body, false, 0},
      {"UTF-16 text", std::string("\xFF\xFER\0E\0G\0", 8) + body, false, 0},
      {"a byte order mark not at the start", "REGEDIT4\r\n\xEF\xBB\xBF" + body, false, 0},
      {"a continuation at the end of the file", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"V\"=hex:01,\\", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto result = ParseRegeditText(c.text);
    EXPECT_EQ(result.ok(), c.ok) << result.error;
    EXPECT_EQ(result.entries.size(), c.entries);
    if (c.ok && c.entries == 2) {
      ASSERT_TRUE(result.entries[1].value.has_value());
      EXPECT_EQ(result.entries[0].root, platform::RegeditRoot::kLocalMachine);
    }
  }
}

TEST(RegeditFile, MalformedFilesFailWithTheirLine) {
  struct Case {
    std::string_view text;
    int line;
  };
  using namespace std::string_view_literals;
  const Case cases[] = {
      {"", 0},
      // A key or value name with a null in it could only be cut short at the null.
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\0B]\n"sv, 2},
      {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"V\0W\"=dword:1\n"sv, 3},
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

// Every value carries its key's path, so a long path repeated by many short values would make a
// small file parse into gigabytes; past a bound the file is refused instead.
TEST(RegeditFile, ALongKeyPathRepeatedByManyValuesIsRefused) {
  std::string text = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + std::string(65536, 'k') + "]\n";
  for (int i = 0; i < 600; ++i) text += "@=\"\"\n";
  auto result = ParseRegeditText(text);
  EXPECT_FALSE(result.ok());
  EXPECT_TRUE(result.entries.empty());
  // The same values under a short path are an ordinary file.
  EXPECT_TRUE(ParseRegeditText("REGEDIT4\n[HKEY_LOCAL_MACHINE\\k]\n" + text.substr(text.find(']') + 2)).ok());
}

}  // namespace
