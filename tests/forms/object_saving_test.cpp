// The save rule for one object: the name it gets, name conflicts, texts written as UTF-8, a full
// storage, a file missing from the part folder, and names that try to leave their folder.
#include "forms/object_saving.h"

#include "forms/object_file_name.h"
#include "forms/object_folder.h"
#include "forms/name_conflict_dialog.h"
#include "platform/kernel/file_api.h"
#include "save_fixture.h"
#include "support/client_window.h"

namespace save_test {
namespace {

constexpr char16_t kPictures[] = u"\\My Documents\\My Pictures\\";
constexpr char16_t kTarget[] = u"\\My Documents\\Saved\\";

class ObjectSavingTest : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    std::filesystem::create_directories(m_device.Host(kTarget));
  }
  bool Save(const std::u16string& source, MediaType type, std::u16string_view folder = kTarget) {
    const std::u16string target(folder);
    return SaveObjectToFile(target.c_str(), source.c_str(), type, m_owner);
  }
};

TEST_F(ObjectSavingTest, SavingThePictureAgainOffersTheNextFreeNumberedName) {
  const std::u16string source = Put(u"pic.jpg", "first");
  AnswerConflicts(name_conflict::kNumberedName);
  ASSERT_TRUE(Save(source, media_type::kJpeg));
  EXPECT_EQ(m_conflicts, 0);
  EXPECT_TRUE(Prompted(u"pic.jpg was saved in \\My Documents\\Saved\\"));
  ASSERT_TRUE(Save(source, media_type::kJpeg));
  ASSERT_TRUE(Save(source, media_type::kJpeg));
  EXPECT_EQ(m_conflicts, 2);
  EXPECT_EQ(FilesIn(kTarget), (std::set<std::string>{"pic.jpg", "pic_0.jpg", "pic_1.jpg"}));
  EXPECT_EQ(Read(u"\\My Documents\\Saved\\pic_1.jpg"), "first");
  EXPECT_TRUE(Prompted(u"pic_1.jpg was saved"));
}

TEST_F(ObjectSavingTest, ASaveThatLeavesLessThanTheReserveWarnsTheClient) {
  test_support::ClientWindow client;
  const std::u16string source = Put(u"pic.jpg", "picture");
  platform::SetReportedFreeSpace(2048 * 1024);
  EXPECT_TRUE(Save(source, media_type::kJpeg));
  EXPECT_EQ(client.CountStorageLow(), 0);
  // The default reserve is 1024 KiB: a save that leaves no more is still kept, and told.
  platform::SetReportedFreeSpace(1024 * 1024);
  AnswerConflicts(name_conflict::kNumberedName);
  EXPECT_TRUE(Save(source, media_type::kJpeg));
  EXPECT_EQ(client.CountStorageLow(), 1);
  EXPECT_EQ(Read(u"\\My Documents\\Saved\\pic_0.jpg"), "picture");
  platform::SetReportedFreeSpace(-1);
}

TEST_F(ObjectSavingTest, ReplacingKeepsOneFileWithTheNewContentAndCancelWritesNothing) {
  test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\Saved\\pic.jpg"), "old picture");
  // A read-only file of the name is replaced as well: its attributes are cleared first.
  SetFileAttributesW(u"\\My Documents\\Saved\\pic.jpg", FILE_ATTRIBUTE_READONLY);
  const std::u16string source = Put(u"pic.jpg", "new picture");
  AnswerConflicts(name_conflict::kReplace);
  ASSERT_TRUE(Save(source, media_type::kJpeg));
  EXPECT_EQ(FilesIn(kTarget), std::set<std::string>{"pic.jpg"});
  EXPECT_EQ(Read(u"\\My Documents\\Saved\\pic.jpg"), "new picture");

  Put(u"pic.jpg", "third");
  AnswerConflicts(name_conflict::kCancel);
  EXPECT_FALSE(Save(source, media_type::kJpeg));
  EXPECT_EQ(FilesIn(kTarget), std::set<std::string>{"pic.jpg"});
  EXPECT_EQ(Read(u"\\My Documents\\Saved\\pic.jpg"), "new picture");
}

TEST_F(ObjectSavingTest, ANameWithoutTheTypesExtensionGetsItOnlyWhenThePersonAgrees) {
  const std::u16string source = Put(u"photo", "jpeg bytes");
  platform::automation::QueueAnswer(IDCANCEL, u"photo.jpg");
  EXPECT_FALSE(Save(source, media_type::kJpeg));
  EXPECT_TRUE(FilesIn(kTarget).empty());

  platform::automation::QueueAnswer(IDOK, u"photo.jpg");
  ASSERT_TRUE(Save(source, media_type::kJpeg));
  EXPECT_EQ(FilesIn(kTarget), std::set<std::string>{"photo.jpg"});
  // Any extension of the exact type counts; a generic attachment keeps its name as it is.
  EXPECT_TRUE(Save(Put(u"other.jpeg", "x"), media_type::kJpeg));
  EXPECT_TRUE(Save(Put(u"data.bin", "x"), media_type::kGenericByExtension));
  EXPECT_EQ(FilesIn(kTarget), (std::set<std::string>{"data.bin", "other.jpeg", "photo.jpg"}));
}

TEST_F(ObjectSavingTest, ATextIsWrittenAsUtf8WithItsMarkAndHtmlIsCopiedUnchanged) {
  // The part folder holds texts as UTF-16 little-endian with a mark, as a loaded message has them.
  const std::string utf16("\xFF\xFE" "H\0\xE9\0l\0l\0o\0\r\0\n\0\xAC\x20", 18);
  ASSERT_TRUE(Save(Put(u"note.txt", utf16), media_type::kPlainText));
  EXPECT_EQ(Read(u"\\My Documents\\Saved\\note.txt"), "\xEF\xBB\xBF" "H\xC3\xA9llo\r\n\xE2\x82\xAC");

  const std::string html = "<html><body>caf\xE9</body></html>";
  ASSERT_TRUE(Save(Put(u"page.html", html), media_type::kMarkupText));
  EXPECT_EQ(Read(u"\\My Documents\\Saved\\page.html"), html);
}

TEST_F(ObjectSavingTest, AFullStorageIsToldAndLeavesNoFileAndNoTemporaryFile) {
  const std::u16string source = Put(u"big.jpg", std::string(5000, 'p'));
  const std::u16string text = Put(u"note.txt", std::string("\xFF\xFE" "a\0b\0", 6));
  {
    FullStorage full(100);
    EXPECT_FALSE(Save(source, media_type::kJpeg));
    EXPECT_FALSE(Save(text, media_type::kPlainText));
  }
  EXPECT_EQ(PromptTexts(), (std::vector<std::u16string>{u"The storage is full. The item was not saved.",
                                                         u"The storage is full. The item was not saved."}));
  EXPECT_TRUE(FilesIn(kTarget).empty());
}

TEST_F(ObjectSavingTest, AFileReplacedOnAFullStorageStaysAsItWas) {
  test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\Saved\\big.jpg"), "the earlier picture");
  const std::u16string source = Put(u"big.jpg", std::string(5000, 'p'));
  AnswerConflicts(name_conflict::kReplace);
  {
    FullStorage full(1000);
    EXPECT_FALSE(Save(source, media_type::kJpeg));
  }
  EXPECT_EQ(FilesIn(kTarget), std::set<std::string>{"big.jpg"});
  EXPECT_EQ(Read(u"\\My Documents\\Saved\\big.jpg"), "the earlier picture");
}

TEST_F(ObjectSavingTest, AnObjectWhoseFileIsMissingSaysItWasNotCopied) {
  EXPECT_FALSE(Save(std::u16string(kPartFolder) + u"gone.jpg", media_type::kJpeg));
  EXPECT_EQ(PromptTexts(), std::vector<std::u16string>{u"The file could not be copied."});
  EXPECT_TRUE(FilesIn(kTarget).empty());
}

TEST_F(ObjectSavingTest, NamesThatTryToLeaveTheFolderAreSavedInsideIt) {
  const std::set<std::string> before = AllFiles();
  // A part file whose own name holds a control character and a leading dot run.
  ASSERT_TRUE(Save(Put(u"..a\x01" u"b.jpg", "x"), media_type::kJpeg));
  std::set<std::string> expected{"a_b.jpg"};
  EXPECT_EQ(FilesIn(kTarget), expected);
  std::set<std::string> after = AllFiles();
  for (const std::string& name : before) after.erase(name);
  after.erase("My Documents/UAContents/7/..a\x01" "b.jpg");
  EXPECT_EQ(after, std::set<std::string>{"My Documents/Saved/a_b.jpg"});
}

struct NameCase {
  std::u16string_view given;
  std::u16string_view safe;
  bool plain;
};

TEST(ObjectFileNameTest, ALongNameIsCutKeepingItsExtensionAndWholeCharacters) {
  const std::u16string emoji = u"\U0001F600";  // two UTF-16 units
  struct LongCase {
    std::u16string given;
    std::u16string safe;
  };
  const LongCase cases[] = {
      {std::u16string(300, u'a') + u".jpg", std::u16string(124, u'a') + u".jpg"},
      {std::u16string(128, u'b'), std::u16string(128, u'b')},
      {std::u16string(129, u'b'), std::u16string(128, u'b')},
      // An extension of 20 characters is part of the name and is cut with it.
      {std::u16string(200, u'c') + u"." + std::u16string(20, u'x'), std::u16string(128, u'c')},
      // A cut that would split a character leaves all of it out.
      {std::u16string(123, u'd') + emoji + std::u16string(100, u'e') + u".png",
       std::u16string(123, u'd') + u".png"},
      // Dots and spaces before the cut would end the stem badly.
      {std::u16string(122, u'f') + u". " + std::u16string(50, u'g') + u".gif", std::u16string(122, u'f') + u".gif"},
  };
  for (const LongCase& c : cases) {
    const CString safe = SafeObjectName(c.given);
    EXPECT_EQ(safe.View(), c.safe) << c.given.size();
    EXPECT_LE(safe.GetLength(), 128) << c.given.size();
  }
}

TEST(ObjectFileNameTest, EveryNameBecomesOneFileNameInsideItsFolder) {
  const NameCase cases[] = {
      {u"pic.jpg", u"pic.jpg", true},
      {u"..\\..\\windows\\evil.jpg", u"evil.jpg", false},
      {u"../../etc/passwd", u"passwd", false},
      {u"..", u"object", false},
      {u".", u"object", false},
      {u"", u"object", false},
      {u"dir/", u"object", false},
      {u"a\tb\nc.txt", u"a_b_c.txt", false},
      {u"c:evil.jpg", u"c_evil.jpg", false},
      {u"what?.gif", u"what_.gif", false},
      {u"...hidden", u"hidden", true},
      {u"trailing. . ", u"trailing", true},
      {u"caf\u00e9 \u65e5\u672c.png", u"caf\u00e9 \u65e5\u672c.png", true},
      // Names the device keeps for its ports open a port, not a file.
      {u"CON", u"_CON", true},
      {u"nul.txt", u"_nul.txt", true},
      {u"com1.jpg", u"_com1.jpg", true},
      {u"Lpt9", u"_Lpt9", true},
      {u"aux .wav", u"_aux .wav", true},
      {u"com0.jpg", u"com0.jpg", true},
      {u"console.txt", u"console.txt", true},
  };
  for (const NameCase& c : cases) {
    const std::string shown(c.given.begin(), c.given.end());
    EXPECT_EQ(SafeObjectName(c.given).View(), c.safe) << shown;
    EXPECT_EQ(IsPlainFileName(c.given), c.plain) << shown;
  }
}

TEST_F(ObjectSavingTest, AudioFormsOfVideoContainersAreKeptWithTheVideos) {
  EXPECT_EQ(SavedTypeOf(0x2000B), 0x40005u);
  EXPECT_EQ(SavedTypeOf(0x2000C), 0x40001u);
  EXPECT_EQ(SavedTypeOf(0x2000D), 0x40004u);
  EXPECT_EQ(SavedTypeOf(0x2000E), 0x40006u);
  EXPECT_EQ(SavedTypeOf(0x20003), 0x20003u);
  EXPECT_EQ(FolderForObject(0x2000B), CString(u"\\My Documents\\My Videos\\"));
  EXPECT_EQ(FolderForObject(0x20003), CString(u"\\My Documents\\My Sounds\\"));
  EXPECT_EQ(FolderForObject(media_type::kJpeg), CString(kPictures));
  EXPECT_EQ(FolderForObject(media_type::kPlainText), CString(u"\\My Documents\\"));
  EXPECT_EQ(FolderForObject(0x50001), CString(u"\\My Documents\\"));
}

TEST_F(ObjectSavingTest, TheCurrentObjectOfTheReadViewGoesToTheFolderOfItsType) {
  ASSERT_TRUE(SaveCurrentObject(m_owner, Put(u"tone.amr", "#!AMR\n").c_str(), false));
  EXPECT_TRUE(Exists(u"\\My Documents\\My Sounds\\tone.amr"));
  // An HTML text flagged by the view is copied as it is, not converted.
  ASSERT_TRUE(SaveCurrentObject(m_owner, Put(u"page.htm", "<p>caf\xE9</p>").c_str(), true));
  EXPECT_EQ(Read(u"\\My Documents\\page.htm"), "<p>caf\xE9</p>");
}

}  // namespace
}  // namespace save_test
