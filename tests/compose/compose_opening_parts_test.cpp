// The pieces of a compose open below the form object: the host's data block and its creation
// switches, the client's send-option string, and each mode's preparation of the new message.
#include <gtest/gtest.h>

#include "binding/binding_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/compose_data_block.h"
#include "forms/compose_preparation.h"
#include "forms/send_option_string.h"
#include "forms/store_properties.h"
#include "platform/kernel/file_api.h"
#include "platform/registry/registry.h"

namespace {

using binding_test::BindingTest;
using namespace store_property;

ComposeWords Words(LPCWSTR to, LPCWSTR cc, LPCWSTR bcc, LPCWSTR subject, LPCWSTR marker, UINT_PTR flags = 0) {
  const ComposeDataBlock block{{to, cc, bcc, subject, marker}, flags};
  return ComposeWords::CopyOf(&block);
}

TEST(ComposeWords, NullWordsStayNullAndTheBlockIsCopied) {
  std::u16string subject = u"kept";
  ComposeWords words = Words(nullptr, u"", nullptr, subject.c_str(), nullptr, 5);
  subject.assign(u"changed by the host afterwards");
  EXPECT_TRUE(words.present);
  EXPECT_FALSE(words.Has(data_word::kTo));
  EXPECT_TRUE(words.Has(data_word::kCc));
  EXPECT_EQ(words.Text(data_word::kSubject), u"kept");
  EXPECT_EQ(words.flags, 5u);
  EXPECT_FALSE(ComposeWords::CopyOf(nullptr).present);
}

TEST(CreationModeOf, SwitchesCountOnlyWithTheMarkerAndIgnoreCase) {
  struct Case {
    LPCWSTR bcc;
    LPCWSTR marker;
    int mode;
  };
  const Case cases[] = {
      {u"/PV", u"/C-C", 0}, {u"/AU", u"/C-C", 1}, {u"/VC", u"/C-C", 2}, {u"/VR", u"/C-C", 3},
      {u"/AT", u"/C-C", 4}, {u"/vr", u"/c-c", 3}, {u"/Pv", u"/c-C", 0},
      // Without the marker, or with another, the switch is an ordinary Bcc word.
      {u"/VR", nullptr, -1}, {u"/VR", u"/C-D", -1}, {u"/VR", u"", -1},
      {u"/XX", u"/C-C", -1}, {nullptr, u"/C-C", -1}, {u"/VR ", u"/C-C", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CreationModeOf(Words(nullptr, nullptr, c.bcc, nullptr, c.marker)), c.mode)
        << (c.bcc ? CString(c.bcc).ToUtf8() : "null") << " " << (c.marker ? CString(c.marker).ToUtf8() : "null");
  }
}

TEST(ParseSendOptionString, TwelveFieldsAfterTheFirstEquals) {
  auto parsed = ParseSendOptionString(u"\\Temp\\a=b.dat=1:0:1:0:0:7:128:130:129:60:1700000000:3600");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->dataFile, u"\\Temp\\a");
  // "b.dat=1" reads as wide-string-to-long does: no digits in front, so 0.
  const std::array<LONG, 12> expected{0, 0, 1, 0, 0, 7, 128, 130, 129, 60, 1700000000, 3600};
  EXPECT_EQ(parsed->fields, expected);
}

TEST(ParseSendOptionString, MissingFieldsReadZeroAndGarbageReadsAsFarAsItIsANumber) {
  auto shortString = ParseSendOptionString(u"f=1:2");
  ASSERT_TRUE(shortString);
  EXPECT_EQ(shortString->fields, (std::array<LONG, 12>{1, 2}));

  auto garbage = ParseSendOptionString(u"f= 12abc:-5:+7:x:99999999999:-99999999999::1:1:1:1:1:1:1");
  ASSERT_TRUE(garbage);
  EXPECT_EQ(garbage->fields,
            (std::array<LONG, 12>{12, -5, 7, 0, 2147483647, -2147483647 - 1, 0, 1, 1, 1, 1, 1}));

  auto empty = ParseSendOptionString(u"=");
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->dataFile.IsEmpty());
  EXPECT_EQ(empty->fields, (std::array<LONG, 12>{}));

  EXPECT_FALSE(ParseSendOptionString(u"no equals sign 1:2:3"));
  EXPECT_FALSE(ParseSendOptionString(u""));
}

TEST_F(BindingTest, SendOptionStringNamingAMissingFileFailsAndLeavesNoDataFile) {
  ComPtr<IMessage> message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  MessageBinding binding;
  ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 0));
  bool removed = true;
  EXPECT_FALSE(ApplySendOptionString(binding, u"\\Temp\\gone.dat=1:1:1:0:0:0:0:129:0:0:0:0", &removed));
  EXPECT_FALSE(removed);
  EXPECT_EQ(GetFileAttributesW(binding.DataFile()), INVALID_FILE_ATTRIBUTES);
  // The fields were stored before the body was looked at; the report defaults then replace theirs.
  EXPECT_TRUE(binding.Message().Bool(kAbsoluteExpiry));
  EXPECT_EQ(binding.Message().Long(kOptionPriority), 129);
  EXPECT_FALSE(binding.Message().Bool(kDeliveryReport));
}

void SetSubscriberNumber(std::u16string_view number) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\SIM", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string text(number);
  RegSetValueExW(key, u"SubscriberNumber", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
  RegCloseKey(key);
}

class PreparationTest : public BindingTest {
 protected:
  void SetUp() override {
    BindingTest::SetUp();
    m_sourceMessage = NewMessage();
    ASSERT_TRUE(LoadBinding(m_source, m_sourceMessage.Get(), nullptr, 5));
    m_newMessage = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  }

  void Prepare(int mode, bool withSource = true) {
    ASSERT_TRUE(LoadBinding(m_binding, m_newMessage.Get(), nullptr, static_cast<DWORD>(mode)));
    PrepareNewMessage(mode, m_binding, withSource ? &m_source : nullptr, false);
  }

  ComPtr<IMessage> m_sourceMessage;
  ComPtr<IMessage> m_newMessage;
  MessageBinding m_source;
  MessageBinding m_binding;
};

TEST_F(PreparationTest, ForwardingAForwardKeepsOnePrefix) {
  struct Case {
    const char16_t* subject;
    const char16_t* forwarded;
  };
  const Case cases[] = {
      {u"Fw: Holiday", u"Fw: Holiday"},
      {u"FW:Holiday", u"Fw: Holiday"},
      {u"Fw:  two spaces", u"Fw:  two spaces"},
      {u"  re: Holiday", u"Fw: Holiday"},
      // The text before the first colon is no prefix: it all stays.
      {u"Agenda: 10:00", u"Fw: Agenda: 10:00"},
      {u"", u"Fw: "},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(m_source.Message().SetSubject(c.subject));
    Prepare(4);
    EXPECT_EQ(m_binding.Message().Subject(), c.forwarded) << CString(c.subject).ToUtf8();
  }
}

TEST_F(PreparationTest, ForwardingAgainAndAgainChangesNothing) {
  ASSERT_TRUE(m_source.Message().SetSubject(u"Holiday"));
  for (int round = 0; round < 3; ++round) {
    Prepare(4);
    const CString forwarded = m_binding.Message().Subject();
    EXPECT_EQ(forwarded, u"Fw: Holiday") << round;
    ASSERT_TRUE(m_source.Message().SetSubject(forwarded.View()));
  }
  // The reply prefix gives way to the forward prefix and the other way round.
  ASSERT_TRUE(m_source.Message().SetSubject(u"Re: Holiday"));
  Prepare(4);
  EXPECT_EQ(m_binding.Message().Subject(), u"Fw: Holiday");
  ASSERT_TRUE(m_source.Message().SetSubject(u"Fw: Holiday"));
  Prepare(1);
  EXPECT_EQ(m_binding.Message().Subject(), u"Re: Holiday");
}

TEST_F(PreparationTest, ASubjectOfAHundredThousandCharactersGetsItsPrefixAndKeepsItsText) {
  std::u16string subject(100000, u'x');
  subject.replace(0, 4, u"Fw: ");
  ASSERT_TRUE(m_source.Message().SetSubject(subject));
  Prepare(4);
  EXPECT_EQ(m_binding.Message().Subject(), CString(subject));
}

TEST_F(PreparationTest, ReplyToAllLeavesTheOwnNumberOutAndPutsTheSenderFirst) {
  SetSubscriberNumber(u"+358 40 111");
  StoreMessage& source = m_source.Message();
  ASSERT_TRUE(source.SetSenderAddress(u"\"Ann\"<+358402222>"));
  ASSERT_TRUE(source.SetRecipients(u"\"Me\"<+358-40-111>;+358403333", u"+35840111;bob@example.com", u""));
  ASSERT_TRUE(source.SetSubject(u"Plans"));
  ASSERT_TRUE(source.SetMessageClassText(u"IPM.MMS.Special"));
  Prepare(2);
  StoreMessage& reply = m_binding.Message();
  EXPECT_EQ(reply.ToList(), u"\"Ann\"<+358402222>;+358403333");
  EXPECT_EQ(reply.CcList(), u"bob@example.com");
  EXPECT_EQ(reply.Subject(), u"Re: Plans");
  EXPECT_EQ(reply.MessageClassText(), u"IPM.MMS.Special");
  EXPECT_EQ(reply.Date(), binding_test::kNow);
  EXPECT_EQ(reply.State(), message_state::kRetrieved);
}

TEST_F(PreparationTest, ReplyGoesToTheSenderOnly) {
  ASSERT_TRUE(m_source.Message().SetSenderAddress(u"+358402222;"));
  ASSERT_TRUE(m_source.Message().SetRecipients(u"+111", u"+222", u""));
  Prepare(1);
  EXPECT_EQ(m_binding.Message().ToAddresses(), u"+358402222");
  EXPECT_EQ(m_binding.Message().CcList(), u"");
  EXPECT_EQ(m_binding.Message().Subject(), u"Re: ");
}

TEST_F(PreparationTest, AForwardOfABodyNeverDownloadedKeepsTheNotificationState) {
  ASSERT_TRUE(m_source.Message().SetState(message_state::kNotification));
  ASSERT_TRUE(m_source.Message().SetText(kHeaderText7, u"http://mmsc/x"));
  ASSERT_TRUE(m_source.Message().SetLong(kOptionPriority, 130));
  ASSERT_TRUE(m_source.Message().SetLong(kOption23, 9));
  Prepare(4);
  StoreMessage& forward = m_binding.Message();
  EXPECT_EQ(forward.State(), message_state::kTransport6);
  EXPECT_EQ(forward.Text(kHeaderText7), u"http://mmsc/x");
  EXPECT_EQ(forward.Long(kOptionPriority), 130) << "the source's send options travel with it";
  EXPECT_EQ(forward.Long(kOption23), 0);
  EXPECT_EQ(forward.Long(kOptionSentDate), 0);
  // No data file yet: the size rule's stand-in.
  EXPECT_EQ(forward.Size(), 1000);
}

TEST(RemoveOwnNumber, ComparesAsPhoneNumbersAndKeepsEverythingElse) {
  test_support::TestDevice device;
  EXPECT_EQ(RemoveOwnNumber(u"+1 (555) 123;\"Me\"<+1-555-123>;x@y.z;+1555", u"+1555123"), u"x@y.z;+1555");
  EXPECT_EQ(RemoveOwnNumber(u"+1;+2", u""), u"+1;+2");
  EXPECT_EQ(RemoveOwnNumber(u"", u"+1"), u"");
  EXPECT_EQ(RemoveOwnNumber(u";;+2;", u"+1"), u"+2");
}

TEST_F(BindingTest, DataBlockRecipientsKeepQuotedCommasAndAnEmptyBlockChangesNothing) {
  ComPtr<IMessage> message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  MessageBinding binding;
  ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 0));
  ASSERT_TRUE(binding.Message().SetSubject(u"before"));
  ApplyDataBlockRecipients(binding.Message(), Words(nullptr, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(binding.Message().Subject(), u"before");
  EXPECT_EQ(binding.Message().ToList(), u"");

  ApplyDataBlockRecipients(binding.Message(),
                           Words(u"\"Doe, Jane\"<+123>,+456", nullptr, u"c@d.e", u"New subject", nullptr));
  EXPECT_EQ(binding.Message().ToList(), u"\"Doe, Jane\"<+123>;+456");
  EXPECT_EQ(binding.Message().ToAddresses(), u"+123;+456");
  EXPECT_EQ(binding.Message().BccList(), u"c@d.e");
  EXPECT_EQ(binding.Message().Subject(), u"New subject");
}

}  // namespace
