// The compose header: field limits, what counts as a change, the entry rules and the recipient
// limits, with the messages the user is shown.
#include "forms/composer_header.h"

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "binding/binding_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/link_checks.h"
#include "platform/automation/automation.h"

namespace {

using binding_test::BindingTest;

class HeaderTest : public BindingTest {
 protected:
  void SetUp() override {
    BindingTest::SetUp();
    platform::automation::Reset();
    m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
    ASSERT_TRUE(LoadBinding(m_binding, m_message.Get(), nullptr, 0));
  }
  void TearDown() override {
    platform::automation::Reset();
    BindingTest::TearDown();
  }

  std::vector<std::u16string> Prompts() const {
    std::vector<std::u16string> texts;
    for (const auto& prompt : platform::automation::PromptLog()) texts.push_back(prompt.text);
    return texts;
  }

  ComPtr<IMessage> m_message;
  MessageBinding m_binding;
};

TEST_F(HeaderTest, LoadingIsNoChangeAndTypingIs) {
  ASSERT_TRUE(m_binding.Message().SetRecipients(u"+123;+456", u"a@b.cd", u""));
  ASSERT_TRUE(m_binding.Message().SetSubject(std::u16string(100000, u's')));
  ComposerHeader header(u"IPM.MMS");
  header.Load(m_binding.Message());
  EXPECT_FALSE(header.IsChanged());
  EXPECT_EQ(header.FieldText(header_field::kSubject), CString(std::u16string(40, u's')));
  EXPECT_EQ(header.Recipients(header_field::kTo).size(), 2u);
  EXPECT_FALSE(header.WriteToSite(m_binding.Message(), false)) << "nothing changed, nothing written";

  header.SetFieldText(header_field::kTo, u"+123");
  EXPECT_TRUE(header.IsChanged());
  header.SetFieldText(header_field::kCc, std::u16string(10000, u'c'));
  EXPECT_EQ(header.FieldText(header_field::kCc).GetLength(), kMaxAddressFieldChars);

  EXPECT_TRUE(header.WriteToSite(m_binding.Message(), true));
  EXPECT_TRUE(header.IsChanged()) << "kept as changed until the message is stored";
  EXPECT_TRUE(header.WriteToSite(m_binding.Message(), false));
  EXPECT_FALSE(header.IsChanged());
  EXPECT_EQ(m_binding.Message().ToList(), u"+123");
  EXPECT_EQ(m_binding.Message().Subject(), CString(std::u16string(40, u's')));
  CString to, cc, bcc, subject;
  header.GetAddressTexts(to, cc, bcc);
  header.GetSubject(subject);
  EXPECT_EQ(to, u"+123");
  EXPECT_EQ(cc.GetLength(), kMaxAddressFieldChars);
  EXPECT_EQ(bcc, u"");
  EXPECT_EQ(subject.GetLength(), kMaxSubjectChars);
}

TEST_F(HeaderTest, EntriesAreNormalisedBeforeTheRules) {
  struct Case {
    const char16_t* entry;
    bool valid;
  };
  const Case cases[] = {
      {u"555 1234", true},  // three digits, a space, four digits: normalised first
      {u"+12", false},      // a plus sign needs five characters
      {u"+1(555)123-4567", true},
      {u"\"Ann, B\"<+1 (555) 123-4567>", true},
      {u"a@b.c", true},
      {u"a..b@c.de", false},
      {u".a@b.cd", false},
      {u"a@b@c.de", false},
      {u"a@.bc", false},
      {u"12", false},
      {u"+358401234567;", true},
      {u"Ann", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidRecipientEntry(NormaliseRecipientEntry(c.entry).View()), c.valid) << CString(c.entry).ToUtf8();
  }
  EXPECT_EQ(NormaliseRecipientEntry(u"\"Ann\"<+1 (555) 123-4567>"), u"+15551234567");
  EXPECT_EQ(NormaliseRecipientEntry(u"first last@x.y"), u"first last@x.y") << "addresses keep their spaces";
  // The raw phone rule alone rejects the space that the entry check takes out.
  EXPECT_FALSE(IsValidRecipientEntry(u"555 1234"));
  std::u16string local(65, u'a');
  EXPECT_FALSE(IsValidRecipientEntry(local + u"@b.cd"));
}

TEST_F(HeaderTest, TheFirstInvalidEntryIsNamedWithTheLengthsAndStopsTheCheck) {
  ComposerHeader header(u"IPM.MMS");
  header.SetFieldText(header_field::kTo, u"+358401234567;nobody");
  header.SetFieldText(header_field::kBcc, u"also wrong");
  platform::automation::QueueAnswer(IDOK);
  EXPECT_FALSE(header.ValidateRecipients(nullptr));
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"Enter an e-mail address of 5 to 48 characters or a phone number of 3 to 20 digits.");
  EXPECT_EQ(platform::automation::PromptLog()[0].style, MB_ICONASTERISK);
  // The fields keep what the user typed.
  EXPECT_EQ(header.FieldText(header_field::kTo), u"+358401234567;nobody");
}

TEST_F(HeaderTest, TwentyRecipientsPassAndTwentyOneAreTooMany) {
  ComposerHeader header(u"IPM.MMS");
  std::u16string to;
  for (int i = 0; i < 20; ++i) to += u"+35840123456" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u";";
  header.SetFieldText(header_field::kTo, to);
  EXPECT_TRUE(header.ValidateRecipients(nullptr));
  int count = 0;
  EXPECT_FALSE(header.CanAddRecipient(&count, false));
  EXPECT_EQ(count, 20);
  EXPECT_TRUE(Prompts().empty());

  header.SetFieldText(header_field::kCc, u"x@y.zz");
  platform::automation::QueueAnswer(IDOK);
  EXPECT_FALSE(header.ValidateRecipients(nullptr));
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"A message can have at most 20 recipients.");
  platform::automation::QueueAnswer(IDOK);
  EXPECT_FALSE(header.CanAddRecipient(&count, true));
  EXPECT_EQ(Prompts().back(), u"This field holds at most 20 recipients.");
}

TEST_F(HeaderTest, AVoiceMailMessageTakesItsOwnSmallerLimit) {
  SetConfigValue(numeric_setting::kMaxVMRecipients, 5, FALSE);
  const CString voiceMail = GetConfigString(string_setting::kVoiceMailClassName);
  ASSERT_FALSE(voiceMail.IsEmpty());
  ComposerHeader voice(voiceMail);
  ComposerHeader plain(u"IPM.MMS");
  EXPECT_EQ(voice.RecipientLimit(), 5);
  EXPECT_EQ(plain.RecipientLimit(), 20);
  voice.SetFieldText(header_field::kTo, u"+3584011111;+3584022222;+3584033333;+3584044444;+3584055555");
  int count = 0;
  EXPECT_FALSE(voice.CanAddRecipient(&count, false));
  EXPECT_EQ(count, 5);
  voice.SetFieldText(header_field::kCc, u"+3584066666");
  platform::automation::QueueAnswer(IDOK);
  EXPECT_FALSE(voice.ValidateRecipients(nullptr));
  CString expected;
  expected.Format(u"A %s message can have at most %d recipients.",
                  GetConfigString(string_setting::kVoiceMailTypeName).GetString(), 5);
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], expected.View());
  // A voice-mail limit larger than the plain one does not raise it.
  SetConfigValue(numeric_setting::kMaxVMRecipients, 50, FALSE);
  EXPECT_EQ(voice.RecipientLimit(), 20);
}

TEST_F(HeaderTest, AThousandStoredRecipientsAreKeptWholeThoughTheFieldShowsFewer) {
  std::string numbers;
  for (int i = 0; i < 1000; ++i) {
    char number[24];
    std::snprintf(number, sizeof number, "%s+3584000%04d", i == 0 ? "" : ";", i);
    numbers += number;
  }
  const std::u16string to(numbers.begin(), numbers.end());
  ASSERT_TRUE(m_binding.Message().SetRecipients(to, u"", u""));
  ComposerHeader header(u"IPM.MMS");
  header.Load(m_binding.Message());
  EXPECT_EQ(header.FieldText(header_field::kTo).GetLength(), kMaxAddressFieldChars);
  EXPECT_EQ(header.Recipients(header_field::kTo).size(), 1000u);
  // Far over the recipient limit: sending is refused and no recipient can be added, each with its
  // message, and nothing is taken off the list.
  platform::automation::QueueAnswer(IDOK);
  EXPECT_FALSE(header.ValidateRecipients(nullptr));
  platform::automation::QueueAnswer(IDOK);
  int count = 0;
  EXPECT_FALSE(header.CanAddRecipient(&count, true));
  EXPECT_EQ(count, 1000);
  ASSERT_EQ(Prompts().size(), 2u);
  EXPECT_EQ(Prompts()[0], u"A message can have at most 20 recipients.");
  EXPECT_EQ(header.Recipients(header_field::kTo).size(), 1000u);

  // Saving after another field changed keeps every recipient, not only those the field shows.
  header.SetFieldText(header_field::kSubject, u"Party");
  ASSERT_TRUE(header.WriteToSite(m_binding.Message(), false));
  EXPECT_EQ(m_binding.Message().ToList(), CString(to));

  // Editing the list itself replaces it with what the field holds.
  header.SetFieldText(header_field::kTo, u"+358401234567");
  ASSERT_TRUE(header.WriteToSite(m_binding.Message(), false));
  EXPECT_EQ(m_binding.Message().ToList(), u"+358401234567");
}

TEST_F(HeaderTest, TenThousandCharacterListsAreCutToTheFieldAndStillChecked) {
  std::u16string to;
  while (to.size() < 10000) to += u"\"Unbalanced <+358401234567>;";
  ComposerHeader header(u"IPM.MMS");
  header.SetFieldText(header_field::kTo, to);
  header.Commit();
  EXPECT_LE(header.FieldText(header_field::kTo).GetLength(), kMaxAddressFieldChars);
  platform::automation::QueueAnswer(IDOK);
  // The field's limit cut the last entry short: that entry is named, not sent on half.
  EXPECT_FALSE(header.ValidateRecipients(nullptr));
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"Enter an e-mail address of 5 to 48 characters or a phone number of 3 to 20 digits.");
  // Whole entries only: each a valid number with its unbalanced name, far more than the limit.
  std::u16string whole = header.FieldText(header_field::kTo).Left(36 * 28).GetString();
  header.SetFieldText(header_field::kTo, whole);
  platform::automation::QueueAnswer(IDOK);
  EXPECT_FALSE(header.ValidateRecipients(nullptr));
  ASSERT_EQ(Prompts().size(), 2u);
  EXPECT_EQ(Prompts()[1], u"A message can have at most 20 recipients.");
}

TEST_F(HeaderTest, RecipientRulesAtTheirLimits) {
  SetConfigValue(numeric_setting::kMaxEmailChars, 312, FALSE);
  const std::u16string domain255 = std::u16string(252, u'b') + u".cd";
  struct Case {
    std::u16string entry;
    bool valid;
    const char* why;
  };
  const Case cases[] = {
      {u"123", true, "three digits are the shortest number"},
      {u"12", false, "two digits are too few"},
      {std::u16string(20, u'9'), true, "twenty digits are the longest"},
      {std::u16string(21, u'9'), false, "twenty-one are too many"},
      {u"+1234", true, "a plus sign with four digits makes five characters"},
      {u"+123", false, "a plus sign with three digits makes four"},
      {u"+1 (555) 123-4567", true, "separators are taken out first"},
      {u"a@b.c", true, "the shortest address"},
      {u"a@bc", false, "four characters are too few"},
      {std::u16string(64, u'a') + u"@b.cd", true, "a local part of 64 characters"},
      {std::u16string(65, u'a') + u"@b.cd", false, "a local part of 65 characters"},
      {u"a@" + domain255, true, "a domain of 255 characters"},
      {u"a@b" + domain255, false, "a domain of 256 characters"},
      {std::u16string(56, u'a') + u"@" + domain255, true, "312 characters in all"},
      {u"a@b.c;", true, "a trailing semicolon is no part of the entry"},
      {u"a b@c.de", false, "an address keeps its spaces, and they are not allowed"},
      {u"a:b@c.de", false, "a colon"},
      {u"a@b..cd", false, "two full stops in a row"},
      {u"a.@b.cd", false, "an at sign right after a full stop"},
      {u"a@.bc.de", false, "a full stop right after the at sign"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsValidRecipientEntry(NormaliseRecipientEntry(c.entry).View()), c.valid) << c.why;
  }
  SetConfigValue(numeric_setting::kMaxEmailChars, 400, FALSE);
  EXPECT_FALSE(IsValidRecipientEntry(std::u16string(57, u'a') + u"@" + domain255)) << "never more than 312";
  SetConfigValue(numeric_setting::kMaxEmailChars, 48, FALSE);
  EXPECT_FALSE(IsValidRecipientEntry(std::u16string(64, u'a') + u"@b.cd")) << "the configured limit applies below 312";
}

TEST_F(HeaderTest, BracketsAndHyphensInEveryBadPositionOfARawNumber) {
  // The raw rule, as applied to a chosen contact's number before any separator is taken out.
  const LinkSettings settings = LinkSettings::Read();
  struct Case {
    const char16_t* number;
    bool valid;
  };
  const Case cases[] = {
      {u"555-1234", true},    {u"(555)1234", true},   {u"555(12)34", true},  {u"+(1)5551234", true},
      {u"-5551234", false},   // a hyphen first
      {u"5551234-", false},   // a hyphen last
      {u"555--1234", false},  // a hyphen after a hyphen
      {u"(-555)1234", false}, // a hyphen after an opening parenthesis
      {u"((555))1234", false},// a parenthesis opened inside another
      {u"555)1234", false},   // a closing parenthesis with none open
      {u"()5551234", false},  // closed right after it was opened
      {u"(555-)1234", false}, // closed right after a hyphen
      {u"+-5551234", false},  // a plus sign followed by neither a digit nor a parenthesis
      {u"555 1234", false},   // a space
      {u"555.1234", false},   // any other character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsPhoneNumber(c.number, true, settings), c.valid) << CString(c.number).ToUtf8();
  }
}

TEST_F(HeaderTest, TheAlphaTagKeepsItsSeparators) {
  ASSERT_TRUE(SetConfigString(string_setting::kAlphaTagDispTxt, u"My (Own) Number", FALSE));
  EXPECT_EQ(NormaliseRecipientEntry(u"My (Own) Number"), u"My (Own) Number");
  EXPECT_EQ(NormaliseRecipientEntry(u"My (Own) Numbers"), u"MyOwnNumbers") << "only the tag itself is kept whole";
}

TEST_F(HeaderTest, TheRecipientLimitWithAndWithoutVoiceMail) {
  const CString voiceMail = GetConfigString(string_setting::kVoiceMailClassName);
  struct Case {
    bool voice;
    LONG maxRecipients, maxVoiceMail;
    int limit;
  };
  const Case cases[] = {
      {false, 20, 5, 20}, {true, 20, 5, 5}, {true, 20, 0, 20}, {true, 20, 30, 20}, {true, 3, 5, 3}, {false, 1, 0, 1},
  };
  for (const Case& c : cases) {
    SetConfigValue(numeric_setting::kMaxRecipients, c.maxRecipients, FALSE);
    SetConfigValue(numeric_setting::kMaxVMRecipients, c.maxVoiceMail, FALSE);
    ComposerHeader header(c.voice ? voiceMail : CString(u"IPM.MMS"));
    EXPECT_EQ(header.RecipientLimit(), c.limit) << c.voice << " " << c.maxRecipients << " " << c.maxVoiceMail;
  }
  // A full voice-mail message names its kind in the field's message.
  SetConfigValue(numeric_setting::kMaxRecipients, 20, FALSE);
  SetConfigValue(numeric_setting::kMaxVMRecipients, 2, FALSE);
  ComposerHeader voice(voiceMail);
  voice.SetFieldText(header_field::kTo, u"+3584011111;+3584022222");
  platform::automation::QueueAnswer(IDOK);
  int count = 0;
  EXPECT_FALSE(voice.CanAddRecipient(&count, true));
  CString expected;
  expected.Format(u"A %s message holds at most %d recipients.",
                  GetConfigString(string_setting::kVoiceMailTypeName).GetString(), 2);
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], expected.View());
}

}  // namespace
