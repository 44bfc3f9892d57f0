// What a message gives a contact: a picture as its photo (reduced, read back through the
// transport's contact wrapper), a sound as its ring tone, and a number or address from the text
// in one of its fields, each with the question and the result the person is shown.
#include <algorithm>

#include "engines/image_info.h"
#include "model/media_types.h"
#include "forms/contact_assignment.h"
#include "forms/link_to_contact.h"
#include "platform/pim/pim_items.h"
#include "platform/pim/pim_store.h"
#include "save_fixture.h"
#include "transport/mms_global.h"

namespace save_test {
namespace {

using platform::pim::Contact;
using platform::pim::PimStore;

class ContactSavingTest : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    Contact ann;
    ann.givenName = "Ann";
    ann.familyName = "Lee";
    ann.mobile = "+1 555 0100";
    m_ann = *PimStore::ForCurrentDevice()->Add(ann);
  }
  // The chooser's row of a field of Ann, counted from 1, for the request that links use.
  static int RowOf(ULONG field) {
    std::vector<ULONG> offered;
    for (ULONG request : {0x1801001Fu, 0x1800001Fu}) {
      for (ULONG f : platform::pim::RequestFields(request)) {
        if (std::find(offered.begin(), offered.end(), f) == offered.end()) offered.push_back(f);
      }
    }
    return static_cast<int>(std::find(offered.begin(), offered.end(), field) - offered.begin()) + 1;
  }
  std::u16string Field(ULONG property) {
    CString text;
    GetMMSGlobal()->GetContactPoom()->GetPoomItemString(property, m_ann, text);
    return std::u16string(text.View());
  }

  LONG m_ann = 0;
};

TEST_F(ContactSavingTest, APictureBecomesTheContactsPhotoReducedToTheBoxAndTheWorkFolderGoes) {
  const std::u16string picture =
      Put(u"photo.jpg", test_support::ReadFileBytes(test_support::CorpusPath("jpeg/kodak-dc210.jpg")));
  const std::string original = Read(picture);
  platform::automation::QueueAnswer(1);  // the first (only) contact
  platform::automation::QueueAnswer(IDOK, u"assigned");
  ASSERT_TRUE(AssignContactPhoto(m_owner, picture.c_str()));
  EXPECT_EQ(PromptTexts().back(), u"The item was assigned to the contact.");

  // Read back through the transport's wrapper: the contact's vCard carries the photo.
  ASSERT_TRUE(GetMMSGlobal()->GetContactPoom()->Export(m_ann, u"\\My Documents\\ann.vcf"));
  EXPECT_NE(Read(u"\\My Documents\\ann.vcf").find("PHOTO;TYPE=JPEG"), std::string::npos);
  const std::string photo = PimStore::ForCurrentDevice()->FindContact(m_ann)->photo;
  test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\stored.jpg"), photo);
  SIZE size{};
  int bits = 0;
  ASSERT_TRUE(GetImageInfo(u"\\My Documents\\stored.jpg", &size, &bits, media_type::kJpeg));
  EXPECT_LE(size.cx, 72);
  EXPECT_LE(size.cy, 96);
  EXPECT_GT(size.cx, 0);
  // The message's own picture is untouched, and the reduced copy is gone with its folder.
  EXPECT_EQ(Read(picture), original);
  EXPECT_EQ(FilesIn(kPartFolder), std::set<std::string>{"photo.jpg"});
}

TEST_F(ContactSavingTest, CancellingTheChooserAssignsNothingAndSaysNothing) {
  const std::u16string picture = Put(u"small.gif", kGif);
  platform::automation::QueueAnswer(0);
  EXPECT_FALSE(AssignContactPhoto(m_owner, picture.c_str()));
  ASSERT_EQ(platform::automation::PromptLog().size(), 1u);  // only the chooser's own listing
  EXPECT_TRUE(PimStore::ForCurrentDevice()->FindContact(m_ann)->photo.empty());
  EXPECT_EQ(FilesIn(kPartFolder), std::set<std::string>{"small.gif"});
}

TEST_F(ContactSavingTest, AFullStorageTellsSoAndAssignsNothing) {
  const std::u16string picture =
      Put(u"photo.jpg", test_support::ReadFileBytes(test_support::CorpusPath("jpeg/kodak-dc210.jpg")));
  {
    FullStorage full(10);
    EXPECT_FALSE(AssignContactPhoto(m_owner, picture.c_str()));
  }
  EXPECT_EQ(PromptTexts(), std::vector<std::u16string>{u"The storage is full. The item was not saved."});
  EXPECT_TRUE(PimStore::ForCurrentDevice()->FindContact(m_ann)->photo.empty());
  EXPECT_EQ(FilesIn(kPartFolder), std::set<std::string>{"photo.jpg"});
}

TEST_F(ContactSavingTest, ASoundBecomesTheContactsRingToneInTheStoresOwnFolder) {
  const std::u16string sound = Put(u"ring.amr", "#!AMR\n\x3c");
  platform::automation::QueueAnswer(1);
  platform::automation::QueueAnswer(IDOK, u"assigned");
  ASSERT_TRUE(AssignContactRingTone(m_owner, sound.c_str()));
  const auto contact = PimStore::ForCurrentDevice()->FindContact(m_ann);
  ASSERT_TRUE(contact.has_value());
  EXPECT_FALSE(contact->ringTone.empty());
}

TEST_F(ContactSavingTest, ANumberGoesIntoTheChosenTelephoneFieldAfterTheQuestion) {
  platform::automation::QueueAnswer(RowOf(platform::pim::kPropertyWorkTelephone));
  platform::automation::QueueAnswer(IDYES, u"Replace the contact's number");
  EXPECT_TRUE(SaveLinkToContact(m_owner, u"+15550199"));
  EXPECT_EQ(Field(platform::pim::kPropertyWorkTelephone), u"+15550199");

  // No keeps the field as it was.
  platform::automation::QueueAnswer(RowOf(platform::pim::kPropertyMobileTelephone));
  platform::automation::QueueAnswer(IDNO, u"Replace the contact's number");
  EXPECT_FALSE(SaveLinkToContact(m_owner, u"+15550123"));
  EXPECT_EQ(Field(platform::pim::kPropertyMobileTelephone), u"+1 555 0100");
}

TEST_F(ContactSavingTest, AnAddressGoesIntoTheEmailFieldAndAnUnsuitableFieldIsRefused) {
  platform::automation::QueueAnswer(RowOf(platform::pim::kPropertyEmail1));
  platform::automation::QueueAnswer(IDYES, u"Save this address");
  EXPECT_TRUE(SaveLinkToContact(m_owner, u"ann@example.com"));
  EXPECT_EQ(Field(platform::pim::kPropertyEmail1), u"ann@example.com");

  platform::automation::QueueAnswer(RowOf(platform::pim::kPropertyGivenName));
  platform::automation::QueueAnswer(IDOK, u"cannot hold");
  EXPECT_FALSE(SaveLinkToContact(m_owner, u"ann@example.com"));
  EXPECT_EQ(Field(platform::pim::kPropertyGivenName), u"Ann");
}

}  // namespace
}  // namespace save_test
