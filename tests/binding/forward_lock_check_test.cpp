#include "forms/forward_lock_check.h"

#include "binding_fixture.h"
#include "forms/message_import.h"
#include "mm1/mm1_library.h"
#include "platform/automation/automation.h"
#include "platform/drm/dcf_file.h"
#include "platform/kernel/file_api.h"
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

  struct PartSpec {
    std::string name;
    std::string contentType;
    std::string bytes;
  };
  static PartSpec LockedPicture() {
    return {"locked", "application/vnd.oma.drm.message",
            "--b\r\nContent-Type: image/gif\r\nContent-ID: <g@x>\r\n\r\nGIF89a-locked\r\n--b--\r\n"};
  }
  static PartSpec PlainText() { return {"note.txt", "text/plain;charset=utf-8", "plain words"}; }

  // A stored message of the parts, bound, and with its body loaded unless told otherwise.
  void StoreParts(const std::vector<PartSpec>& parts, bool openBody = true) {
    auto source = m_device.Host(u"\\source");
    mm1::WriteHandle writer = mm1::CreateMessage();
    for (const PartSpec& part : parts) {
      WriteFileBytes(source / part.name, part.bytes);
      mm1::PartRecord record;
      record.folder = source;
      record.fileName = part.name;
      record.contentType = part.contentType;
      ASSERT_TRUE(writer->AddPart(record));
    }
    ASSERT_TRUE(writer->Write(source / "message.mms"));
    ImportResult imported = ImportMessageFile(ReadFileBytes(source / "message.mms"), PR_INBOX_FOLDER_ENTRYID);
    ASSERT_TRUE(imported.ok) << imported.error;
    m_message = std::make_unique<StoreMessage>(std::make_shared<const EntryId>(imported.entryId));
    ASSERT_TRUE(LoadBinding(m_binding, m_message->Get(), nullptr, 5));
    if (openBody) {
      ASSERT_NE(m_binding.Model(), nullptr);
    }
  }

  // A stored message with one forward-locked picture and, when asked, a plain text beside it.
  void Store(bool withText) {
    std::vector<PartSpec> parts{LockedPicture()};
    if (withText) parts.push_back(PlainText());
    StoreParts(parts);
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

// Locked parts side by side and at both ends: each leaves once, and the list is walked on past
// every removal.
TEST_F(ForwardLockTest, EveryLockedObjectLeavesAndTheOthersKeepTheirOrder) {
  PartSpec first = LockedPicture();
  PartSpec second = LockedPicture();
  second.name = "locked2";
  PartSpec last = LockedPicture();
  last.name = "locked3";
  PartSpec other = PlainText();
  other.name = "other.txt";
  StoreParts({first, second, PlainText(), other, last});
  platform::automation::QueueAnswer(6);
  bool changed = false;
  EXPECT_TRUE(CheckForwardLock(m_binding, &changed));
  EXPECT_TRUE(changed);
  std::vector<std::u16string> names;
  for (const MediaPart& part : m_binding.Model()->parts) names.emplace_back(part.fileName.View());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"note.txt", u"other.txt"}));
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

TEST_F(ForwardLockTest, WithDrmSupportOnlyAPartThatMayNotTravelMakesTheMessageLocked) {
  // Delivered apart from its rights: the device may pass it on.
  platform::drm::DcfFile separate{"image/gif", "cid:apart@example", "Encryption-Method: AES128CBC;padding=RFC2630\r\n",
                                  std::string(32, 'k')};
  StoreParts({PlainText(), {"apart.dcf", "application/vnd.oma.drm.content", platform::drm::EncodeDcf(separate)}});
  EXPECT_FALSE(m_binding.HasLockedObjects());
  StoreParts({PlainText()});
  EXPECT_FALSE(m_binding.HasLockedObjects());

  // Forwarded from the list before anyone opened it: the part is still the DRM message as received.
  StoreParts({PlainText(), LockedPicture()}, false);
  EXPECT_TRUE(m_binding.HasLockedObjects());
  Store(true);
  EXPECT_TRUE(m_binding.HasLockedObjects());
  // The parts written out for the question do not stay behind.
  CString workFolder = GetFolderSetting(folder_setting::kDRMTempFolder);
  auto hostWorkFolder = m_device.Host(workFolder.View());
  ASSERT_TRUE(std::filesystem::is_directory(hostWorkFolder));
  EXPECT_TRUE(std::filesystem::is_empty(hostWorkFolder));
}

TEST_F(ForwardLockTest, WithOnlyTheForwardLockMarkTheMessageFileDecides) {
  ASSERT_TRUE(SetConfigValue(numeric_setting::kIsSupportDrm, 0, TRUE));
  ASSERT_TRUE(SetConfigValue(numeric_setting::kEnabledrmfl, 1, TRUE));
  Store(true);
  EXPECT_TRUE(m_binding.HasLockedObjects());
  StoreParts({PlainText()});
  EXPECT_FALSE(m_binding.HasLockedObjects());

  ASSERT_TRUE(SetConfigValue(numeric_setting::kEnabledrmfl, 0, TRUE));
  Store(true);
  EXPECT_FALSE(m_binding.HasLockedObjects());
}

}  // namespace
}  // namespace binding_test
