// The device's contact chooser: the rows it offers for each request, the choice headless from the
// answer queue and live from a person, the photo it assigns, and records it refuses.
#include <algorithm>
#include <filesystem>

#include "controls_fixture.h"
#include "platform/pim/contact_chooser.h"
#include "platform/pim/pim_store.h"
#include "platform/controls/control_messages.h"
#include "platform/text/text_conversion.h"
#include "platform/window/message_queue.h"

namespace controls_test {
namespace {

using platform::pim::Contact;
using platform::pim::PimStore;

const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
                       "\x00\x02\x02\x44\x01\x00;",
                       35);

class ChooserTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    Contact ann;
    ann.givenName = "Ann";
    ann.familyName = "Lee";
    ann.mobile = "+1 555 0100";
    ann.email[0] = "ann@example.com";
    annId = *PimStore::ForCurrentDevice()->Add(ann);
    Contact bo;
    bo.givenName = "Bo";
    bo.work = "+1 555 0200";
    boId = *PimStore::ForCurrentDevice()->Add(bo);
  }

  CONTACTCHOICE Choice(std::initializer_list<ULONG> properties) {
    m_properties.assign(properties);
    CONTACTCHOICE choice{};
    choice.cbSize = sizeof choice;
    choice.cRequestedProperties = static_cast<DWORD>(m_properties.size());
    choice.rgRequestedProperties = m_properties.empty() ? nullptr : m_properties.data();
    choice.lpszValue = m_value;
    choice.cchValue = std::size(m_value);
    choice.lpszName = m_name;
    choice.cchName = std::size(m_name);
    return choice;
  }

  std::u16string LastListing() const { return platform::automation::PromptLog().back().text; }

  LONG annId = 0;
  LONG boId = 0;
  std::vector<ULONG> m_properties;
  WCHAR m_value[64] = {};
  WCHAR m_name[6] = {};  // short on purpose: names are cut to fit
};

TEST_F(ChooserTest, RowsForEachRequest) {
  CONTACTCHOICE contacts = Choice({});
  platform::automation::QueueAnswer(2);
  EXPECT_EQ(ChooseContact(&contacts), 1);
  EXPECT_EQ(LastListing(), u"1. Lee, Ann\n2. Bo\n");
  EXPECT_EQ(contacts.lContactId, boId);
  EXPECT_EQ(contacts.ulPropertyChosen, 0u);
  EXPECT_EQ(std::u16string(m_name), u"Bo");

  CONTACTCHOICE recipients = Choice({0x1801001F, 0x1806001F});
  platform::automation::QueueAnswer(3);
  EXPECT_EQ(ChooseContact(&recipients), 1);
  EXPECT_EQ(LastListing(), u"1. Lee, Ann - mobile: +1 555 0100\n2. Lee, Ann - e-mail: ann@example.com\n"
                           u"3. Bo - work: +1 555 0200\n");
  EXPECT_EQ(recipients.lContactId, boId);
  EXPECT_EQ(recipients.ulPropertyChosen, 0x0092001Fu);
  EXPECT_EQ(std::u16string(m_value), u"+1 555 0200");

  // Keeping a link: every field is offered, the empty ones too, so that a new value has a place.
  CONTACTCHOICE link = Choice({0x1801001F, 0x1800001F});
  // Each contact offers its nine fields once: the three numbers first, then the rest.
  platform::automation::QueueAnswer(9 + 7);
  EXPECT_EQ(ChooseContact(&link), 1);
  const std::u16string listing = LastListing();
  EXPECT_EQ(std::count(listing.begin(), listing.end(), u'\n'), 18);
  for (std::u16string_view row : {u"2. Lee, Ann - home: (empty)\n", u"4. Lee, Ann - given name: Ann\n"}) {
    EXPECT_NE(listing.find(row), std::u16string::npos) << platform::Utf16ToUtf8(listing);
  }
  EXPECT_NE(listing.find(u"16. Bo - e-mail: (empty)\n"), std::u16string::npos) << platform::Utf16ToUtf8(listing);
  EXPECT_EQ(link.ulPropertyChosen, 0x0096001Fu);
  EXPECT_EQ(std::u16string(m_value), u"");
}

TEST_F(ChooserTest, CancellingAndRefusing) {
  CONTACTCHOICE choice = Choice({});
  platform::automation::QueueAnswer(0);
  EXPECT_EQ(ChooseContact(&choice), -1);
  platform::automation::QueueAnswer(3);  // no such row
  EXPECT_EQ(ChooseContact(&choice), -1);
  EXPECT_EQ(choice.lContactId, 0);
  // Nobody to ask: the careful answer is to choose nothing.
  std::vector<std::u16string> unexpected;
  platform::automation::SetUnexpectedPromptHandler(
      [&](const platform::automation::Prompt& prompt) { unexpected.push_back(prompt.kind); });
  EXPECT_EQ(ChooseContact(&choice), -1);
  EXPECT_EQ(unexpected, std::vector<std::u16string>{u"ContactChooser"});
  // Nothing to offer: no question at all.
  CONTACTCHOICE email = Choice({0x1806001F});
  PimStore::ForCurrentDevice()->Remove(platform::pim::PimKind::kContact, annId);
  const std::size_t asked = platform::automation::PromptLog().size();
  EXPECT_EQ(ChooseContact(&email), -1);
  EXPECT_EQ(platform::automation::PromptLog().size(), asked);

  CONTACTCHOICE wrongSize = Choice({});
  wrongSize.cbSize = 52;  // the device's size, not this record's
  EXPECT_EQ(ChooseContact(&wrongSize), 0);
  CONTACTCHOICE noList = Choice({});
  noList.cRequestedProperties = 2;
  EXPECT_EQ(ChooseContact(&noList), 0);
  CONTACTCHOICE noPicture = Choice({});
  noPicture.dwFlags = CCF_ASSIGNPHOTO;
  EXPECT_EQ(ChooseContact(&noPicture), 0);
  EXPECT_EQ(ChooseContact(nullptr), 0);
}

TEST_F(ChooserTest, AssigningAPhoto) {
  test_support::WriteFileBytes(m_device.Host(u"\\phototemp\\face.gif"), kGif);
  test_support::WriteFileBytes(m_device.Host(u"\\phototemp\\face.jpg"), "not a picture");
  CONTACTCHOICE choice = Choice({});
  choice.dwFlags = CCF_ASSIGNPHOTO;
  choice.lpszPictureFile = u"\\phototemp\\face.jpg";
  platform::automation::QueueAnswer(1);
  EXPECT_EQ(ChooseContact(&choice), 0);
  EXPECT_TRUE(PimStore::ForCurrentDevice()->FindContact(annId)->photo.empty());
  choice.lpszPictureFile = u"\\phototemp\\face.gif";
  platform::automation::QueueAnswer(1);
  EXPECT_EQ(ChooseContact(&choice), 1);
  EXPECT_EQ(PimStore::ForCurrentDevice()->FindContact(annId)->photo, kGif);
  // The picture is the store's now: the folder it came from may go.
  std::filesystem::remove_all(m_device.Host(u"\\phototemp"));
  EXPECT_EQ(PimStore::ForCurrentDevice()->FindContact(annId)->photo, kGif);
}

TEST_F(ChooserTest, APersonPicksARowInTheWindow) {
  HWND owner = MakeOwner();
  int waits = 0;
  platform::window::SetWaitHandler([&](DWORD) {
    if (++waits > 1) return;
    HWND chooser = FindWindowW(u"MSContactChooser", nullptr);
    ASSERT_NE(chooser, nullptr);
    EXPECT_FALSE(IsWindowEnabled(owner));
    EXPECT_TRUE(platform::automation::Screenshot(testing::TempDir() + "contact_chooser.png"));
    HWND list = GetWindow(chooser, GW_CHILD);
    while (list && GetDlgCtrlID(list) != 100) list = GetWindow(list, GW_HWNDNEXT);
    ASSERT_NE(list, nullptr);
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    PostMessageW(chooser, WM_COMMAND, IDOK, 0);
  });
  CONTACTCHOICE choice = Choice({0x1801001F});
  choice.hwndOwner = owner;
  EXPECT_EQ(ChooseContact(&choice), 1);
  EXPECT_EQ(choice.lContactId, boId);
  EXPECT_EQ(FindWindowW(u"MSContactChooser", nullptr), nullptr);
  EXPECT_TRUE(IsWindowEnabled(owner));

  // The owner closing sends IDCANCEL to its chooser.
  waits = 0;
  platform::window::SetWaitHandler([&](DWORD) {
    if (++waits > 1) return;
    PostMessageW(FindWindowW(u"MSContactChooser", nullptr), WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(ChooseContact(&choice), -1);
  platform::window::SetWaitHandler(nullptr);
}

}  // namespace
}  // namespace controls_test
