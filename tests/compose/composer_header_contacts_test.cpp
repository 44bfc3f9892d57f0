// Recipients put into the compose header from the contacts or by another part of the form: what is
// refused and with which text, the separator before a new entry, the name each entry carries, the
// recipient limits and fixed dialling at insertion; then the header window's contact buttons, the
// insert-contact command into the focused field, and the subject field's keys.
#include <gtest/gtest.h>

#include "composer_frame_fixture.h"
#include "config/registry_key.h"
#include "config/setting_numbers.h"
#include "config/setting_tables.h"
#include "config/settings.h"
#include "forms/composer_commands.h"
#include "forms/composer_header.h"
#include "forms/composer_header_wnd.h"
#include "platform/controls/control_messages.h"
#include "platform/phone/sim_phonebook.h"
#include "platform/pim/pim_store.h"

namespace {

using namespace composer_test;
using platform::pim::Contact;
using platform::pim::PimStore;

constexpr char16_t kAnnNumber[] = u"+358401111111";

class HeaderContactsTest : public ComposerFrameTest {
 protected:
  void SetUp() override {
    ComposerFrameTest::SetUp();
    Contact ann;
    ann.givenName = "Ann";
    ann.familyName = "Lee";
    ann.mobile = "+358 40 111 1111";
    ann.email[0] = "ann@example.com";
    ASSERT_TRUE(PimStore::ForCurrentDevice()->Add(ann));
    // Every refusal is looked at below through the prompt log; a message box headless says OK.
    platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt&) {});
  }

  std::vector<std::u16string> Prompts() const {
    std::vector<std::u16string> texts;
    for (const auto& prompt : platform::automation::PromptLog()) texts.push_back(prompt.text);
    return texts;
  }
  // The one prompt shown since the last call, or "" when none was.
  std::u16string NextPrompt() {
    const std::vector<std::u16string> all = Prompts();
    std::u16string text = all.size() > m_seen ? all.back() : u"";
    EXPECT_LE(all.size(), m_seen + 1) << "more than one message for one insertion";
    m_seen = all.size();
    return text;
  }
  // Inserts into a header of its own whose To field holds `to`; the field afterwards.
  std::u16string InsertInto(std::u16string_view to, std::u16string_view value, RecipientKind kind,
                            std::u16string_view chooserName = u"", bool* inserted = nullptr) {
    ComposerHeader header(u"IPM.MMS");
    header.SetFieldText(header_field::kTo, to);
    const bool done = header.InsertRecipient(header_field::kTo, value, kind, chooserName, nullptr);
    if (inserted != nullptr) *inserted = done;
    EXPECT_EQ(header.IsChanged(), done || !to.empty());
    return std::u16string(header.FieldText(header_field::kTo).View());
  }

  std::size_t m_seen = 0;
};

TEST_F(HeaderContactsTest, AValueThatIsNoNumberOrAddressOfItsKindIsRefusedWithItsText) {
  SetConfigValue(numeric_setting::kMaxEmailChars, 312, FALSE);
  const std::u16string badNumber = u"This is not a valid phone number.";
  const std::u16string badAddress = u"This is not a valid e-mail address.";
  const std::u16string local64(64, u'a');
  struct Case {
    std::u16string value;
    RecipientKind kind;
    std::u16string refusal;  // empty: inserted
  };
  const Case cases[] = {
      {u"+358 (40) 222-2222", RecipientKind::kPhone, u""},  // separators go before the rules
      {u"123", RecipientKind::kPhone, u""},
      {u"12", RecipientKind::kPhone, badNumber},
      {u"+1234", RecipientKind::kPhone, u""},
      {u"+12", RecipientKind::kPhone, badNumber},
      {u"", RecipientKind::kPhone, badNumber},
      {std::u16string(10000, u'5'), RecipientKind::kPhone, badNumber},
      {u"Ann", RecipientKind::kPhone, badNumber},
      {local64 + u"@b.cd", RecipientKind::kEmail, u""},
      {local64 + u"a@b.cd", RecipientKind::kEmail, badAddress},
      {u"ann@@example.com", RecipientKind::kEmail, badAddress},
      {u"\u05E9\u05DC\u05D5\u05DD@example.com", RecipientKind::kEmail, badAddress},  // right-to-left letters
      {std::u16string(10000, u'a') + u"@b.cd", RecipientKind::kEmail, badAddress},
      {u"+358401111111", RecipientKind::kEmail, badAddress},  // a number offered as an e-mail field
  };
  for (const Case& c : cases) {
    bool inserted = false;
    const std::u16string field = InsertInto(u"", c.value, c.kind, u"", &inserted);
    const std::string what = CString(c.value.substr(0, 40)).ToUtf8();
    EXPECT_EQ(inserted, c.refusal.empty()) << what;
    if (c.refusal.empty()) {
      EXPECT_TRUE(field.ends_with(u"<" + std::u16string(NormaliseRecipientEntry(c.value).View()) + u">")) << what;
      EXPECT_EQ(NextPrompt(), u"") << what;
    } else {
      EXPECT_EQ(field, u"") << what;
      EXPECT_EQ(NextPrompt(), c.refusal) << what;
    }
  }
}

TEST_F(HeaderContactsTest, ANewEntryFollowsOneSeparatorAndMustFitTheField) {
  const std::u16string entry = u"\"+358402222222\"<+358402222222>";
  struct Case {
    std::u16string before;
    std::u16string after;
  };
  const Case cases[] = {
      {u"", entry},
      {u"+3584033", u"+3584033;" + entry},
      {u"+3584033;", u"+3584033;" + entry},
      {u"+3584033;  ", u"+3584033;" + entry},
      {u"+3584033  ", u"+3584033;" + entry},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InsertInto(c.before, u"+358402222222", RecipientKind::kPhone), c.after) << CString(c.before).ToUtf8();
  }
  // An entry the field cannot hold whole is not cut into an address that was never chosen.
  const std::u16string nearlyFull = std::u16string(kMaxAddressFieldChars - entry.size(), u'1');
  bool inserted = true;
  EXPECT_EQ(InsertInto(nearlyFull, u"+358402222222", RecipientKind::kPhone, u"", &inserted), nearlyFull);
  EXPECT_FALSE(inserted);
  const std::u16string justFits = std::u16string(kMaxAddressFieldChars - entry.size() - 1, u'1');
  EXPECT_EQ(InsertInto(justFits, u"+358402222222", RecipientKind::kPhone), justFits + u";" + entry);
}

TEST_F(HeaderContactsTest, TheNameComesFromTheContactsThenTheChooserThenTheAddress) {
  struct Case {
    std::u16string value;
    RecipientKind kind;
    std::u16string chooserName;
    std::u16string field;
  };
  const Case cases[] = {
      {u"+358 40 111-1111", RecipientKind::kPhone, u"Someone", u"\"Lee, Ann\"<+358401111111>"},
      {u"ANN@Example.com", RecipientKind::kEmail, u"", u"\"Lee, Ann\"<ANN@Example.com>"},
      {u"+358402222222", RecipientKind::kPhone, u"Bo", u"\"Bo\"<+358402222222>"},
      {u"bo@example.com", RecipientKind::kEmail, u"", u"\"bo\"<bo@example.com>"},
      {u"+358402222222", RecipientKind::kPhone, u"", u"\"+358402222222\"<+358402222222>"},
      {u"+358402222222", RecipientKind::kPhone, u"\u05E9\u05DC\u05D5\u05DD", u"\"\u05E9\u05DC\u05D5\u05DD\"<+358402222222>"},
      // Quotes, brackets and semicolons in a name would split or end the entry when read again.
      {u"+358402222222", RecipientKind::kPhone, u"Jo \"J\"; <x>", u"\"Jo  J    x \"<+358402222222>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InsertInto(u"", c.value, c.kind, c.chooserName), c.field) << CString(c.value).ToUtf8();
  }
  ComposerHeader header(u"IPM.MMS");
  ASSERT_TRUE(header.InsertRecipient(header_field::kTo, u"+358402222222", RecipientKind::kPhone, u"A;\"B<+1>", nullptr));
  ASSERT_TRUE(header.InsertRecipient(header_field::kTo, u"bo@example.com", RecipientKind::kEmail, u"", nullptr));
  EXPECT_EQ(header.Recipients(header_field::kTo).size(), 2u);
  EXPECT_TRUE(header.ValidateRecipients(nullptr));
  EXPECT_TRUE(Prompts().empty());
}

TEST_F(HeaderContactsTest, AFullMessageTakesNoFurtherRecipient) {
  const CString voiceMail = GetConfigString(string_setting::kVoiceMailClassName);
  SetConfigValue(numeric_setting::kMaxRecipients, 2, FALSE);
  SetConfigValue(numeric_setting::kMaxVMRecipients, 1, FALSE);
  CString voiceText;
  voiceText.Format(u"A %s message holds at most %d recipients.",
                   GetConfigString(string_setting::kVoiceMailTypeName).GetString(), 1);
  struct Case {
    bool voice;
    std::u16string to, cc;
    std::u16string refusal;
  };
  const Case cases[] = {
      {false, u"+3584033", u"", u""},
      {false, u"+3584033", u"+3584044", u"This field holds at most 2 recipients."},  // Cc counts too
      {true, u"", u"", u""},
      {true, u"+3584033", u"", std::u16string(voiceText.View())},
  };
  for (const Case& c : cases) {
    ComposerHeader header(c.voice ? voiceMail : CString(u"IPM.MMS"));
    header.SetFieldText(header_field::kTo, c.to);
    header.SetFieldText(header_field::kCc, c.cc);
    const bool inserted = header.InsertRecipient(header_field::kBcc, u"bo@example.com", RecipientKind::kEmail, u"", nullptr);
    EXPECT_EQ(inserted, c.refusal.empty()) << c.voice << CString(c.to).ToUtf8();
    EXPECT_EQ(NextPrompt(), c.refusal);
    EXPECT_EQ(header.FieldText(header_field::kBcc).IsEmpty(), !inserted);
  }
}

TEST_F(HeaderContactsTest, FixedDiallingRefusesNumbersOffItsList) {
  SetConfigValue(numeric_setting::kSupportFDN, 1, FALSE);
  SetConfigValue(numeric_setting::kFdnEmulator, 1, FALSE);
  SetConfigValue(numeric_setting::kFdnCount, 1, FALSE);
  config::RegistryKey key = config::RegistryKey::Create(HKEY_LOCAL_MACHINE, config::FullKeyPath(u"Config\\FdnTest"));
  ASSERT_TRUE(key.WriteText(u"FdnNum1", u"+358 40 111 1111"));
  const std::u16string refusal = u"A recipient is not on the fixed dialling list of the SIM card.";
  EXPECT_EQ(InsertInto(u"", kAnnNumber, RecipientKind::kPhone), u"\"Lee, Ann\"<+358401111111>");
  EXPECT_EQ(InsertInto(u"", u"+358402222222", RecipientKind::kPhone), u"");
  EXPECT_EQ(NextPrompt(), refusal);
  EXPECT_EQ(InsertInto(u"", u"bo@example.com", RecipientKind::kEmail), u"\"bo\"<bo@example.com>");

  // The card's own list when the emulator is off; a card without one restricts nothing.
  SetConfigValue(numeric_setting::kFdnEmulator, 0, FALSE);
  EXPECT_EQ(InsertInto(u"", u"+358402222222", RecipientKind::kPhone), u"\"+358402222222\"<+358402222222>");
  HSIM sim = nullptr;
  ASSERT_EQ(SimInitialize(0, nullptr, 0, &sim), S_OK);
  SIMPHONEBOOKENTRY entry{};
  entry.cbSize = sizeof entry;
  std::u16string_view(u"+358403333333").copy(entry.lpszAddress, MAX_LENGTH_ADDRESS - 1);
  EXPECT_EQ(SimWritePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, SIM_PBINDEX_FIRSTAVAILABLE, &entry), S_OK);
  SimDeinitialize(sim);
  EXPECT_EQ(InsertInto(u"", u"+358402222222", RecipientKind::kPhone), u"");
  EXPECT_EQ(NextPrompt(), refusal);
  EXPECT_EQ(InsertInto(u"", u"+358403333333", RecipientKind::kPhone), u"\"+358403333333\"<+358403333333>");
}

std::u16string TextOf(HWND edit) {
  WCHAR text[1100] = {};
  GetWindowTextW(edit, text, 1100);
  return text;
}

TEST_F(HeaderContactsTest, TheButtonsAndTheInsertCommandPickAContactForTheirField) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  CComposerHeaderWnd* header = frame->HeaderWindow();
  ASSERT_NE(header, nullptr);
  HWND to = header->GetDlgItem(header_field::kTo);
  HWND cc = header->GetDlgItem(header_field::kCc);
  ASSERT_NE(header->GetDlgItem(header_field::kToButton), nullptr);
  EXPECT_FALSE(IsWindowVisible(header->GetDlgItem(header_field::kCcButton))) << "an empty Cc row is folded away";

  // The chooser lists Ann's number, then her address; row 1 is the number.
  platform::automation::QueueAnswer(1);
  header->SendMessage(WM_COMMAND, MAKEWPARAM(header_field::kToButton, BN_CLICKED), 0);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(TextOf(to), u"\"Lee, Ann\"<+358401111111>");
  EXPECT_EQ(GetFocus(), to);
  EXPECT_TRUE(frame->Header()->IsChanged());
  EXPECT_EQ(platform::automation::PromptLog().back().kind, u"ContactChooser");

  // A cancelled chooser leaves the field as it was.
  platform::automation::QueueAnswer(0);
  Command(frame, composer_command::kInsertContact);
  EXPECT_EQ(TextOf(to), u"\"Lee, Ann\"<+358401111111>");

  // The command goes into the focused field, which shows its row once it holds someone.
  const int heightBefore = header->Height();
  SetFocus(cc);
  platform::automation::QueueAnswer(2);
  Command(frame, composer_command::kInsertContact);
  EXPECT_EQ(TextOf(cc), u"\"Lee, Ann\"<ann@example.com>");
  EXPECT_TRUE(IsWindowVisible(cc));
  EXPECT_GT(header->Height(), heightBefore);

  // Another part of the form hands over a number for the focused field.
  SetFocus(to);
  EXPECT_TRUE(header->InsertIntoFocusedField(CString(u"+358402222222")));
  EXPECT_EQ(TextOf(to), u"\"Lee, Ann\"<+358401111111>;\"+358402222222\"<+358402222222>");
  EXPECT_FALSE(header->InsertIntoFocusedField(CString(u"12")));
  EXPECT_EQ(platform::automation::PromptLog().back().text, u"This is not a valid phone number.");
  SetFocus(header->GetDlgItem(header_field::kSubject));
  EXPECT_FALSE(header->InsertIntoFocusedField(CString(u"+358402222222"))) << "the subject takes no recipient";
  EXPECT_EQ(frame->Header()->FieldText(header_field::kSubject), u"");
}

TEST_F(HeaderContactsTest, TheSubjectsKeysMoveTheFocusAndItsLimitHolds) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  CComposerHeaderWnd* header = frame->HeaderWindow();
  HWND subject = header->GetDlgItem(header_field::kSubject);
  TypeInto(subject, std::u16string(kMaxSubjectChars + 5, u'x'));
  EXPECT_EQ(TextOf(subject).size(), static_cast<std::size_t>(kMaxSubjectChars));
  EXPECT_EQ(frame->Header()->FieldText(header_field::kSubject).GetLength(), kMaxSubjectChars);
  EXPECT_TRUE(frame->Header()->IsChanged());

  SetFocus(subject);
  platform::automation::PressKey(VK_DOWN);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(GetFocus(), frame->VisualItem()->GetHandle()) << "Down goes on to the slide";
  SetFocus(subject);
  platform::automation::PressKey(VK_UP);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(GetFocus(), header->GetDlgItem(header_field::kTo)) << "Up goes back to the last address row shown";
  // Other keys are the edit's own.
  SetFocus(subject);
  SendMessageW(subject, EM_SETSEL, 0, 0);
  platform::automation::PressKey(VK_RIGHT);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(GetFocus(), subject);
  DWORD start = 0;
  SendMessageW(subject, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  EXPECT_EQ(start, 1u);
}

}  // namespace
