#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>

#include "platform/internal/sqlite_database.h"
#include "platform/message_store/mail_api.h"
#include "store_helpers.h"
#include "support/test_device.h"

namespace {

using namespace store_test;
using test_support::TestDevice;

TEST(MessageStore, NewStoreHoldsTheFiveFoldersUnderItsFolderProperties) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ASSERT_TRUE(store);
  for (const platform::StandardFolder& standard : platform::StandardFolders()) {
    std::string id = BinaryProp(store.Get(), standard.storeTag);
    EXPECT_GE(id.size(), 8u);
    ComPtr<IMAPIFolder> folder = OpenFolder(store.Get(), standard.storeTag, 0);
    ASSERT_TRUE(folder);
    EXPECT_EQ(GetText(folder.Get(), PR_DISPLAY_NAME), std::u16string(standard.name));
    EXPECT_EQ(BinaryProp(folder.Get(), PR_ENTRYID), id);
  }
}

TEST(MessageStore, EachTypedValueReadsBackAsWritten) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> message = NewMessage(store.Get());
  const char16_t kText[] = u"Grüße \U0001F600 tab\there";
  const BYTE kBytes[] = {0, 1, 0, 0xFF, 0};
  SPropValue values[5] = {};
  values[0].ulPropTag = 0x80080003;
  values[0].Value.l = -7;
  values[1].ulPropTag = 0x8017000B;
  values[1].Value.b = 1;
  values[2].ulPropTag = 0x80130040;
  values[2].Value.ft = FILETIME{0x89ABCDEF, 0x01D2F3A4};
  values[3].ulPropTag = PR_SUBJECT;
  values[3].Value.lpszW = const_cast<LPWSTR>(kText);
  values[4].ulPropTag = 0x80300102;
  values[4].Value.bin = SBinary{sizeof kBytes, const_cast<BYTE*>(kBytes)};
  ASSERT_EQ(message->SetProps(5, values, nullptr), S_OK);

  SizedSPropTagArray<5> tags{5, {0x80080003, 0x8017000B, 0x80130040, PR_SUBJECT, 0x80300102}};
  ULONG count = 0;
  LPSPropValue read = nullptr;
  ASSERT_EQ(message->GetProps(tags.get(), MAPI_UNICODE, &count, &read), S_OK);
  ASSERT_EQ(count, 5u);
  EXPECT_EQ(read[0].Value.l, -7);
  EXPECT_EQ(read[1].Value.b, 1);
  EXPECT_EQ(read[2].Value.ft.dwLowDateTime, 0x89ABCDEFu);
  EXPECT_EQ(read[2].Value.ft.dwHighDateTime, 0x01D2F3A4u);
  EXPECT_EQ(std::u16string(read[3].Value.lpszW), kText);
  ASSERT_EQ(read[4].Value.bin.cb, sizeof kBytes);
  EXPECT_EQ(std::memcmp(read[4].Value.bin.lpb, kBytes, sizeof kBytes), 0);
  MAPIFreeBuffer(read);
}

TEST(MessageStore, MissingDeletedAndMistypedPropertiesComeBackAsErrorsEach) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> message = NewMessage(store.Get());
  ASSERT_EQ(SetLong(message.Get(), 0x80220003, 30), S_OK);
  ASSERT_EQ(SetText(message.Get(), PR_SUBJECT, u"gone soon"), S_OK);
  SizedSPropTagArray<1> subject{1, {PR_SUBJECT}};
  ASSERT_EQ(message->DeleteProps(subject.get(), nullptr), S_OK);

  SizedSPropTagArray<4> tags{4, {0x80220003, PR_SUBJECT, 0x80210003, 0x8022001F}};
  ULONG count = 0;
  LPSPropValue read = nullptr;
  ASSERT_EQ(message->GetProps(tags.get(), MAPI_UNICODE, &count, &read), MAPI_W_ERRORS_RETURNED);
  ASSERT_EQ(count, 4u);
  EXPECT_EQ(read[0].ulPropTag, 0x80220003u);
  EXPECT_EQ(read[0].Value.l, 30);
  for (ULONG i = 1; i < 4; ++i) {
    EXPECT_EQ(PROP_TYPE(read[i].ulPropTag), PT_ERROR) << i;
    EXPECT_EQ(PROP_ID(read[i].ulPropTag), PROP_ID(tags.aulPropTag[i])) << i;
    EXPECT_EQ(read[i].Value.err, MAPI_E_NOT_FOUND) << i;
  }
  MAPIFreeBuffer(read);
}

TEST(MessageStore, ComputedPropertiesCannotBeWrittenAndNameTheParent) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> message = NewMessage(store.Get(), PR_OUTBOX_FOLDER_ENTRYID);
  EXPECT_EQ(BinaryProp(message.Get(), PR_PARENT_ENTRYID), BinaryProp(store.Get(), PR_OUTBOX_FOLDER_ENTRYID));
  EXPECT_EQ(GetLong(message.Get(), PR_OBJECT_TYPE), static_cast<LONG>(MAPI_MESSAGE));

  SPropValue entry{};
  entry.ulPropTag = PR_ENTRYID;
  entry.Value.bin = SBinary{0, nullptr};
  LPSPropProblemArray problems = nullptr;
  ASSERT_EQ(message->SetProps(1, &entry, &problems), S_OK);
  ASSERT_NE(problems, nullptr);
  EXPECT_EQ(problems->cProblem, 1u);
  EXPECT_EQ(problems->aProblem[0].scode, MAPI_E_COMPUTED);
  MAPIFreeBuffer(problems);
  EXPECT_GE(BinaryProp(message.Get(), PR_ENTRYID).size(), 8u);
}

TEST(MessageStore, OpenEntryTellsKindsAndRefusesForeignOrDeletedIdentifiers) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> message = NewMessage(store.Get());
  std::string id = BinaryProp(message.Get(), PR_ENTRYID);
  HRESULT hr = S_OK;
  EXPECT_TRUE(OpenMessage(store.Get(), id, &hr));

  std::string foreign = id;
  foreign[6] = static_cast<char>(foreign[6] ^ 0x55);
  OpenMessage(store.Get(), foreign, &hr);
  EXPECT_EQ(hr, MAPI_E_INVALID_ENTRYID);
  OpenMessage(store.Get(), id.substr(0, 7), &hr);
  EXPECT_EQ(hr, MAPI_E_INVALID_ENTRYID);

  ComPtr<IMAPIFolder> inbox = OpenFolder(store.Get(), PR_INBOX_FOLDER_ENTRYID);
  SBinary entry{static_cast<ULONG>(id.size()), reinterpret_cast<BYTE*>(id.data())};
  ENTRYLIST list{1, &entry};
  ASSERT_EQ(inbox->DeleteMessages(&list, 0, nullptr, 0), S_OK);
  OpenMessage(store.Get(), id, &hr);
  EXPECT_EQ(hr, MAPI_E_NOT_FOUND);
  // The object opened before the deletion now reports it instead of reading stale values.
  EXPECT_EQ(SetLong(message.Get(), PR_MESSAGE_SIZE, 1), MAPI_E_OBJECT_DELETED);
  EXPECT_EQ(message->SaveChanges(0), MAPI_E_OBJECT_DELETED);
}

TEST(MessageStore, TwoOpenObjectsOfOneMessageSeeEachOthersWrites) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> first = NewMessage(store.Get());
  std::string id = BinaryProp(first.Get(), PR_ENTRYID);
  ComPtr<IMessage> second = OpenMessage(store.Get(), id);
  ASSERT_TRUE(second);
  ASSERT_EQ(SetText(first.Get(), PR_SUBJECT, u"from the first"), S_OK);
  EXPECT_EQ(GetText(second.Get(), PR_SUBJECT), u"from the first");
  ASSERT_EQ(SetLong(second.Get(), PR_MESSAGE_SIZE, 512), S_OK);
  EXPECT_EQ(GetLong(first.Get(), PR_MESSAGE_SIZE), 512);
}

TEST(MessageStore, ValuesAndIdentifiersSurviveClosingTheDevice) {
  TestDevice device;
  std::string id;
  {
    ComPtr<IMsgStore> store = OpenStore();
    ComPtr<IMessage> message = NewMessage(store.Get(), PR_SENTMAIL_FOLDER_ENTRYID);
    id = BinaryProp(message.Get(), PR_ENTRYID);
    ASSERT_EQ(SetText(message.Get(), PR_SUBJECT, u"kept"), S_OK);
    ASSERT_EQ(SetLong(message.Get(), 0x80080003, 3), S_OK);
  }
  platform::CloseDevice();
  ASSERT_TRUE(platform::OpenDevice(device.root(), platform::RegistrySeed::kFactory));
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> message = OpenMessage(store.Get(), id);
  ASSERT_TRUE(message);
  EXPECT_EQ(GetText(message.Get(), PR_SUBJECT), u"kept");
  EXPECT_EQ(GetLong(message.Get(), 0x80080003), 3);
  EXPECT_EQ(BinaryProp(message.Get(), PR_PARENT_ENTRYID), BinaryProp(store.Get(), PR_SENTMAIL_FOLDER_ENTRYID));
}

TEST(MessageStore, AttachmentsAreNumberedAndTheirDataStreams) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> message = NewMessage(store.Get());
  std::string data(10000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  for (const char16_t* name : {u"a.txt", u"b.jpg"}) {
    ComPtr<IAttach> attach;
    ULONG number = 99;
    ASSERT_EQ(message->CreateAttach(nullptr, 0, &number, attach.Receive()), S_OK);
    ASSERT_EQ(SetText(attach.Get(), PR_ATTACH_FILENAME, name), S_OK);
    ComPtr<IUnknown> object;
    ASSERT_EQ(attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY, object.Receive()),
              S_OK);
    auto* stream = static_cast<IStream*>(object.Get());
    ULONG written = 0;
    ASSERT_EQ(stream->Write(data.data(), static_cast<ULONG>(data.size()), &written), S_OK);
    ASSERT_EQ(stream->Commit(0), S_OK);
  }
  ComPtr<IMAPITable> table;
  ASSERT_EQ(message->GetAttachmentTable(0, table.Receive()), S_OK);
  LPSRowSet rows = nullptr;
  ASSERT_EQ(table->QueryRows(10, 0, &rows), S_OK);
  ASSERT_EQ(rows->cRows, 2u);
  EXPECT_EQ(rows->aRow[0].lpProps[0].Value.l, 0);
  EXPECT_EQ(std::u16string((&rows->aRow[0])[1].lpProps[1].Value.lpszW), u"b.jpg");
  ULONG second = static_cast<ULONG>((&rows->aRow[0])[1].lpProps[0].Value.l);
  FreeProws(rows);

  ComPtr<IAttach> attach;
  ASSERT_EQ(message->OpenAttach(second, nullptr, 0, attach.Receive()), S_OK);
  ComPtr<IUnknown> object;
  ASSERT_EQ(attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, 0, object.Receive()), S_OK);
  auto* stream = static_cast<IStream*>(object.Get());
  STATSTG stat{};
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, data.size());
  std::string back;
  char block[4096];
  ULONG read = 0;
  while (stream->Read(block, sizeof block, &read) == S_OK && read > 0) back.append(block, read);
  EXPECT_EQ(back, data);
  EXPECT_EQ(stream->Write("x", 1, nullptr), STG_E_ACCESSDENIED);
  ComPtr<IAttach> missing;
  EXPECT_EQ(message->OpenAttach(7, nullptr, 0, missing.Receive()), MAPI_E_NOT_FOUND);
}

// Seeks by amounts near the limits of the offset type are refused and leave the position alone.
TEST(MessageStore, StreamSeeksPastTheOffsetLimitsAreRefused) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> message = NewMessage(store.Get());
  ComPtr<IUnknown> object;
  ASSERT_EQ(message->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY, object.Receive()),
            S_OK);
  auto* stream = static_cast<IStream*>(object.Get());
  ASSERT_EQ(stream->Write("abc", 3, nullptr), S_OK);
  LARGE_INTEGER move{};
  move.QuadPart = 1;
  ASSERT_EQ(stream->Seek(move, STREAM_SEEK_SET, nullptr), S_OK);
  for (LONGLONG far : {std::numeric_limits<LONGLONG>::max(), std::numeric_limits<LONGLONG>::max() - 1,
                       std::numeric_limits<LONGLONG>::min()}) {
    move.QuadPart = far;
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_CUR, nullptr), STG_E_INVALIDFUNCTION) << far;
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_END, nullptr), STG_E_INVALIDFUNCTION) << far;
  }
  char back[4] = {};
  ULONG read = 0;
  ASSERT_EQ(stream->Read(back, 3, &read), S_OK);
  EXPECT_EQ(std::string(back, read), "bc");
}

// A stream's commit whose time stamp cannot be written (here refused by a trigger another program
// put in the file) fails, and leaves the value as it was rather than half written.
TEST(MessageStore, FailedStreamCommitLeavesNoValueBehind) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> message = NewMessage(store.Get());
  ComPtr<IUnknown> object;
  ASSERT_EQ(message->OpenProperty(PR_SUBJECT, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY, object.Receive()), S_OK);
  auto* stream = static_cast<IStream*>(object.Get());
  ASSERT_EQ(stream->Write(u"body", 8, nullptr), S_OK);
  {
    std::string error;
    auto other = platform::internal::SqliteDatabase::Open(device.root() / "message_store.db", &error);
    ASSERT_TRUE(other) << error;
    ASSERT_TRUE(other->Execute("CREATE TRIGGER no_stamp BEFORE INSERT ON properties WHEN NEW.prop_id = " +
                               std::to_string(PROP_ID(PR_LAST_MODIFICATION_TIME)) +
                               " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
  }
  EXPECT_EQ(stream->Commit(0), MAPI_E_CALL_FAILED);
  EXPECT_FALSE(GetText(message.Get(), PR_SUBJECT));
}

// A damaged file whose last attachment number is the largest there is gets no more attachments:
// the next number would wrap onto one in use.
TEST(MessageStore, AttachmentNumbersDoNotWrapAround) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> message = NewMessage(store.Get());
  for (int i = 0; i < 2; ++i) {
    ComPtr<IAttach> attach;
    ULONG number = 0;
    ASSERT_EQ(message->CreateAttach(nullptr, 0, &number, attach.Receive()), S_OK);
  }
  {
    std::string error;
    auto other = platform::internal::SqliteDatabase::Open(device.root() / "message_store.db", &error);
    ASSERT_TRUE(other) << error;
    ASSERT_TRUE(other->Execute("UPDATE objects SET attach_number=4294967295 WHERE attach_number=1"));
  }
  ComPtr<IAttach> attach;
  ULONG number = 7;
  EXPECT_EQ(message->CreateAttach(nullptr, 0, &number, attach.Receive()), MAPI_E_CALL_FAILED);
  EXPECT_FALSE(attach);
  ComPtr<IMAPITable> table;
  ASSERT_EQ(message->GetAttachmentTable(0, table.Receive()), S_OK);
  ULONG rows = 0;
  ASSERT_EQ(table->GetRowCount(0, &rows), S_OK);
  EXPECT_EQ(rows, 2u);
}

TEST(MessageStore, ContentsTableListsTheFolderInPages) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  for (int i = 0; i < 5; ++i) NewMessage(store.Get(), PR_DRAFTS_FOLDER_ENTRYID);
  NewMessage(store.Get(), PR_INBOX_FOLDER_ENTRYID);
  ComPtr<IMAPIFolder> drafts = OpenFolder(store.Get(), PR_DRAFTS_FOLDER_ENTRYID);
  ComPtr<IMAPITable> table;
  ASSERT_EQ(drafts->GetContentsTable(0, table.Receive()), S_OK);
  ULONG total = 0;
  ASSERT_EQ(table->GetRowCount(0, &total), S_OK);
  EXPECT_EQ(total, 5u);
  ULONG seen = 0;
  for (;;) {
    LPSRowSet rows = nullptr;
    ASSERT_EQ(table->QueryRows(2, 0, &rows), S_OK);
    ULONG page = rows->cRows;
    if (page > 0) {
      EXPECT_EQ(rows->aRow[0].lpProps[0].ulPropTag, PR_ENTRYID);
    }
    FreeProws(rows);
    if (page == 0) break;
    seen += page;
  }
  EXPECT_EQ(seen, 5u);
}

TEST(MessageStore, MovedMessagesKeepTheirIdentifierAndValuesInTheirNewFolder) {
  TestDevice device;
  ComPtr<IMsgStore> store = OpenStore();
  ComPtr<IMessage> message = NewMessage(store.Get(), PR_DRAFTS_FOLDER_ENTRYID);
  ASSERT_EQ(SetLong(message.Get(), 0x80220003, 3600), S_OK);
  ComPtr<IMessage> stays = NewMessage(store.Get(), PR_DRAFTS_FOLDER_ENTRYID);
  std::string id = BinaryProp(message.Get(), PR_ENTRYID);
  ComPtr<IMAPIFolder> drafts = OpenFolder(store.Get(), PR_DRAFTS_FOLDER_ENTRYID);
  ComPtr<IMAPIFolder> outbox = OpenFolder(store.Get(), PR_OUTBOX_FOLDER_ENTRYID);
  SBinary entry{static_cast<ULONG>(id.size()), reinterpret_cast<BYTE*>(id.data())};
  ENTRYLIST list{1, &entry};

  EXPECT_EQ(drafts->CopyMessages(&list, nullptr, outbox.Get(), 0, nullptr, 0), MAPI_E_NO_SUPPORT);
  EXPECT_EQ(drafts->CopyMessages(&list, nullptr, nullptr, 0, nullptr, MESSAGE_MOVE), MAPI_E_INVALID_PARAMETER);
  EXPECT_EQ(BinaryProp(message.Get(), PR_PARENT_ENTRYID), BinaryProp(store.Get(), PR_DRAFTS_FOLDER_ENTRYID));

  ASSERT_EQ(drafts->CopyMessages(&list, nullptr, outbox.Get(), 0, nullptr, MESSAGE_MOVE), S_OK);
  EXPECT_EQ(BinaryProp(message.Get(), PR_PARENT_ENTRYID), BinaryProp(store.Get(), PR_OUTBOX_FOLDER_ENTRYID));
  EXPECT_EQ(BinaryProp(message.Get(), PR_ENTRYID), id);
  EXPECT_EQ(GetLong(message.Get(), 0x80220003), 3600);
  EXPECT_EQ(BinaryProp(stays.Get(), PR_PARENT_ENTRYID), BinaryProp(store.Get(), PR_DRAFTS_FOLDER_ENTRYID));
  ULONG inOutbox = 0;
  ComPtr<IMAPITable> table;
  ASSERT_EQ(outbox->GetContentsTable(0, table.Receive()), S_OK);
  ASSERT_EQ(table->GetRowCount(0, &inOutbox), S_OK);
  EXPECT_EQ(inOutbox, 1u);
  // A message that is no longer in the folder it is moved from is reported, not moved.
  EXPECT_EQ(drafts->CopyMessages(&list, nullptr, outbox.Get(), 0, nullptr, MESSAGE_MOVE), MAPI_W_ERRORS_RETURNED);
}

// Files that are no store, or a store cut short, must give a clear error and leave the file alone.
TEST(MessageStore, DamagedStoreFilesAreRefusedWithAReason) {
  TestDevice device;
  std::filesystem::path file = device.root() / "message_store.db";
  {
    ComPtr<IMsgStore> store = OpenStore();
    for (int i = 0; i < 200; ++i) {
      ComPtr<IMessage> message = NewMessage(store.Get());
      SetText(message.Get(), PR_SUBJECT, u"a subject long enough to fill several pages of the database file");
    }
  }
  platform::CloseDevice();
  std::string whole = test_support::ReadFileBytes(file);
  ASSERT_GT(whole.size(), 8192u);
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"text", "this is not a database at all, just some text"},
      {"truncated", whole.substr(0, whole.size() / 2)},
      {"header only", whole.substr(0, 100)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(platform::OpenDevice(device.root(), platform::RegistrySeed::kFactory));
    std::filesystem::remove(device.root() / "message_store.db-wal");
    std::filesystem::remove(device.root() / "message_store.db-shm");
    test_support::WriteFileBytes(file, c.bytes);
    ComPtr<IMsgStore> store;
    std::string error;
    EXPECT_EQ(platform::OpenMessageStore(store.Receive(), &error), MAPI_E_CORRUPT_STORE);
    EXPECT_FALSE(store);
    EXPECT_NE(error.find("message store"), std::string::npos) << error;
    platform::CloseDevice();
  }
  ASSERT_TRUE(platform::OpenDevice(device.root(), platform::RegistrySeed::kFactory));
}

TEST(MailApi, ComposeAndFolderSwitchAreRecorded) {
  platform::ClearMailRequests();
  MAILCOMPOSEFIELDS fields{sizeof(MAILCOMPOSEFIELDS), 1, u"+123", nullptr, u"bcc", u"Re: x", u" ", 0, nullptr,
                           u"SMS", u"IPM.SMStext"};
  EXPECT_EQ(MailComposeMessage(&fields), S_OK);
  BYTE id[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(MailSwitchToFolder(reinterpret_cast<LPENTRYID>(id), sizeof id), S_OK);
  EXPECT_EQ(MailSwitchToFolder(nullptr, 0), E_INVALIDARG);
  MAILCOMPOSEFIELDS shortFields{8, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr};
  EXPECT_EQ(MailComposeMessage(&shortFields), E_INVALIDARG);

  const auto& requests = platform::MailRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].to, u"+123");
  EXPECT_EQ(requests[0].cc, u"");
  EXPECT_EQ(requests[0].messageClass, u"IPM.SMStext");
  EXPECT_EQ(requests[1].kind, platform::MailRequest::Kind::kSwitchToFolder);
  EXPECT_EQ(requests[1].folderEntryId, std::string("\1\2\3\4\5\6\7\x08", 8));
  platform::ClearMailRequests();
}

}  // namespace
