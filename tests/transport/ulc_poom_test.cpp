// The transport's contact-store wrapper as the forms use it: items by index, fields by property,
// chooser values by request, photos and ring tones from device files, and exports that read back.
#include <gtest/gtest.h>

#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/write_limit.h"
#include "platform/pim/pim_store.h"
#include "platform/pim/vcalendar.h"
#include "platform/pim/vcard_reader.h"
#include "platform/text/text_conversion.h"
#include "support/test_device.h"
#include "transport/mms_global.h"

namespace {

using platform::pim::Contact;
using platform::pim::PimStore;

const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
                       "\x00\x02\x02\x44\x01\x00;",
                       35);

class UlcPoom : public ::testing::Test {
 protected:
  void SetUp() override {
    Contact ann;
    ann.givenName = "Ann";
    ann.familyName = "Lee";
    ann.mobile = "+1 555 0100";
    ann.work = "+1 555 0102";
    ann.email[1] = "ann@example.com";
    annId = *PimStore::ForCurrentDevice()->Add(ann);
    Contact bo;
    bo.givenName = "Bo";
    boId = *PimStore::ForCurrentDevice()->Add(bo);
  }

  test_support::TestDevice device;
  ULC_Poom* contacts = GetMMSGlobal()->GetContactPoom();
  LONG annId = 0;
  LONG boId = 0;
};

TEST_F(UlcPoom, ItemsAndTheirTexts) {
  EXPECT_EQ(contacts->Count(), 2);
  LONG id = 0;
  ASSERT_TRUE(contacts->Get(1, &id));
  EXPECT_EQ(id, boId);
  EXPECT_FALSE(contacts->Get(2, &id));
  EXPECT_FALSE(contacts->Get(-1, &id));
  CString text;
  ASSERT_TRUE(contacts->GetPoomItemString(0, annId, text));
  EXPECT_EQ(text, u"Lee, Ann");
  ASSERT_TRUE(contacts->GetPoomItemString(0x0092001F, annId, text));
  EXPECT_EQ(text, u"+1 555 0102");
  EXPECT_FALSE(contacts->GetPoomItemString(0x12345678, annId, text));
  EXPECT_FALSE(contacts->GetPoomItemString(0, 999, text));
  // Request values count the set fields only: the mobile and work numbers, the second address.
  ASSERT_TRUE(contacts->GetSinglePoomItemString(0x1801001F, annId, text, 1));
  EXPECT_EQ(text, u"+1 555 0102");
  EXPECT_FALSE(contacts->GetSinglePoomItemString(0x1801001F, annId, text, 2));
  ASSERT_TRUE(contacts->GetSinglePoomItemString(0x1806001F, annId, text, 0));
  EXPECT_EQ(text, u"ann@example.com");
  EXPECT_FALSE(contacts->GetSinglePoomItemString(0x1806001F, boId, text, 0));
  ASSERT_TRUE(contacts->GetSinglePoomItemString(0x1800001F, annId, text, 0));
  EXPECT_EQ(text, u"Ann");
  // The other kinds have their own items.
  EXPECT_EQ(GetMMSGlobal()->GetTaskPoom()->Count(), 0);
  EXPECT_EQ(GetMMSGlobal()->GetAppointmentPoom()->Count(), 0);
  EXPECT_NE(contacts->GetOutlookApp(), nullptr);
}

TEST_F(UlcPoom, StoringALinkInAField) {
  ASSERT_TRUE(contacts->SetPoomItemString(0x0091001F, boId, u"+44 20 7946 0000"));
  EXPECT_EQ(PimStore::ForCurrentDevice()->FindContact(boId)->home, "+44 20 7946 0000");
  EXPECT_FALSE(contacts->SetPoomItemString(0x1801001F, boId, u"x"));  // a request is no field
  EXPECT_FALSE(contacts->SetPoomItemString(0x0096001F, 999, u"x"));
  EXPECT_FALSE(contacts->SetPoomItemString(0x0096001F, boId, std::u16string(5000, u'a').c_str()));
}

TEST_F(UlcPoom, PhotosMustBePictures) {
  test_support::WriteFileBytes(device.Host(u"\\My Documents\\face.gif"), kGif);
  test_support::WriteFileBytes(device.Host(u"\\My Documents\\face.jpg"), "<html>no picture</html>");
  test_support::WriteFileBytes(device.Host(u"\\My Documents\\huge.gif"), kGif + std::string(1u << 20, 'x'));
  EXPECT_FALSE(contacts->SavePhotoToContact(annId, u"\\My Documents\\face.jpg"));
  EXPECT_FALSE(contacts->SavePhotoToContact(annId, u"\\My Documents\\huge.gif"));
  EXPECT_FALSE(contacts->SavePhotoToContact(annId, u"\\My Documents\\missing.gif"));
  EXPECT_FALSE(contacts->SavePhotoToContact(999, u"\\My Documents\\face.gif"));
  EXPECT_TRUE(PimStore::ForCurrentDevice()->FindContact(annId)->photo.empty());
  ASSERT_TRUE(contacts->SavePhotoToContact(annId, u"\\My Documents\\face.gif"));
  EXPECT_EQ(PimStore::ForCurrentDevice()->FindContact(annId)->photo, kGif);
}

TEST_F(UlcPoom, RingTonesAreCopiedOutOfTheMessage) {
  test_support::WriteFileBytes(device.Host(u"\\Messages\\part 1\\tune.mid"), "MThd-tune");
  ASSERT_TRUE(contacts->SaveRingToneToContact(annId, u"\\Messages\\part 1\\tune.mid"));
  const std::string tone = PimStore::ForCurrentDevice()->FindContact(annId)->ringTone;
  EXPECT_EQ(tone, "\\Application Data\\Contacts\\ring tone " + std::to_string(annId) + ".mid");
  std::filesystem::remove_all(device.Host(u"\\Messages"));
  EXPECT_EQ(test_support::ReadFileBytes(device.Host(platform::Utf8ToUtf16(tone))), "MThd-tune");

  // A tone that does not fit leaves the contact with the one it had, and no stray file.
  test_support::WriteFileBytes(device.Host(u"\\My Documents\\long.wav"), std::string(5000, 'w'));
  platform::SetDeviceWriteLimit(100);
  EXPECT_FALSE(contacts->SaveRingToneToContact(annId, u"\\My Documents\\long.wav"));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  platform::SetDeviceWriteLimit(-1);
  EXPECT_EQ(PimStore::ForCurrentDevice()->FindContact(annId)->ringTone, tone);
  for (const auto& entry : std::filesystem::directory_iterator(device.Host(u"\\Application Data\\Contacts"))) {
    EXPECT_EQ(entry.path().filename().string(), "ring tone " + std::to_string(annId) + ".mid");
  }
  EXPECT_FALSE(contacts->SaveRingToneToContact(annId, u"\\My Documents\\missing.wav"));
}

TEST_F(UlcPoom, ExportsReadBack) {
  ASSERT_TRUE(CreateDirectoryW(u"\\Temp", nullptr));
  EXPECT_FALSE(contacts->Export(annId, u"\\No Folder\\vCard.vcf"));
  ASSERT_TRUE(contacts->Export(annId, u"\\Temp\\vCard.vcf"));
  auto card = platform::pim::ReadVcards(test_support::ReadFileBytes(device.Host(u"\\Temp\\vCard.vcf")));
  ASSERT_TRUE(card.ok()) << card.error;
  Contact expected = *PimStore::ForCurrentDevice()->FindContact(annId);
  expected.id = 0;
  EXPECT_EQ(card.contacts.at(0), expected);
  EXPECT_FALSE(contacts->Export(999, u"\\Temp\\none.vcf"));
  EXPECT_FALSE(std::filesystem::exists(device.Host(u"\\Temp\\none.vcf")));

  ASSERT_TRUE(contacts->ExportSimpleVcard(u"Jean Luc Picard", u"+33 1 23 45 67 89", u"\\Temp\\simple.vcf"));
  auto simple = platform::pim::ReadVcards(test_support::ReadFileBytes(device.Host(u"\\Temp\\simple.vcf")));
  ASSERT_TRUE(simple.ok()) << simple.error;
  EXPECT_EQ(simple.contacts.at(0).givenName, "Jean Luc");
  EXPECT_EQ(simple.contacts.at(0).familyName, "Picard");
  EXPECT_EQ(simple.contacts.at(0).mobile, "+33 1 23 45 67 89");
  ASSERT_TRUE(contacts->ExportSimpleVcard(nullptr, u"+33 1", u"\\Temp\\number.vcf"));
  EXPECT_EQ(platform::pim::ReadVcards(test_support::ReadFileBytes(device.Host(u"\\Temp\\number.vcf")))
                .contacts.at(0).fileAs, "+33 1");
  EXPECT_FALSE(contacts->ExportSimpleVcard(u"Nobody", u"", u"\\Temp\\empty.vcf"));

  const auto taskId = *PimStore::ForCurrentDevice()->Add(platform::pim::Task{0, "Call Ann", "", 1796644500, false, 1});
  ULC_Poom* tasks = GetMMSGlobal()->GetTaskPoom();
  ASSERT_TRUE(tasks->Export(static_cast<LONG>(taskId), u"\\Temp\\vCalendar.vcs"));
  auto calendar = platform::pim::ReadVcalendar(test_support::ReadFileBytes(device.Host(u"\\Temp\\vCalendar.vcs")));
  ASSERT_TRUE(calendar.ok()) << calendar.error;
  EXPECT_EQ(calendar.tasks.at(0).subject, "Call Ann");
  CString subject;
  ASSERT_TRUE(tasks->GetPoomItemString(0, static_cast<LONG>(taskId), subject));
  EXPECT_EQ(subject, u"Call Ann");
  EXPECT_FALSE(contacts->Export(static_cast<LONG>(taskId) + 100, u"\\Temp\\x.vcf"));
}

}  // namespace
