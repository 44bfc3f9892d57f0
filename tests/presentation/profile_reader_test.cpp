#include "presentation/profile_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/kernel/file_api.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;
using test_support::WriteFileBytes;

const char* kIndex =
    "; emoticon index\r\n"
    "   # indented comment\r\n"
    "* star comment\r\n"
    "[  Smile  ]\r\n"
    "file = smile.bmp\r\n"
    "Count=\t12 \r\n"
    "formula = a = b ==\r\n"
    "spaced =   two words  \r\n"
    "=orphan value\r\n"
    "no equals sign\r\n"
    "[broken] tail\r\n"
    "\t \r\n"
    "[default]\r\n"
    "Width=-40px\r\n"
    "[smile]\r\n"
    "late=1\n"
    "file=second.bmp\r\n"
    "last=no line end";

std::string Query(const ProfileReader* reader, std::string_view section, std::string_view key, std::size_t size = 64) {
  std::array<char, 64> buffer{};
  ProfileQuery query{section, key, ProfileValueType::kString, std::span<char>(buffer.data(), size)};
  if (!GetProfileValue(reader, query)) {
    return "<none>";
  }
  EXPECT_EQ(query.length, std::strlen(buffer.data()));
  return buffer.data();
}

TEST(ProfileReader, SectionsAndKeysAreTrimmedAndFoundInAnyCase) {
  const auto reader = ParseProfileText(kIndex);
  ASSERT_TRUE(reader);
  ASSERT_EQ(reader->Sections().size(), 3u);  // "[broken] tail" is not a section line
  EXPECT_EQ(reader->Sections()[0].name, "Smile");
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"Smile", "file", "smile.bmp"},
      {"SMILE", "FILE", "smile.bmp"},      // the first match wins
      {" smile\t", "  count ", "12"},
      {"smile", "formula", "a = b"},        // "=" inside the value stays, around it goes
      {"smile", "spaced", "two words"},
      // A section named twice is read as one, in file order; a line may end in LF alone.
      {"smile", "late", "1"},
      {"", "width", "-40px"},              // no section: "default"
      {"default", "width", "-40px"},
      {"smile", "last", "no line end"},
      {"smile", "orphan value", "<none>"},
      {"smile", "no equals sign", "<none>"},
      {"broken", "x", "<none>"},
      {"smile", "", "<none>"},
      {"nosuch", "file", "<none>"},
  };
  for (const auto& [section, key, expected] : cases) {
    EXPECT_EQ(Query(reader.get(), section, key), expected) << section << "/" << key;
  }
}

TEST(ProfileReader, StringsMustBeShorterThanTheBuffer) {
  const auto reader = ParseProfileText("[s]\r\nk=abcd\r\n");
  ASSERT_TRUE(reader);
  EXPECT_EQ(Query(reader.get(), "s", "k", 5), "abcd");
  EXPECT_EQ(Query(reader.get(), "s", "k", 4), "<none>");
  EXPECT_EQ(Query(reader.get(), "s", "k", 0), "<none>");
  EXPECT_EQ(Query(nullptr, "s", "k"), "<none>");
}

TEST(ProfileReader, IntegersAreLeadingDigitsCutToTheBuffer) {
  const auto reader = ParseProfileText("[s]\r\nn = 70000 px\r\nneg=-2\r\nword=abc\r\n");
  ASSERT_TRUE(reader);
  LONG value = 0;
  ProfileQuery query{"s", "n", ProfileValueType::kInteger,
                     std::span<char>(reinterpret_cast<char*>(&value), sizeof value)};
  ASSERT_TRUE(GetProfileValue(reader.get(), query));
  EXPECT_EQ(value, 70000);
  query.key = "neg";
  ASSERT_TRUE(GetProfileValue(reader.get(), query));
  EXPECT_EQ(value, -2);
  query.key = "word";
  ASSERT_TRUE(GetProfileValue(reader.get(), query));
  EXPECT_EQ(value, 0);
  std::array<char, 2> small{};
  ProfileQuery shortQuery{"s", "n", ProfileValueType::kInteger, std::span<char>(small)};
  ASSERT_TRUE(GetProfileValue(reader.get(), shortQuery));
  LONG expected = 70000;
  EXPECT_EQ(std::memcmp(small.data(), &expected, 2), 0);
  query.type = static_cast<ProfileValueType>(3);
  EXPECT_FALSE(GetProfileValue(reader.get(), query));
}

TEST(ProfileReader, MalformedFilesAreRefusedWithTheirLine) {
  struct Case {
    std::string text;
    ProfileStatus status;
    std::size_t line;
  };
  const std::vector<Case> cases = {
      {"key=value\r\n[s]\r\n", ProfileStatus::kKeyOutsideSection, 1},
      {"; c\r\n\r\n  k = v\r\n", ProfileStatus::kKeyOutsideSection, 3},
      {"[s]\r\n" + std::string(2046, 'x') + "\r\n", ProfileStatus::kLineTooLong, 2},
      {"[s]\r\n" + std::string(2046, 'x'), ProfileStatus::kLineTooLong, 2},
      {std::string(kMaxProfileFile + 1, '\n'), ProfileStatus::kTooLarge, 0},
  };
  for (const Case& test : cases) {
    ProfileError error;
    EXPECT_FALSE(ParseProfileText(test.text, &error));
    EXPECT_EQ(error.status, test.status);
    EXPECT_EQ(error.line, test.line);
  }
  EXPECT_TRUE(ParseProfileText("[s]\r\n" + std::string(2045, 'x') + "\r\n"));
  EXPECT_TRUE(ParseProfileText(std::string("[s]\r\nk=\0v\r\n\x80\xff=\x01\r\n", 17)));
  const auto empty = ParseProfileText("");
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->Sections().empty());
}

TEST(ProfileReader, OpenReadsTheFileAndCreatesAMissingOne) {
  TestDevice device;
  WriteFileBytes(device.root() / "Emoticon.ini", "[Smile]\r\nfile=smile.bmp\r\n");
  auto reader = OpenProfile(u"\\emoticon.INI");
  ASSERT_TRUE(reader);
  EXPECT_EQ(Query(reader.get(), "smile", "file"), "smile.bmp");
  CloseProfile(std::move(reader));

  auto created = OpenProfile(u"\\new.ini");
  ASSERT_TRUE(created);
  EXPECT_TRUE(created->Sections().empty());
  EXPECT_TRUE(std::filesystem::exists(device.root() / "new.ini"));

  ProfileError error;
  ASSERT_TRUE(CreateDirectoryW(u"\\folder.ini", nullptr));
  EXPECT_FALSE(OpenProfile(u"\\folder.ini", &error));
  EXPECT_EQ(error.status, ProfileStatus::kCannotOpen);
  EXPECT_FALSE(OpenProfile(u"", &error));
  EXPECT_EQ(error.status, ProfileStatus::kNoPath);
  EXPECT_FALSE(OpenProfile(u"\\no such folder\\x.ini", &error));
  WriteFileBytes(device.root() / "bad.ini", "k=v\r\n");
  EXPECT_FALSE(OpenProfile(u"\\bad.ini", &error));
  EXPECT_EQ(error.status, ProfileStatus::kKeyOutsideSection);
}

}  // namespace
