#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "binding_fixture.h"
#include "config/send_option_defaults.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/store_properties.h"
#include "mm1/pdu.h"
#include "platform/kernel/file_api.h"

namespace {

using binding_test::BindingTest;
using namespace store_property;

TEST(MessageNumber, IsXmodemCrcWithTheLastFourBytesTakenAsZero) {
  // CRC-16/XMODEM of "123456789" followed by four zero bytes, computed independently.
  EXPECT_EQ(MessageNumber(std::string("123456789ABCD")), 9722);
  EXPECT_EQ(MessageNumber(std::string("123456789\0\0\0\0", 13)), 9722);
  EXPECT_EQ(MessageNumber("123456789"), MessageNumber(std::string("12345\0\0\0\0", 9)));
  EXPECT_NE(MessageNumber("123456789ABCD"), MessageNumber("123456780ABCD"));
  EXPECT_EQ(MessageNumber("abc"), 0);
  EXPECT_EQ(MessageNumber(""), 0);
}

TEST_F(BindingTest, TwoBindingsOfOneMessageShareFilesAndSeeEachOthersWrites) {
  ComPtr<IMessage> message = NewMessage();
  MessageBinding first;
  MessageBinding second;
  ASSERT_TRUE(LoadBinding(first, message.Get(), nullptr, 5));
  ASSERT_TRUE(LoadBinding(second, message.Get(), u"\\My Documents\\UAContents\\", 5));
  EXPECT_EQ(first.DataFile(), second.DataFile());
  EXPECT_EQ(first.PartFolder(), second.PartFolder());
  EXPECT_EQ(first.TempDataFile(), second.TempDataFile());
  CString expected;
  expected.Format(u"\\My Documents\\UAContents\\%d.dat", static_cast<int>(MessageNumber(first.Identifier())));
  EXPECT_EQ(first.DataFile(), expected);
  EXPECT_NE(GetFileAttributesW(first.PartFolder()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW(u"\\My Documents\\UAContents\\Temp"), INVALID_FILE_ATTRIBUTES);

  ASSERT_TRUE(first.Message().SetSubject(u"written by one"));
  EXPECT_EQ(second.Message().Subject(), u"written by one");
}

TEST_F(BindingTest, AccessorsFollowTheirStoreRules) {
  ComPtr<IMessage> message = NewMessage();
  MessageBinding binding;
  ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 5));
  StoreMessage& store = binding.Message();
  EXPECT_EQ(store.Long(kOptionExpiry), 0) << "an option never set reads 0";
  EXPECT_FALSE(store.Bool(kReadReport));
  EXPECT_EQ(store.Subject(), u"");

  for (LONG priority : {128, 129, 130}) ASSERT_TRUE(store.WritePriority(priority));
  EXPECT_EQ(store.Flags() & 0xFFFF0000u, 0x40000000u) << "priority 130 sets 0x4000 only";
  EXPECT_EQ(store.Priority(), 130);

  ASSERT_TRUE(store.SetLong(kState, 2));
  EXPECT_EQ(store.State(), 1);
  ASSERT_TRUE(store.SetState(3));
  EXPECT_EQ(store.MessageStatus() & 0x10000u, 0x10000u);
  ASSERT_TRUE(store.SetState(7));
  EXPECT_EQ(store.MessageStatus() & 0x10000u, 0u);

  ASSERT_TRUE(store.SetLong(kFlags, 0x00200021));
  ASSERT_TRUE(store.SetFlags(0x01010000));
  EXPECT_EQ(store.Flags(), 0x01210020u) << "high words merge, bit 0 follows the new value, 0x20 stays";

  ASSERT_TRUE(store.SetSenderAddress(u"\"Ann Example\" <+358401234567>"));
  EXPECT_EQ(store.Text(kSenderEmailAddress), u"+358401234567");
  EXPECT_EQ(store.SenderName(), u"Ann Example");
  // Without a display name the address alone names the sender, without its brackets.
  ASSERT_TRUE(store.SetSenderAddress(u"<+358401234567>"));
  EXPECT_EQ(store.SenderName(), u"+358401234567");
  SetConfigString(string_setting::kCountryCode, u"+358", FALSE);
  SetConfigValue(numeric_setting::kEnableRemoveCountryCode, 1, FALSE);
  ASSERT_TRUE(store.SetRecipients(u"\"B\"\t<+358501>;+46702\r\n", u"", u""));
  EXPECT_EQ(store.ToList(), u"\"B\"        <501>;+46702 ");
  EXPECT_EQ(store.ToAddresses(), u"501;+46702");

  SetConfigValue(numeric_setting::kEnableCDMATimeStamp, 1, FALSE);
  ASSERT_TRUE(store.SetDate(1234567890));
  EXPECT_EQ(store.Date(), 1234567890);
}

TEST_F(BindingTest, ComposeVerbsPrepareTheMessageAndTheReadVerbDoesNot) {
  ComPtr<IMessage> message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  MessageBinding binding;
  ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 5));
  EXPECT_EQ(binding.Message().MessageClassText(), u"");
  ASSERT_TRUE(binding.Message().SetLong(kState, 3));
  ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 0x10004));
  EXPECT_EQ(binding.Message().MessageClassText(), GetConfigString(string_setting::kMMSClassName));
  EXPECT_EQ(binding.Message().State(), 1);
  EXPECT_EQ(binding.Message().MessageStatus(), 0u);
  EXPECT_EQ(binding.FolderKind(), std::optional<ULONG>(0x81040102));
}

TEST_F(BindingTest, ADeletedMessageCannotBeReopened) {
  ComPtr<IMessage> message = NewMessage();
  MessageBinding binding;
  ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 5));
  EXPECT_TRUE(binding.ReopenMessage());
  std::string id = binding.Identifier();
  SBinary entry{static_cast<ULONG>(id.size()), reinterpret_cast<BYTE*>(id.data())};
  ENTRYLIST list{1, &entry};
  ASSERT_EQ(Folder(PR_INBOX_FOLDER_ENTRYID)->DeleteMessages(&list, 0, nullptr, 0), S_OK);
  EXPECT_FALSE(binding.ReopenMessage());
  MessageBinding stale;
  EXPECT_FALSE(LoadBinding(stale, message.Get(), nullptr, 5)) << "a deleted message has no identifier to read";
  EXPECT_FALSE(stale.Message().IsOpen());
  EXPECT_EQ(stale.Message().Size(), 0);
  EXPECT_FALSE(binding.FolderKind());
}

TEST_F(BindingTest, CopyTableAndSendOptionsMoveBetweenMessages) {
  ComPtr<IMessage> sourceMessage = NewMessage();
  ComPtr<IMessage> targetMessage = NewMessage(PR_OUTBOX_FOLDER_ENTRYID);
  MessageBinding source;
  MessageBinding target;
  ASSERT_TRUE(LoadBinding(source, sourceMessage.Get(), nullptr, 5));
  ASSERT_TRUE(LoadBinding(target, targetMessage.Get(), nullptr, 5));
  config::SendOptions options{129, 130, 128, TRUE, FALSE, 60, 3600};
  ASSERT_TRUE(source.WriteOptions(options));
  ASSERT_TRUE(source.Message().SetSubject(u"not a send option"));
  ASSERT_TRUE(target.CopySendOptions(source));
  config::SendOptions copied;
  target.ReadOptions(copied);
  EXPECT_EQ(copied.messageClass, 129);
  EXPECT_EQ(copied.priority, 130);
  EXPECT_EQ(copied.senderVisibility, 128);
  EXPECT_TRUE(copied.deliveryReport);
  EXPECT_EQ(copied.expiry, 3600);
  EXPECT_EQ(target.Message().Subject(), u"");
  const int keys[] = {11, 99, -1};
  ASSERT_TRUE(target.CopyProperties(source, keys, 3));
  EXPECT_EQ(target.Message().Subject(), u"not a send option");
  EXPECT_FALSE(CopyTableTag(30));
}

TEST_F(BindingTest, SizeAndExpiryRules) {
  ComPtr<IMessage> message = NewMessage();
  MessageBinding binding;
  ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 5));
  EXPECT_EQ(binding.SetSizeFromFile(0), 1000) << "no data file";
  EXPECT_EQ(binding.SetSizeFromFile(4321), 4321);
  EXPECT_EQ(binding.Message().Size(), 4321);

  StoreMessage& store = binding.Message();
  EXPECT_FALSE(binding.IsExpired()) << "expiry 0 is the longest allowed";
  store.SetLong(kOptionSentDate, binding_test::kNow - 100);
  store.SetLong(kOptionExpiry, 50);
  EXPECT_TRUE(binding.IsExpired());
  store.SetLong(kOptionExpiry, 500);
  EXPECT_FALSE(binding.IsExpired());
  store.SetBool(kAbsoluteExpiry, TRUE);
  store.SetLong(kOptionExpiry, binding_test::kNow - 1);
  EXPECT_TRUE(binding.IsExpired());
}

// The relay reports delivery with a status code: only "retrieved" (0x81) is a delivery, every
// other code (expired, rejected, deferred, ...) marks the report for the user's attention.
TEST_F(BindingTest, ADeliveryReportIsMarkedUnlessTheMessageWasRetrieved) {
  for (auto [status, marked] : {std::pair{0x81, false}, std::pair{0x80, true}, std::pair{0x82, true}}) {
    SCOPED_TRACE(status);
    ComPtr<IMessage> message = NewMessage();
    MessageBinding binding;
    ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 5));
    mm1::Pdu report;
    report.status = static_cast<std::uint8_t>(status);
    ASSERT_TRUE(binding.StoreDeliveryReport(report));
    EXPECT_EQ((binding.Message().Flags() & 0x2000000u) != 0, marked);
  }
}

// The device's time zone for one test.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) {
    const char* old = getenv("TZ");
    if (old != nullptr) m_old = old;
    m_had = old != nullptr;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZone() {
    if (m_had) {
      setenv("TZ", m_old.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  TimeZone(const TimeZone&) = delete;
  TimeZone& operator=(const TimeZone&) = delete;

 private:
  std::string m_old;
  bool m_had = false;
};

// An expiry set from the defaults, one received with a notification and the dates set now all
// count on one clock, in either time-stamp mode and three hours away from universal time.
TEST_F(BindingTest, ExpiriesAndDatesKeepToOneClock) {
  TimeZone zone("<+03>-3");
  constexpr LONG kOffset = 3 * 3600;
  for (LONG cdmaTime : {0, 1}) {
    SCOPED_TRACE(cdmaTime);
    ASSERT_TRUE(SetConfigValue(numeric_setting::kEnableCDMATimeStamp, cdmaTime, FALSE));
    platform::SetFixedUnixTime(binding_test::kNow);
    ComPtr<IMessage> message = NewMessage();
    MessageBinding binding;
    ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 5));
    ASSERT_TRUE(SetConfigValue(numeric_setting::kSendExpireTimeInAbsolute, 1, FALSE));
    ASSERT_TRUE(SetConfigValue(numeric_setting::kExpiryTime, 3600, FALSE));
    config::ApplyDefaultSendOptions(binding.Message(), -1);
    ASSERT_TRUE(binding.Message().SetBool(kAbsoluteExpiry, TRUE));
    ASSERT_TRUE(binding.SetDatesNow());
    // The dates read back as the local time, whichever way the store hands them out.
    EXPECT_EQ(binding.Message().Date(), binding_test::kNow + kOffset);
    platform::SetFixedUnixTime(binding_test::kNow + 3599);
    EXPECT_FALSE(binding.IsExpired());
    platform::SetFixedUnixTime(binding_test::kNow + 3601);
    EXPECT_TRUE(binding.IsExpired());

    // A notification whose message may wait an hour from its arrival.
    platform::SetFixedUnixTime(binding_test::kNow);
    ComPtr<IMessage> received = NewMessage(PR_INBOX_FOLDER_ENTRYID);
    MessageBinding notified;
    ASSERT_TRUE(LoadBinding(notified, received.Get(), nullptr, 5));
    mm1::Pdu notification;
    notification.expiry = mm1::TimeValue{true, 3600};
    ASSERT_TRUE(notified.StoreNotification(notification));
    platform::SetFixedUnixTime(binding_test::kNow + 3599);
    EXPECT_FALSE(notified.IsExpired());
    platform::SetFixedUnixTime(binding_test::kNow + 3601);
    EXPECT_TRUE(notified.IsExpired());
  }
}

TEST_F(BindingTest, RemovePartFolderTakesItsFilesAlong) {
  ComPtr<IMessage> message = NewMessage();
  MessageBinding binding;
  ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 5));
  CString folder = binding.PartFolder();
  auto host = platform::HostPath(folder.View());
  ASSERT_TRUE(host);
  test_support::WriteFileBytes(*host / "a.txt", "a");
  test_support::WriteFileBytes(*host / "texttempfile" / "temp_0.txt", "b");
  binding.RemovePartFolder();
  EXPECT_EQ(GetFileAttributesW(folder), INVALID_FILE_ATTRIBUTES);
}

// A message written by a process that then ends is all there when the store is opened again.
TEST_F(BindingTest, PropertiesSurviveTheProcessThatWroteThem) {
  std::string id;
  {
    ComPtr<IMessage> message = NewMessage();
    MessageBinding binding;
    ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 5));
    id = binding.Identifier();
  }
  std::filesystem::path root = m_device.root();
  pid_t child = fork();
  if (child == 0) {
    ComPtr<IMsgStore> store;
    platform::OpenDevice(root, platform::RegistrySeed::kFactory);
    platform::OpenMessageStore(store.Receive());
    ULC_Global::GetGlobal()->messageStore = store.Get();
    StoreMessage message(std::make_shared<const EntryId>(id));
    bool ok = message.SetSubject(u"from a process that ended") && message.SetState(3) && message.WritePriority(130) &&
              message.SetDate(1111111111) && message.SetRecipients(u"+1;+2", u"+3", u"");
    _exit(ok ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ULC_Global::GetGlobal()->messageStore = nullptr;
  m_store.Reset();
  platform::CloseDevice();
  ASSERT_TRUE(platform::OpenDevice(root, platform::RegistrySeed::kFactory));
  ASSERT_EQ(platform::OpenMessageStore(m_store.Receive()), S_OK);
  ULC_Global::GetGlobal()->messageStore = m_store.Get();
  SetConfigValue(numeric_setting::kEnableCDMATimeStamp, 1, FALSE);
  StoreMessage message(std::make_shared<const EntryId>(id));
  EXPECT_EQ(message.Subject(), u"from a process that ended");
  EXPECT_EQ(message.State(), 3);
  EXPECT_EQ(message.Priority(), 130);
  EXPECT_EQ(message.Date(), 1111111111);
  EXPECT_EQ(message.CcList(), u"+3");
  EXPECT_EQ(message.ToAddresses(), u"+1;+2");
}

}  // namespace
