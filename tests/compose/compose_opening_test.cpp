// Opening a compose form on stored messages with bodies: a forward takes the body and one prefix,
// the client's send-option string forwards a file it names, a reopened notification is refused and
// an attachment the composer cannot take closes the form at once.
#include "forms/compose_opening.h"

#include <gtest/gtest.h>

#include "compose_host_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/ipc_flag.h"
#include "forms/compose_form.h"
#include "forms/message_import.h"
#include "forms/message_size.h"
#include "forms/store_properties.h"
#include "mm1/mm1_library.h"
#include "platform/automation/automation.h"
#include "platform/kernel/file_api.h"
#include "platform/window/window_styles.h"

namespace {

using binding_test::BindingTest;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

using composer_test::CountingHost;

class ComposeOpeningTest : public composer_test::ComposeHostTest {
 protected:
  static bool ClosedAtOnce() { return HostClosed() > 0; }

  // An MMS file of one text part, stored as a retrieved message of the Inbox.
  std::unique_ptr<StoreMessage> StoredWithText(const std::string& text, std::filesystem::path* file = nullptr) {
    auto folder = m_device.Host(u"\\source");
    std::filesystem::create_directories(folder);
    WriteFileBytes(folder / "note.txt", text);
    mm1::WriteHandle writer = mm1::CreateMessage();
    mm1::PartRecord record;
    record.folder = folder;
    record.fileName = "note.txt";
    record.contentType = "text/plain;charset=utf-8";
    EXPECT_TRUE(writer->AddPart(record));
    EXPECT_TRUE(writer->Write(folder / "message.mms"));
    if (file != nullptr) *file = folder / "message.mms";
    ImportResult imported = ImportMessageFile(ReadFileBytes(folder / "message.mms"), PR_INBOX_FOLDER_ENTRYID);
    EXPECT_TRUE(imported.ok) << imported.error;
    return std::make_unique<StoreMessage>(std::make_shared<const EntryId>(imported.entryId));
  }

  CComposeForm* Open(IMessage* message, DWORD mode, IMessage* source, const ComposeDataBlock* block) {
    return OpenForm(&m_host, message, mode, source, block);
  }

  CountingHost m_host;
};

TEST_F(ComposeOpeningTest, AForwardTakesTheBodyTheSendOptionsAndOnePrefix) {
  std::unique_ptr<StoreMessage> source = StoredWithText("words to pass on");
  ASSERT_TRUE(source->SetSubject(u"Fw: Minutes"));
  ASSERT_TRUE(source->SetLong(store_property::kOptionPriority, 130));
  ComPtr<IMessage> message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  CComposeForm* form = Open(message.Get(), 4, source->Get(), nullptr);
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(Prompts().empty());
  EXPECT_FALSE(ClosedAtOnce());
  MessageBinding* binding = form->Binding();
  ASSERT_NE(binding, nullptr);
  const CString partFolder = binding->PartFolder();
  EXPECT_EQ(form->Frame()->Binding(), binding);
  EXPECT_EQ(form->Frame()->OpenAction(), 4u);
  EXPECT_EQ(binding->Message().Subject(), u"Fw: Minutes");
  EXPECT_EQ(binding->Message().Long(store_property::kOptionPriority), 130);
  EXPECT_EQ(binding->Message().State(), message_state::kRetrieved);
  ASSERT_NE(binding->Model(), nullptr);
  EXPECT_EQ(binding->Model()->parts.size(), 1u);
  const CString dataFile = binding->DataFile();
  EXPECT_EQ(binding->Message().Size(), static_cast<LONG>(FileSizeForCheck(dataFile)));
  EXPECT_NE(GetFileAttributesW(partFolder), INVALID_FILE_ATTRIBUTES);
  form->Close();
  // Closing drops the form's part folder; the message and its data file stay for the host.
  EXPECT_EQ(GetFileAttributesW(partFolder), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW(dataFile), INVALID_FILE_ATTRIBUTES);
  ASSERT_EQ(m_host.closes.size(), 1u);
  EXPECT_EQ(m_host.closes[0], 0u);
  form->Release();
}

TEST_F(ComposeOpeningTest, TheClientsSendOptionStringForwardsTheFileItNames) {
  std::filesystem::path mmsFile;
  StoredWithText("kept by the client", &mmsFile);
  WriteFileBytes(m_device.Host(u"\\Temp\\handed.dat"), ReadFileBytes(mmsFile));
  SetIpcFlag();
  ComPtr<IMessage> message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  // Only eight of the twelve fields: the others read 0.
  const ComposeDataBlock block{{u"\\Temp\\handed.dat=0:1:0:0:0:5:128:130", nullptr, nullptr, u"About", nullptr}, 0};
  CComposeForm* form = Open(message.Get(), 0, nullptr, &block);
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(ClosedAtOnce());
  EXPECT_EQ(GetIpcFlag(), -1);
  MessageBinding* binding = form->Binding();
  EXPECT_EQ(form->Frame()->OpenAction(), 4u) << "the client asked for a forward";
  EXPECT_EQ(binding->Message().Subject(), u"Fw: About");
  EXPECT_EQ(binding->Message().ToList(), u"") << "the To word was the option string";
  EXPECT_EQ(binding->Message().Long(store_property::kOptionPriority), 130);
  EXPECT_EQ(binding->Message().Long(store_property::kOption1C), 5);
  EXPECT_EQ(binding->Message().Long(store_property::kOptionExpiry), 0);
  EXPECT_EQ(ReadFileBytes(m_device.Host(binding->DataFile().View())), ReadFileBytes(mmsFile));
  form->Close();
  form->Release();
}

TEST_F(ComposeOpeningTest, AReopenedMessageThatWasNeverDownloadedIsRefused) {
  ComPtr<IMessage> message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  {
    MessageBinding binding;
    ASSERT_TRUE(LoadBinding(binding, message.Get(), nullptr, 5));
    ASSERT_TRUE(binding.Message().SetState(message_state::kNotification));
  }
  platform::automation::QueueAnswer(IDOK);
  CComposeForm* form = Open(message.Get(), 5, nullptr, nullptr);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"Download this message before you forward it.");
  EXPECT_TRUE(ClosedAtOnce());
  form->Close();
  ASSERT_EQ(m_host.closes.size(), 1u);
  EXPECT_EQ(m_host.closes[0], 4u);
  form->Release();
}

TEST_F(ComposeOpeningTest, AnAttachmentOfAnUnknownKindStartsNoMessageAndUsesUpTheHandShake) {
  ComPtr<IMessage> message = NewMessage(PR_OUTBOX_FOLDER_ENTRYID);
  ComPtr<IAttach> attach;
  ULONG number = 0;
  ASSERT_EQ(message->CreateAttach(nullptr, 0, &number, attach.Receive()), S_OK);
  SPropValue prop{};
  prop.ulPropTag = PR_ATTACH_FILENAME;
  prop.Value.lpszW = const_cast<LPWSTR>(u"odd.qqqq");
  ASSERT_EQ(attach->SetProps(1, &prop, nullptr), S_OK);
  ComPtr<IUnknown> object;
  ASSERT_EQ(attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY, object.Receive()),
            S_OK);
  auto* stream = static_cast<IStream*>(object.Get());
  ASSERT_EQ(stream->Write("data", 4, nullptr), S_OK);
  ASSERT_EQ(stream->Commit(0), S_OK);

  // Generic attachments of a few kinds only, so that this one is of no kind the composer takes.
  ULC_Global* global = ULC_Global::GetGlobal();
  const CString generic = global->genericFilter;
  global->genericFilter = CString(u".pdf;");
  // The client also left its hand-shake: it is used up, and its option string is no recipient.
  SetIpcFlag();
  const ComposeDataBlock block{{u"\\Temp\\none.dat=1:1", nullptr, nullptr, nullptr, nullptr}, 0};
  platform::automation::QueueAnswer(IDOK);
  CComposeForm* form = Open(message.Get(), 5, nullptr, &block);
  global->genericFilter = generic;
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"This item is not supported in a message.");
  EXPECT_TRUE(ClosedAtOnce());
  EXPECT_EQ(form->Frame()->OpenAction(), 0u) << "the reopen became a new message";
  EXPECT_TRUE(ULC_Global::GetGlobal()->importedFile.IsEmpty());
  EXPECT_EQ(GetIpcFlag(), -1);
  EXPECT_EQ(form->Binding()->Message().ToList(), u"");
  form->Close();
  form->Release();
}

}  // namespace

namespace {

struct ActionHost : IFormHost {
  std::vector<DWORD> values;
  HRESULT FormClosed(IMMSForm*, IMessage*, DWORD) override { return S_OK; }
  HRESULT HostSlot1() override { return S_OK; }
  HRESULT HostSlot2() override { return S_OK; }
  HRESULT FormAction(IMMSForm*, IMessage*, DWORD action, DWORD reserved) override {
    values.push_back(action);
    values.push_back(reserved);
    return S_OK;
  }
};

TEST_F(BindingTest, TheComposeFormsOwnSlotsBindForwardAndRefuseWhatIsNotTheirs) {
  ActionHost host;
  auto* form = new CComposeForm(&host);
  IComposeForm* slots = form;
  EXPECT_EQ(slots->ForwardAction(form, nullptr, 9, 3), S_OK);
  EXPECT_EQ(host.values, (std::vector<DWORD>{9, 3}));
  DWORD argument = 0;
  EXPECT_EQ(form->Activate(&argument), static_cast<HRESULT>(0x80004001u)) << "a compose form is attached, not activated";
  EXPECT_EQ(form->Attach(0, nullptr), 87);
  EXPECT_EQ(form->Binding(), nullptr);

  ComPtr<IMessage> message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
  EXPECT_EQ(form->SetMessage(0, message.Get()), S_OK);
  ASSERT_NE(form->Binding(), nullptr);
  EXPECT_EQ(form->Binding()->Message().State(), message_state::kRetrieved) << "bound for composing";
  EXPECT_EQ(form->SetMessage(0, nullptr), 87);
  form->Close();
  EXPECT_EQ(form->Release(), 0u);
}

}  // namespace
