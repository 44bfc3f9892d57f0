#include "forms/forward_lock_check.h"

#include "binding_fixture.h"
#include "forms/message_import.h"
#include "mm1/mm1_library.h"
#include "platform/automation/automation.h"
#include "platform/file_api.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "transport/resource_module.h"

namespace binding_test {
namespace {

using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

class ForwardLockTest : public BindingTest {
 protected:
  void TearDown() override {
    platform::automation::Reset();
    BindingTest::TearDown();
  }

  // A stored message with one forward-locked picture and, when asked, a plain text beside it.
  void Store(bool withText) {
    auto source = m_device.Host(u"\\source");
    WriteFileBytes(source / "locked",
                   "--b\r\nContent-Type: image/gif\r\nContent-ID: <g@x>\r\n\r\nGIF89a-locked\r\n--b--\r\n");
    WriteFileBytes(source / "note.txt", "plain words");
    mm1::WriteHandle writer = mm1::CreateMessage();
    mm1::PartRecord record;
    record.folder = source;
    record.fileName = "locked";
    record.contentType = "application/vnd.oma.drm.message";
    ASSERT_TRUE(writer->AddPart(record));
    if (withText) {
      record.fileName = "note.txt";
      record.contentType = "text/plain;charset=utf-8";
      ASSERT_TRUE(writer->AddPart(record));
    }
    ASSERT_TRUE(writer->Write(source / "message.mms"));
    ImportResult imported = ImportMessageFile(ReadFileBytes(source / "message.mms"), PR_INBOX_FOLDER_ENTRYID);
    ASSERT_TRUE(imported.ok) << imported.error;
    m_message = std::make_unique<StoreMessage>(std::make_shared<const EntryId>(imported.entryId));
    ASSERT_TRUE(LoadBinding(m_binding, m_message->Get(), nullptr, 5));
    ASSERT_NE(m_binding.Model(), nullptr);
  }

  std::u16string LastQuestion() {
    const auto& log = platform::automation::PromptLog();
    return log.empty() ? u"" : log.back().text;
  }

  std::unique_ptr<StoreMessage> m_message;
  MessageBinding m_binding;
};

TEST_F(ForwardLockTest, SomeLockedObjectsAreLeftOutOnYes) {
  Store(true);
  platform::automation::QueueAnswer(6);
  bool changed = false;
  EXPECT_TRUE(CheckForwardLock(m_binding, &changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(LastQuestion(), transport::LoadResourceString(kAskSomeObjectsLocked).View());
  MessageModel* model = m_binding.Model();
  ASSERT_EQ(model->parts.size(), 1u);
  EXPECT_EQ(model->parts.front().type, 0x30001u);
  for (const Slide& slide : model->slides) EXPECT_FALSE(slide.image.has_value());
}

TEST_F(ForwardLockTest, AMessageOfOnlyLockedObjectsAsksTheOtherQuestion) {
  Store(false);
  platform::automation::QueueAnswer(6);
  bool changed = false;
  EXPECT_TRUE(CheckForwardLock(m_binding, &changed));
  EXPECT_EQ(LastQuestion(), transport::LoadResourceString(kAskAllObjectsLocked).View());
  EXPECT_TRUE(m_binding.Model()->parts.empty());
}

TEST_F(ForwardLockTest, NoStopsTheForwardAndChangesNothing) {
  Store(true);
  platform::automation::QueueAnswer(7);
  bool changed = true;
  EXPECT_FALSE(CheckForwardLock(m_binding, &changed));
  EXPECT_FALSE(changed);
  EXPECT_EQ(m_binding.Model()->parts.size(), 2u);
}

TEST_F(ForwardLockTest, WithoutDrmSupportNothingIsLockedOrAsked) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kIsSupportDrm, 0, TRUE));
  Store(true);
  bool changed = true;
  EXPECT_TRUE(CheckForwardLock(m_binding, &changed));
  EXPECT_FALSE(changed);
  EXPECT_TRUE(platform::automation::PromptLog().empty());
}

}  // namespace
}  // namespace binding_test
