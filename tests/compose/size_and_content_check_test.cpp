// What the composer lets into a message: the size texts, the free-storage rule, the insertion check
// and the whole-message check in each creation mode, with the texts the user is shown.
#include <gtest/gtest.h>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/content_check.h"
#include "forms/message_size.h"
#include "platform/automation/automation.h"
#include "platform/kernel/file_api.h"
#include "support/test_device.h"

namespace {

class SizeCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::automation::Reset();
    m_model.partFolder = CString(u"\\parts\\");
    std::filesystem::create_directories(m_device.Host(u"\\parts"));
  }
  void TearDown() override {
    platform::automation::Reset();
    platform::SetReportedFreeSpace(-1);
  }

  // A part of `bytes` bytes in the part folder, added to the model.
  MediaPart& AddFile(const std::u16string& name, std::size_t bytes, MediaType type) {
    test_support::WriteFileBytes(m_device.Host(u"\\parts\\" + name), std::string(bytes, 'a'));
    return *AddPartOfType(m_model, name, type);
  }
  CString PathOf(const std::u16string& name) { return CString(u"\\parts\\" + name); }
  std::vector<std::u16string> Prompts() const {
    std::vector<std::u16string> texts;
    for (const auto& prompt : platform::automation::PromptLog()) texts.push_back(prompt.text);
    return texts;
  }

  test_support::TestDevice m_device;
  MessageModel m_model;
};

TEST_F(SizeCheckTest, SizesAreWrittenInKilobytesTakenUpwardsAndInMegabytesAbove1024) {
  EXPECT_EQ(FormatSize(0), u"1 KB");
  EXPECT_EQ(FormatSize(1), u"1 KB");
  EXPECT_EQ(FormatSize(1024), u"1 KB");
  EXPECT_EQ(FormatSize(1025), u"2 KB");
  EXPECT_EQ(FormatSize(1024 * 1024), u"1024 KB");
  EXPECT_EQ(FormatSize(1024 * 1024 + 1), u"1.0 MB");
  EXPECT_EQ(FormatSize(5 * 1024 * 1024 + 512 * 1024), u"5.5 MB");
  EXPECT_EQ(FormatSize(0xFFFFFFFFu), u"4096.0 MB") << "no wrap at the top";
  EXPECT_EQ(SizeDisplayText(2048), u"2 KB of 300 KB");
}

TEST_F(SizeCheckTest, TheSizeMessageAppearsOnlyAboveTheSendLimit) {
  EXPECT_FALSE(ShowSizeMessage(nullptr, MaxSendSize()));
  EXPECT_TRUE(Prompts().empty());
  platform::automation::QueueAnswer(IDOK);
  EXPECT_TRUE(ShowSizeMessage(nullptr, MaxSendSize() + 1));
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"The message is 301 KB; at most 300 KB can be sent.");
  EXPECT_EQ(platform::automation::PromptLog()[0].style, MB_SETFOREGROUND);
}

TEST_F(SizeCheckTest, FreeStorageKeepsTheReserve) {
  // ReservedSpace is 1024 KB: 1025 KB free leaves room for less than one more kilobyte.
  platform::SetReportedFreeSpace(1025 * 1024);
  EXPECT_TRUE(HasFreeStorage(0));
  EXPECT_TRUE(HasFreeStorage(1023));
  EXPECT_FALSE(HasFreeStorage(1024));
  platform::SetReportedFreeSpace(1024 * 1024);
  EXPECT_FALSE(HasFreeStorage(0));
}

TEST_F(SizeCheckTest, FreeModeRefusesNothing) {
  SetConfigValue(numeric_setting::kDefaultCreationMode, 2, FALSE);
  AddFile(u"big.txt", 400000, media_type::kPlainText);
  AddFile(u"odd.xyz", 10, media_type::Make(7, 1));
  EXPECT_TRUE(CheckMessage(&m_model, nullptr, false, MessageOperation::kSend));
  EXPECT_TRUE(CheckInsertion(PathOf(u"big.txt"), media_type::kPlainText, &m_model, nullptr, nullptr, false));
  EXPECT_TRUE(Prompts().empty());
}

TEST_F(SizeCheckTest, ATextMessageOfExactlyItsLimitPassesAndOneByteMoreIsRefused) {
  SetConfigValue(numeric_setting::kDefaultCreationMode, 0, FALSE);
  MediaPart& text = AddFile(u"a.txt", 30720, media_type::kPlainText);
  EXPECT_EQ(MessageSizeOf(m_model), 30720u);
  EXPECT_TRUE(CheckMessage(&m_model, nullptr, false, MessageOperation::kSave));
  test_support::WriteFileBytes(m_device.Host(u"\\parts\\a.txt"), std::string(30721, 'a'));
  platform::automation::QueueAnswer(IDOK);
  EXPECT_FALSE(CheckMessage(&m_model, nullptr, true, MessageOperation::kSave));
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"The message is too large to be saved.");
  (void)text;
}

TEST_F(SizeCheckTest, EachOperationHasItsOwnRefusalAndWarningModeGoesOn) {
  SetConfigValue(numeric_setting::kDefaultCreationMode, 0, FALSE);
  AddFile(u"strange.xyz", 10, media_type::Make(7, 1));
  const std::pair<MessageOperation, const char16_t*> cases[] = {
      {MessageOperation::kTemplate, u"The message holds items that are not allowed in a template."},
      {MessageOperation::kSecondCaller, u"The message holds items that are not allowed in this mode."},
      {MessageOperation::kOpening, u"The message holds items that are not allowed."},
      {MessageOperation::kSave, u"The message holds items that are not allowed; it cannot be saved."},
      {MessageOperation::kSend, u"The message holds items that are not allowed; it cannot be sent."},
  };
  for (const auto& [operation, text] : cases) {
    platform::automation::Reset();
    platform::automation::QueueAnswer(IDOK);
    EXPECT_FALSE(CheckMessage(&m_model, nullptr, false, operation));
    ASSERT_EQ(Prompts().size(), 1u);
    EXPECT_EQ(Prompts()[0], text);
  }
  // The detail-hiding bit changes the content text.
  SetConfigValue(numeric_setting::kHideDlgControl, 8, FALSE);
  platform::automation::Reset();
  platform::automation::QueueAnswer(IDOK);
  EXPECT_FALSE(CheckMessage(&m_model, nullptr, false, MessageOperation::kSend));
  EXPECT_EQ(Prompts().back(), u"The message holds items that cannot be sent.");

  SetConfigValue(numeric_setting::kDefaultCreationMode, 1, FALSE);
  platform::automation::Reset();
  EXPECT_TRUE(CheckMessage(&m_model, nullptr, true, MessageOperation::kSend)) << "asked before: passes";
  EXPECT_TRUE(Prompts().empty());
  platform::automation::QueueAnswer(IDOK);
  EXPECT_TRUE(CheckMessage(&m_model, nullptr, false, MessageOperation::kSend));
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"Some items may not be shown on every phone.");
}

TEST_F(SizeCheckTest, ReinsertingAFileOfTheMessageDoesNotCountItTwice) {
  SetConfigValue(numeric_setting::kDefaultCreationMode, 0, FALSE);
  AddFile(u"a.txt", 20000, media_type::kPlainText);
  test_support::WriteFileBytes(m_device.Host(u"\\parts\\b.txt"), std::string(20000, 'b'));
  EXPECT_TRUE(CheckInsertion(PathOf(u"a.txt"), media_type::kPlainText, &m_model, nullptr, nullptr, false));
  EXPECT_TRUE(Prompts().empty());
  // A second file of the same size would take the text message to 40000 bytes.
  platform::automation::QueueAnswer(IDOK);
  EXPECT_FALSE(CheckInsertion(PathOf(u"b.txt"), media_type::kPlainText, &m_model, nullptr, nullptr, false));
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"This item is too large for this creation mode.");
}

TEST_F(SizeCheckTest, TheObjectAnInsertionReplacesNoLongerCounts) {
  SetConfigValue(numeric_setting::kDefaultCreationMode, 1, FALSE);
  MediaPart& old = AddFile(u"old.txt", 20000, media_type::kPlainText);
  Slide slide;
  SetReference(slide.text, MediaRef{RegionKind::kText, 0, 0, &old, nullptr});
  test_support::WriteFileBytes(m_device.Host(u"\\parts\\new.txt"), std::string(20000, 'n'));
  // The new text takes the old one's place on the slide: 20000 bytes in all.
  EXPECT_TRUE(CheckInsertion(PathOf(u"new.txt"), media_type::kPlainText, &m_model, &slide, nullptr, false));
  EXPECT_TRUE(Prompts().empty());
  // With the caller saying the old one is gone already, the model's 20000 count as other objects.
  platform::automation::QueueAnswer(IDNO);
  EXPECT_FALSE(CheckInsertion(PathOf(u"new.txt"), media_type::kPlainText, &m_model, &slide, nullptr, true));
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"This item makes the message larger than every phone can receive. Add it anyway?");
  platform::automation::QueueAnswer(IDYES);
  EXPECT_TRUE(CheckInsertion(PathOf(u"new.txt"), media_type::kPlainText, &m_model, &slide, nullptr, true));
  ClearReference(slide.text);
}

TEST_F(SizeCheckTest, AFileThatIsMissingWeighsNothingAndAnEmptyPathIsAllowed) {
  SetConfigValue(numeric_setting::kDefaultCreationMode, 0, FALSE);
  EXPECT_EQ(FileSizeForCheck(u"\\parts\\none.txt"), 0u);
  EXPECT_TRUE(CheckInsertion(u"\\parts\\none.txt", media_type::kPlainText, &m_model, nullptr, nullptr, false));
  EXPECT_TRUE(CheckInsertion(u"", media_type::kPlainText, &m_model, nullptr, nullptr, false));
  EXPECT_TRUE(CheckInsertion(u"\\parts\\none.txt", media_type::kPlainText, nullptr, nullptr, nullptr, false));
}

TEST_F(SizeCheckTest, EveryCellOfTheWholeMessageTableInRestrictedMode) {
  SetConfigValue(numeric_setting::kDefaultCreationMode, 0, FALSE);
  struct Row {
    MessageOperation operation;
    const char16_t* size;
    const char16_t* contentHidden;
    const char16_t* content;
  };
  const Row rows[] = {
      {MessageOperation::kTemplate, u"The message is too large for a template.",
       u"The message holds items that cannot be used in a template.",
       u"The message holds items that are not allowed in a template."},
      {MessageOperation::kSecondCaller, u"The message is too large for this mode.",
       u"The message holds items that cannot be used in this mode.",
       u"The message holds items that are not allowed in this mode."},
      {MessageOperation::kSend, u"The message is too large to be sent.", u"The message holds items that cannot be sent.",
       u"The message holds items that are not allowed; it cannot be sent."},
      {MessageOperation::kSave, u"The message is too large to be saved.", u"The message holds items that cannot be saved.",
       u"The message holds items that are not allowed; it cannot be saved."},
      {MessageOperation::kOpening, u"The message is too large.", u"The message holds items that cannot be used.",
       u"The message holds items that are not allowed."},
  };
  auto refusal = [&](MessageOperation operation) {
    platform::automation::Reset();
    platform::automation::QueueAnswer(IDOK);
    EXPECT_FALSE(CheckMessage(&m_model, nullptr, true, operation));
    return Prompts().size() == 1 ? Prompts()[0] : std::u16string(u"(no single prompt)");
  };
  // Too large: a text of one byte over the text class's limit.
  MediaPart& text = AddFile(u"a.txt", 30721, media_type::kPlainText);
  for (const Row& row : rows) EXPECT_EQ(refusal(row.operation), row.size);
  // Not allowed: a small file of a kind the creation filter does not hold, with and without the
  // bit that hides the reason.
  test_support::WriteFileBytes(m_device.Host(u"\\parts\\a.txt"), std::string(10, 'a'));
  AddFile(u"strange.xyz", 10, media_type::Make(7, 1));
  for (const Row& row : rows) EXPECT_EQ(refusal(row.operation), row.content);
  SetConfigValue(numeric_setting::kHideDlgControl, 8, FALSE);
  for (const Row& row : rows) EXPECT_EQ(refusal(row.operation), row.contentHidden);
  (void)text;
}

TEST_F(SizeCheckTest, SizeTextsAtTheKilobyteAndMegabyteEdges) {
  const std::pair<std::uint32_t, const char16_t*> cases[] = {
      {0, u"1 KB"},          {1023, u"1 KB"},         {1024, u"1 KB"},
      {1025, u"2 KB"},       {1048576, u"1024 KB"},   {1048577, u"1.0 MB"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatSize(bytes), text) << bytes;
}

}  // namespace
