#include "forms/message_submission.h"

#include "binding_fixture.h"
#include "composed_message.h"
#include "forms/send_request.h"
#include "forms/store_properties.h"
#include "mm1/file_io.h"
#include "mm1/message_reader.h"
#include "mm1/pdu_decoder.h"
#include "platform/text/text_conversion.h"

namespace binding_test {
namespace {

namespace fs = std::filesystem;
using namespace store_property;

class SubmissionTest : public BindingTest {
 protected:
  // A composed message in Drafts with two slides, recipients, a subject and send options.
  void SetUp() override {
    BindingTest::SetUp();
    m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
    ASSERT_TRUE(LoadBinding(m_binding, m_message.Get(), nullptr, 0));
    ASSERT_TRUE(ComposeAndSave(m_binding, {{"jpeg/canon-eos-40d.jpg", "media/amrnb-122-sweep.amr", u"Grüße"},
                                           {"", "", u"Второй"}}));
    StoreMessage& message = m_binding.Message();
    ASSERT_TRUE(m_binding.WriteOptions(config::SendOptions{130, 130, config::kHideSender, TRUE, FALSE, 0, 3600}));
    ASSERT_TRUE(message.SetRecipients(u"\"Ann\"<+49 (171) 555-0100>;bob@example.org", u"0171 5550199", u""));
    ASSERT_TRUE(message.SetSubject(u"Grüße aus Köln"));
  }

  std::optional<fs::path> SendFile() { return platform::HostPath(SendRequestFile(m_binding).View()); }

  EntryId FolderId(ULONG tag) {
    SizedSPropTagArray<1> tags{1, {tag}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    EXPECT_EQ(m_store->GetProps(tags.get(), 0, &count, &values), S_OK);
    EntryId id(reinterpret_cast<const char*>(values[0].Value.bin.lpb), values[0].Value.bin.cb);
    MAPIFreeBuffer(values);
    return id;
  }

  // The message is where it was and nothing was queued or written for sending.
  void ExpectUntouched() {
    EXPECT_EQ(m_binding.Message().ParentEntryId(), FolderId(PR_DRAFTS_FOLDER_ENTRYID));
    EXPECT_EQ(m_binding.Message().Long(kTransportState), 0);
    EXPECT_FALSE(fs::is_regular_file(*SendFile()));
  }

  ComPtr<IMessage> m_message;
  MessageBinding m_binding;
};

TEST_F(SubmissionTest, QueuesTheMessageInTheOutboxWithItsSendRequest) {
  auto submission = CreateSubmission(m_binding);
  ASSERT_NE(submission, nullptr);
  ASSERT_EQ(submission->Submit(0), S_OK);
  EXPECT_EQ(m_binding.Message().ParentEntryId(), FolderId(PR_OUTBOX_FOLDER_ENTRYID));
  EXPECT_EQ(m_binding.Message().Long(kTransportState), 8);
  // The message keeps its identifier, so its data file and part folder keep their names.
  StoreMessage reopened(std::make_shared<const EntryId>(m_binding.Identifier()));
  EXPECT_EQ(reopened.Subject(), CString(u"Grüße aus Köln"));

  auto bytes = mm1::ReadWholeFile(*SendFile(), mm1::kMaxMessageFileBytes);
  ASSERT_TRUE(bytes);
  auto pdu = mm1::DecodePdu(bytes.Value());
  ASSERT_TRUE(pdu) << pdu.Failure().message;
  const mm1::Pdu& request = pdu.Value();
  EXPECT_EQ(request.messageType, 0x80);
  EXPECT_TRUE(request.transactionId && !request.transactionId->empty());
  EXPECT_EQ(request.mmsVersion, "1.2");
  EXPECT_EQ(request.date, static_cast<std::uint64_t>(kNow));
  ASSERT_TRUE(request.from);
  EXPECT_TRUE(request.from->insertAddress);
  ASSERT_EQ(request.to.size(), 2u);
  EXPECT_EQ(request.to[0].Utf8(), "+491715550100/TYPE=PLMN");
  EXPECT_EQ(request.to[1].Utf8(), "bob@example.org");
  ASSERT_EQ(request.cc.size(), 1u);
  EXPECT_EQ(request.cc[0].Utf8(), "01715550199/TYPE=PLMN");
  EXPECT_TRUE(request.bcc.empty());
  ASSERT_TRUE(request.subject);
  EXPECT_EQ(request.subject->Utf8(), "Grüße aus Köln");
  EXPECT_EQ(request.subject->charset, 106u);
  EXPECT_EQ(request.messageClass, "Informational");
  EXPECT_EQ(request.priority, mm1::kPriorityHigh);
  EXPECT_EQ(request.senderVisibility, 0x80);
  EXPECT_EQ(request.deliveryReport, mm1::kYes);
  EXPECT_EQ(request.readReport, mm1::kNo);
  EXPECT_EQ(request.expiry, (mm1::TimeValue{true, 3600}));
  EXPECT_FALSE(request.deliveryTime);

  ASSERT_TRUE(request.contentType);
  EXPECT_EQ(request.contentType->mediaType, "application/vnd.wap.multipart.related");
  ASSERT_TRUE(request.contentType->Find("start"));
  EXPECT_EQ(request.contentType->Find("start")->value, "<mms.smil>");
  ASSERT_TRUE(request.contentType->Find("type"));
  EXPECT_EQ(request.contentType->Find("type")->value, "application/smil");
  // The body is the saved data file's, part for part.
  auto stored = mm1::ReadWholeFile(*platform::HostPath(m_binding.DataFile().View()), mm1::kMaxMessageFileBytes);
  auto body = mm1::DecodePdu(stored.Value());
  ASSERT_TRUE(body);
  ASSERT_EQ(request.parts.size(), body.Value().parts.size());
  ASSERT_EQ(request.parts.size(), 5u);
  EXPECT_EQ(request.parts[0].BareContentId(), "mms.smil");
  for (std::size_t i = 0; i < request.parts.size(); ++i) {
    EXPECT_EQ(request.parts[i].contentType, body.Value().parts[i].contentType) << i;
    EXPECT_EQ(request.parts[i].contentLocation, body.Value().parts[i].contentLocation) << i;
    EXPECT_TRUE(std::ranges::equal(request.parts[i].data, body.Value().parts[i].data)) << i;
  }
  const mm1::Part& text = request.parts[2];
  EXPECT_EQ(text.contentType.mediaType, "text/plain");
  ASSERT_TRUE(text.contentType.Find("charset"));
  EXPECT_EQ(text.contentType.Find("charset")->number, 106u);
  EXPECT_EQ(std::string(text.data.begin(), text.data.end()), "\xEF\xBB\xBFGrüße");
}

TEST_F(SubmissionTest, TsharkReadsTheSendRequestWithoutComplaint) {
  ASSERT_EQ(CreateSubmission(m_binding)->Submit(0), S_OK);
  auto bytes = mm1::ReadWholeFile(*SendFile(), mm1::kMaxMessageFileBytes);
  ASSERT_TRUE(bytes);
  auto reading = TsharkReading(bytes.Value(), m_device.root());
  if (!reading) GTEST_SKIP() << "tshark is not installed (Debian package tshark)";
  EXPECT_NE(reading->find("m-send-req"), std::string::npos) << *reading;
  EXPECT_EQ(reading->find("Malformed"), std::string::npos) << *reading;
  for (const char* expected : {"+491715550100/TYPE=PLMN", "bob@example.org", "01715550199/TYPE=PLMN",
                               "application/vnd.wap.multipart.related", "<mms.smil>", "Informational", "High"}) {
    EXPECT_NE(reading->find(expected), std::string::npos) << expected << "\n" << *reading;
  }
}

TEST_F(SubmissionTest, AFailureLeavesTheMessageWhereItWas) {
  // An address the relay cannot take.
  ASSERT_TRUE(m_binding.Message().SetRecipients(u"Ann", u"", u""));
  EXPECT_EQ(CreateSubmission(m_binding)->Submit(0), E_FAIL);
  ExpectUntouched();
  // No recipient at all.
  ASSERT_TRUE(m_binding.Message().SetRecipients(u"", u" ; ", u""));
  EXPECT_EQ(CreateSubmission(m_binding)->Submit(0), E_FAIL);
  ExpectUntouched();
  ASSERT_TRUE(m_binding.Message().SetRecipients(u"+123", u"", u""));
  // The send file cannot be written after the message was moved: the move is undone.
  fs::create_directories(*SendFile() / "in-the-way");
  EXPECT_EQ(CreateSubmission(m_binding)->Submit(0), E_FAIL);
  EXPECT_EQ(m_binding.Message().ParentEntryId(), FolderId(PR_DRAFTS_FOLDER_ENTRYID));
  EXPECT_EQ(m_binding.Message().Long(kTransportState), 0);
  fs::remove_all(*SendFile());
  // A data file that is gone, or damaged.
  fs::path dataFile = *platform::HostPath(m_binding.DataFile().View());
  std::string saved = test_support::ReadFileBytes(dataFile);
  test_support::WriteFileBytes(dataFile, saved.substr(0, saved.size() / 2));
  EXPECT_EQ(CreateSubmission(m_binding)->Submit(0), E_FAIL);
  ExpectUntouched();
  fs::remove(dataFile);
  EXPECT_EQ(CreateSubmission(m_binding)->Submit(0), E_FAIL);
  ExpectUntouched();
  // Once the fault is gone the same message goes.
  test_support::WriteFileBytes(dataFile, saved);
  EXPECT_EQ(CreateSubmission(m_binding)->Submit(0), S_OK);
  EXPECT_EQ(m_binding.Message().ParentEntryId(), FolderId(PR_OUTBOX_FOLDER_ENTRYID));
}

TEST_F(SubmissionTest, AMessageThatIsNotStoredCannotBeSubmitted) {
  MessageBinding unbound;
  EXPECT_EQ(CreateSubmission(unbound), nullptr);
  // Deleted after the form took it: nothing is written for it.
  auto submission = CreateSubmission(m_binding);
  ASSERT_NE(submission, nullptr);
  std::string id = m_binding.Identifier();
  SBinary entry{static_cast<ULONG>(id.size()), reinterpret_cast<BYTE*>(id.data())};
  ENTRYLIST list{1, &entry};
  ASSERT_EQ(Folder(PR_DRAFTS_FOLDER_ENTRYID)->DeleteMessages(&list, 0, nullptr, 0), S_OK);
  EXPECT_EQ(submission->Submit(0), E_FAIL);
  EXPECT_FALSE(fs::exists(*SendFile()));
}

TEST(SendAddress, TakesNumbersAndMailAddressesAndRefusesTheRest) {
  struct Case {
    std::u16string entry;
    std::optional<std::string> address;
  };
  const Case kCases[] = {
      {u"+49 171 5550100", "+491715550100/TYPE=PLMN"},
      {u"(0171) 555-01.00", "01715550100/TYPE=PLMN"},
      {u"\"Ann Smith\"<+1 555 0100>", "+15550100/TYPE=PLMN"},
      {u"ann@example.org", "ann@example.org"},
      {u"\"Ann\" <ann@example.org>", "ann@example.org"},
      {u"+15550100/TYPE=PLMN", "+15550100/TYPE=PLMN"},
      {u"10.0.0.1/type=IPv4", "10.0.0.1/type=IPv4"},
      {u"Ann", std::nullopt},
      {u"+", std::nullopt},
      {u"12+34", std::nullopt},
      {u"555 0100 ext", std::nullopt},
      {u"@example.org", std::nullopt},
      {u"ann smith@example.org", std::nullopt},
      {u"", std::nullopt},
  };
  for (const Case& c : kCases) EXPECT_EQ(SendAddress(c.entry), c.address) << platform::Utf16ToUtf8(c.entry);
}

}  // namespace
}  // namespace binding_test
