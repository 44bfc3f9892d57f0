// The template index read and written by hand-counted bytes, every truncation of a good index, and
// the store's answers to a missing, foreign or damaged index.
#include <gtest/gtest.h>

#include <string>

#include "forms/template_index.h"
#include "forms/template_store.h"
#include "platform/kernel/file_api.h"
#include "support/test_device.h"

namespace {

using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string U32(std::uint32_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF), static_cast<char>((v >> 16) & 0xFF),
                     static_cast<char>(v >> 24)};
}

// "A" and "B:" in UTF-16LE with their nulls: 4 and 6 bytes.
const std::string kNameA("A\0\0\0", 4);
const std::string kFileB("B\0:\0\0\0", 6);

// One template: message file "B:", no preview, name "A", flag 0; running number 7.
std::string OneEntryIndex() {
  return U32(1) + U32(1) + U32(7) + U32(16) +         // head
         U32(30) + U32(6) + U32(0) + U32(4) +          // record size 16 + 6 + 0 + 4 + 4
         kFileB + kNameA + U32(0);                     // strings, flag
}

TEST(TemplateIndex, ReadsAHandCountedIndexAndWritesTheSameBytes) {
  const std::string bytes = OneEntryIndex();
  ASSERT_EQ(bytes.size(), 46u);
  TemplateIndexParse parse = ParseTemplateIndex(Bytes(bytes));
  ASSERT_TRUE(parse.ok());
  EXPECT_EQ(parse.index.runningNumber, 7u);
  ASSERT_EQ(parse.index.entries.size(), 1u);
  EXPECT_EQ(parse.index.entries[0].messageFile, u"B:");
  EXPECT_EQ(parse.index.entries[0].previewFile, u"");
  EXPECT_EQ(parse.index.entries[0].name, u"A");
  EXPECT_EQ(parse.index.entries[0].flag, 0u);
  EXPECT_EQ(SerializeTemplateIndex(parse.index), bytes);
}

TEST(TemplateIndex, EveryTruncationFailsCleanly) {
  const std::string bytes = OneEntryIndex();
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    TemplateIndexParse parse = ParseTemplateIndex(Bytes(bytes.substr(0, length)));
    EXPECT_FALSE(parse.ok()) << length;
    EXPECT_TRUE(parse.index.entries.empty()) << length;
    EXPECT_LE(parse.offset, length) << length;
  }
}

TEST(TemplateIndex, LiesInTheHeadAndTheRecordsAreCaught) {
  struct Case {
    std::string bytes;
    TemplateIndexStatus status;
  };
  const std::string record = U32(30) + U32(6) + U32(0) + U32(4) + kFileB + kNameA + U32(0);
  const Case cases[] = {
      {U32(2) + U32(1) + U32(7) + U32(16) + record, TemplateIndexStatus::kWrongVersion},
      {U32(1) + U32(1) + U32(7) + U32(8) + record, TemplateIndexStatus::kBadOffset},
      {U32(1) + U32(1) + U32(7) + U32(4000) + record, TemplateIndexStatus::kBadOffset},
      {U32(1) + U32(0xFFFFFFFF) + U32(7) + U32(16) + record, TemplateIndexStatus::kTooManyEntries},
      {U32(1) + U32(3) + U32(7) + U32(16) + record, TemplateIndexStatus::kTooManyEntries},
      // Record sizes that disagree with their counts, or that wrap when the counts are added.
      {U32(1) + U32(1) + U32(7) + U32(16) + U32(31) + U32(6) + U32(0) + U32(4) + kFileB + kNameA + U32(0) + "x",
       TemplateIndexStatus::kBadRecordSize},
      {U32(1) + U32(1) + U32(7) + U32(16) + U32(19) + U32(0) + U32(0) + U32(0) + U32(0) + "....",
       TemplateIndexStatus::kBadRecordSize},
      {U32(1) + U32(1) + U32(7) + U32(16) + U32(30) + U32(0xFFFFFFFE) + U32(8) + U32(0) + std::string(10, 'x'),
       TemplateIndexStatus::kBadRecordSize},
  };
  for (const Case& c : cases) {
    TemplateIndexParse parse = ParseTemplateIndex(Bytes(c.bytes));
    EXPECT_EQ(parse.status, c.status) << c.bytes.size();
    EXPECT_TRUE(parse.index.entries.empty());
  }
}

TEST(TemplateIndex, OddByteCountsAndMissingNullsStayInsideTheirRecord) {
  // Message-file count 5 (odd): the preview starts at byte 4, the name at character 4.
  const std::string strings = std::string("X\0Y\0Z\0W\0", 8);
  const std::string bytes = U32(1) + U32(1) + U32(0) + U32(16) + U32(28) + U32(5) + U32(2) + U32(1) + strings + U32(1);
  TemplateIndexParse parse = ParseTemplateIndex(Bytes(bytes));
  ASSERT_TRUE(parse.ok());
  EXPECT_EQ(parse.index.entries[0].messageFile, u"XY");
  EXPECT_EQ(parse.index.entries[0].previewFile, u"Z");
  EXPECT_EQ(parse.index.entries[0].name, u"");  // one byte is no character
  EXPECT_EQ(parse.index.entries[0].flag, 1u);
}

class TemplateStoreTest : public ::testing::Test {
 protected:
  static constexpr const char16_t* kFolder = u"\\My Documents\\UAContents\\Templates";
  std::filesystem::path Host(std::u16string_view name) {
    return m_device.Host(std::u16string(kFolder) + u"\\" + std::u16string(name));
  }
  test_support::TestDevice m_device;
};

TEST_F(TemplateStoreTest, AMissingIndexGivesTheCustomEntryAndWritesIt) {
  TemplateStore store;
  ASSERT_TRUE(store.Open(kFolder, u"Templates", nullptr));
  EXPECT_EQ(store.Folder(), u"\\My Documents\\UAContents\\Templates\\");
  ASSERT_EQ(store.Entries().size(), 1u);
  const TemplateEntry* custom = store.Find(u"Templates");
  ASSERT_NE(custom, nullptr);
  EXPECT_EQ(custom->flag, 1u);
  EXPECT_EQ(custom->messageFile, u"");
  EXPECT_EQ(custom->previewFile, u"\\My Documents\\UAContents\\Templates\\custom.jpg");
  EXPECT_EQ(store.Find(u"templates"), nullptr) << "names are compared exactly";

  const std::string written = ReadFileBytes(Host(u"MMSTemplates.inf"));
  TemplateIndexParse parse = ParseTemplateIndex(Bytes(written));
  ASSERT_TRUE(parse.ok());
  ASSERT_EQ(parse.index.entries.size(), 1u);
  EXPECT_EQ(parse.index.entries[0].name, u"Templates");
  EXPECT_FALSE(std::filesystem::exists(Host(u"MMSTemplates.inf.new")));

  store.Clear();
  EXPECT_TRUE(store.Entries().empty());
  EXPECT_TRUE(std::filesystem::exists(Host(u"MMSTemplates.inf"))) << "clearing leaves the files";
}

TEST_F(TemplateStoreTest, AVersion2IndexIsReplacedByTheCustomEntryAlone) {
  std::filesystem::create_directories(Host(u""));
  WriteFileBytes(Host(u"MMSTemplates.inf"), U32(2) + OneEntryIndex().substr(4));
  TemplateStore store;
  ASSERT_TRUE(store.Open(kFolder, u"Templates", u"MMSTemplates.inf"));
  ASSERT_EQ(store.Entries().size(), 1u);
  EXPECT_EQ(store.Entries()[0].flag, 1u);
  EXPECT_EQ(store.RunningNumber(), 0u);
  TemplateIndexParse parse = ParseTemplateIndex(Bytes(ReadFileBytes(Host(u"MMSTemplates.inf"))));
  ASSERT_TRUE(parse.ok());
  EXPECT_EQ(parse.index.entries.size(), 1u);
}

TEST_F(TemplateStoreTest, AStoredIndexLoadsAndRemovingATemplateDeletesBothItsFiles) {
  std::filesystem::create_directories(Host(u""));
  TemplateIndex index;
  index.runningNumber = 2;
  const CString folder = u"\\My Documents\\UAContents\\Templates\\";
  index.entries.push_back({u"Templates", u"", folder + u"custom.jpg", 1});
  index.entries.push_back({u"Birthday", folder + u"0.dat", folder + u"0.jpg", 0});
  index.entries.push_back({u"Outside", u"\\My Documents\\keep.dat", u"", 0});
  WriteFileBytes(Host(u"MMSTemplates0409.inf"), SerializeTemplateIndex(index));
  WriteFileBytes(Host(u"0.dat"), "message");
  WriteFileBytes(Host(u"0.jpg"), "preview");
  WriteFileBytes(m_device.Host(u"\\My Documents\\keep.dat"), "not the store's");

  EXPECT_EQ(TemplateIndexName(folder.View()), u"MMSTemplates0409.inf");
  TemplateStore store;
  ASSERT_TRUE(store.Open(kFolder, u"Templates", TemplateIndexName(folder.View())));
  ASSERT_EQ(store.Entries().size(), 3u);
  EXPECT_EQ(store.RunningNumber(), 2u);
  ASSERT_NE(store.Find(u"Birthday"), nullptr);
  EXPECT_EQ(store.Find(u"Birthday")->previewFile, folder + u"0.jpg");

  ASSERT_TRUE(store.Remove(u"Birthday"));
  EXPECT_FALSE(std::filesystem::exists(Host(u"0.dat")));
  EXPECT_FALSE(std::filesystem::exists(Host(u"0.jpg")));
  EXPECT_EQ(store.Find(u"Birthday"), nullptr);
  // An index that names a file outside the folder does not get it deleted.
  ASSERT_TRUE(store.Remove(u"Outside"));
  EXPECT_TRUE(std::filesystem::exists(m_device.Host(u"\\My Documents\\keep.dat")));
  EXPECT_FALSE(store.Remove(u"Birthday"));

  TemplateStore reopened;
  ASSERT_TRUE(reopened.Open(kFolder, u"Templates", u"MMSTemplates0409.inf"));
  ASSERT_EQ(reopened.Entries().size(), 1u);
  EXPECT_EQ(reopened.RunningNumber(), 2u) << "names are not reused";
}

}  // namespace

namespace {

TEST_F(TemplateStoreTest, AddedTemplatesGetNumberedFilesAPreviewAndReplaceTheirNamesake) {
  WriteFileBytes(m_device.Host(u"\\My Documents\\message.dat"), "the message");
  WriteFileBytes(m_device.Host(u"\\My Documents\\photo.jpg"),
                 ReadFileBytes(test_support::CorpusPath("jpeg/canon-ixus.jpg")));
  TemplateStore store;
  ASSERT_TRUE(store.Open(kFolder, u"Templates", nullptr));
  EXPECT_FALSE(store.Add(u"", u"\\My Documents\\message.dat", nullptr, 0));
  EXPECT_FALSE(store.Add(u"Gone", u"\\My Documents\\none.dat", nullptr, 0));
  EXPECT_EQ(store.Entries().size(), 1u) << "nothing made of a missing source";

  ASSERT_TRUE(store.Add(u"Holiday", u"\\My Documents\\message.dat", u"\\My Documents\\photo.jpg", 0));
  const TemplateEntry* holiday = store.Find(u"Holiday");
  ASSERT_NE(holiday, nullptr);
  EXPECT_EQ(holiday->messageFile, u"\\My Documents\\UAContents\\Templates\\0.dat");
  EXPECT_EQ(holiday->previewFile, u"\\My Documents\\UAContents\\Templates\\0.jpg");
  EXPECT_EQ(ReadFileBytes(Host(u"0.dat")), "the message");
  const std::string preview = ReadFileBytes(Host(u"0.jpg"));
  ASSERT_GE(preview.size(), 3u);
  EXPECT_EQ(preview.substr(0, 3), std::string("\xFF\xD8\xFF")) << "a JPEG";

  // A picture that does not decode leaves the template without preview.
  WriteFileBytes(m_device.Host(u"\\My Documents\\broken.jpg"), "not a picture");
  ASSERT_TRUE(store.Add(u"Plain", u"\\My Documents\\message.dat", u"\\My Documents\\broken.jpg", 0));
  EXPECT_EQ(store.Find(u"Plain")->previewFile, u"");
  EXPECT_FALSE(std::filesystem::exists(Host(u"1.jpg")));

  // The same name again: new files, the old ones gone, still one entry of that name.
  ASSERT_TRUE(store.Add(u"Holiday", u"\\My Documents\\message.dat", nullptr, 0));
  EXPECT_EQ(store.Entries().size(), 3u);
  EXPECT_EQ(store.Find(u"Holiday")->messageFile, u"\\My Documents\\UAContents\\Templates\\2.dat");
  EXPECT_FALSE(std::filesystem::exists(Host(u"0.dat")));
  EXPECT_FALSE(std::filesystem::exists(Host(u"0.jpg")));
  EXPECT_EQ(store.RunningNumber(), 3u);

  TemplateStore reopened;
  ASSERT_TRUE(reopened.Open(kFolder, u"Templates", nullptr));
  ASSERT_EQ(reopened.Entries().size(), 3u);
  EXPECT_EQ(reopened.Entries()[1].name, u"Holiday") << "in the place of the one it replaced";
  EXPECT_EQ(reopened.Entries()[1].messageFile, u"\\My Documents\\UAContents\\Templates\\2.dat");
}

}  // namespace

namespace {

TEST_F(TemplateStoreTest, ANewDeviceHasTheBundledTemplatesWithTheirMessagesAndPreviews) {
  const CString folder = u"\\My Documents\\UAContents\\Templates\\";
  EXPECT_EQ(TemplateIndexName(folder.View()), u"MMSTemplates0409.inf");
  TemplateStore store;
  ASSERT_TRUE(store.Open(kFolder, u"Templates", TemplateIndexName(folder.View())));
  ASSERT_EQ(store.Entries().size(), 4u);
  EXPECT_EQ(store.Entries()[0].flag, 1u);
  EXPECT_EQ(store.Entries()[0].previewFile, folder + u"custom.jpg");
  EXPECT_EQ(store.RunningNumber(), 3u);
  for (const char16_t* name : {u"Birthday", u"Meeting", u"Running late"}) {
    const TemplateEntry* entry = store.Find(name);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->flag, 0u);
    const std::string message = ReadFileBytes(m_device.Host(entry->messageFile.View()));
    ASSERT_GE(message.size(), 2u);
    EXPECT_EQ(message.substr(0, 2), std::string("\x8C\x80")) << "an m-send-req";
    const std::string preview = ReadFileBytes(m_device.Host(entry->previewFile.View()));
    ASSERT_GE(preview.size(), 3u);
    EXPECT_EQ(preview.substr(0, 3), std::string("\xFF\xD8\xFF"));
  }
  EXPECT_TRUE(std::filesystem::exists(Host(u"custom.jpg")));
}

TEST_F(TemplateStoreTest, AnIndexEntryWhoseMessageIsGoneStaysListedAndRemovable) {
  std::filesystem::remove(Host(u"1.dat"));
  TemplateStore store;
  ASSERT_TRUE(store.Open(kFolder, u"Templates", u"MMSTemplates0409.inf"));
  ASSERT_NE(store.Find(u"Meeting"), nullptr);
  ASSERT_TRUE(store.Remove(u"Meeting"));
  EXPECT_FALSE(std::filesystem::exists(Host(u"1.jpg")));
  EXPECT_EQ(store.Entries().size(), 3u);
}

CString Numbered(std::size_t i) {
  const std::string digits = std::to_string(i);
  return CString(u"T") + std::u16string(digits.begin(), digits.end());
}

TEST_F(TemplateStoreTest, TenThousandEntriesAreRefusedAndAFullStoreTakesNoNewName) {
  TemplateIndex huge;
  for (int i = 0; i < 10000; ++i) huge.entries.push_back({Numbered(static_cast<std::size_t>(i)), u"", u"", 0});
  const std::string bytes = SerializeTemplateIndex(huge);
  EXPECT_EQ(ParseTemplateIndex(Bytes(bytes)).status, TemplateIndexStatus::kTooManyEntries);

  WriteFileBytes(m_device.Host(u"\\My Documents\\message.dat"), "the message");
  TemplateIndex full;
  full.runningNumber = 5000;
  for (std::size_t i = 0; i < kMaxTemplateEntries; ++i) {
    full.entries.push_back({Numbered(static_cast<std::size_t>(i)), u"", u"", 0});
  }
  std::filesystem::create_directories(Host(u""));
  WriteFileBytes(Host(u"MMSTemplates.inf"), SerializeTemplateIndex(full));
  TemplateStore store;
  ASSERT_TRUE(store.Open(kFolder, u"Templates", nullptr));
  ASSERT_EQ(store.Entries().size(), kMaxTemplateEntries);
  EXPECT_FALSE(store.Add(u"One more", u"\\My Documents\\message.dat", nullptr, 0));
  EXPECT_FALSE(std::filesystem::exists(Host(u"5000.dat")));
  // Replacing one of them is still possible, and the index still opens afterwards.
  ASSERT_TRUE(store.Add(u"T7", u"\\My Documents\\message.dat", nullptr, 0));
  TemplateStore reopened;
  ASSERT_TRUE(reopened.Open(kFolder, u"Templates", nullptr));
  EXPECT_EQ(reopened.Entries().size(), kMaxTemplateEntries);
  EXPECT_EQ(reopened.Find(u"T7")->messageFile, u"\\My Documents\\UAContents\\Templates\\5000.dat");
}

}  // namespace
