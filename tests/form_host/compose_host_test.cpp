// The compose form as a host sees it: loaded by name, opened through MMSForm_CreateComposeForm in
// its modes with data blocks, and closed and released through its slots. What the new message
// holds is read back from the store; what the client's main window and the host's window get is
// logged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/compose_data_block.h"
#include "forms/form_provider.h"
#include "host_recorder.h"
#include "platform/automation/automation.h"
#include "platform/com/com_ptr.h"
#include "platform/kernel/module_api.h"
#include "platform/message_store/message_store.h"
#include "platform/registry/registry.h"
#include "platform/window/window_api.h"
#include "platform/window/window_styles.h"
#include "support/test_device.h"
#include "transport/mms_global.h"

namespace {

constexpr ULONG kStateTag = 0x80080003;
constexpr ULONG kToListTag = 0x800C001F;
constexpr ULONG kBccListTag = 0x800E001F;
constexpr ULONG kSubjectTag = 0x0037001F;
constexpr ULONG kSenderTag = 0x800B001F;
constexpr const WCHAR* kUiKey = u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config\\UI";
constexpr const WCHAR* kHandShakeValue = u"Quillon_IPC_Name";

using namespace host_test;

void SetHandShake(bool set) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUiKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (set) {
    DWORD value = 4096;
    RegSetValueExW(key, kHandShakeValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  } else {
    RegDeleteValueW(key, kHandShakeValue);
  }
  RegCloseKey(key);
}

bool HandShakeIsSet() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUiKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD value = 0;
  DWORD size = sizeof value;
  const bool found = RegQueryValueExW(key, kHandShakeValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
                     ERROR_SUCCESS;
  RegCloseKey(key);
  return found;
}

class ComposeHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClientLog().clear();
    ParentLog().clear();
    platform::automation::Reset();
    std::string error;
    ASSERT_EQ(platform::OpenMessageStore(m_store.Receive(), &error), S_OK) << error;
    ULC_Global::GetGlobal()->messageStore = m_store.Get();
    m_client = MakeWindow(u"Ppc_WndCls_MainFrme", &ClientProcedure);
    m_parent = MakeWindow(u"ComposeHostParent", &ParentProcedure);
    m_module = LoadLibraryW(u"MMSForm.dll");
    ASSERT_NE(m_module, nullptr);
    m_init = reinterpret_cast<MMSForm_InitFn>(GetProcAddressW(m_module, u"MMSForm_Init"));
    m_uninit = reinterpret_cast<MMSForm_UninitFn>(GetProcAddressW(m_module, u"MMSForm_Uninit"));
    m_create =
        reinterpret_cast<MMSForm_CreateComposeFormFn>(GetProcAddressW(m_module, u"MMSForm_CreateComposeForm"));
    ASSERT_TRUE(m_init && m_uninit && m_create);
    ASSERT_EQ(m_init(), 1);
  }

  void TearDown() override {
    if (m_uninit) m_uninit();
    if (m_module) FreeLibrary(m_module);
    DestroyWindow(m_parent);
    DestroyWindow(m_client);
    platform::automation::PumpUntilIdle();
    platform::automation::Reset();
    ULC_Global::GetGlobal()->messageStore = nullptr;
  }

  ComPtr<IMAPIFolder> Folder(ULONG tag) {
    SizedSPropTagArray<1> tags{1, {tag}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    EXPECT_EQ(m_store->GetProps(tags.get(), MAPI_UNICODE, &count, &values), S_OK);
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    m_store->OpenEntry(values[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[0].Value.bin.lpb), nullptr,
                       MAPI_MODIFY, &kind, object.Receive());
    MAPIFreeBuffer(values);
    return ComPtr<IMAPIFolder>(static_cast<IMAPIFolder*>(object.Detach()));
  }

  ComPtr<IMessage> StoredMessage(ULONG folder, LONG state, LPCWSTR subject = nullptr, LPCWSTR sender = nullptr) {
    ComPtr<IMessage> message;
    EXPECT_EQ(Folder(folder)->CreateMessage(nullptr, 0, message.Receive()), S_OK);
    std::vector<SPropValue> values(1);
    values[0].ulPropTag = kStateTag;
    values[0].Value.l = state;
    if (subject) values.push_back(SPropValue{kSubjectTag, 0, {.lpszW = const_cast<LPWSTR>(subject)}});
    if (sender) values.push_back(SPropValue{kSenderTag, 0, {.lpszW = const_cast<LPWSTR>(sender)}});
    EXPECT_EQ(message->SetProps(static_cast<ULONG>(values.size()), values.data(), nullptr), S_OK);
    EXPECT_EQ(message->SaveChanges(KEEP_OPEN_READWRITE), S_OK);
    return message;
  }

  // A text property of the message as the store holds it now, read through a fresh open.
  std::u16string StoredText(IMessage* message, ULONG tag) {
    SizedSPropTagArray<1> idTag{1, {PR_ENTRYID}};
    ULONG count = 0;
    LPSPropValue id = nullptr;
    EXPECT_EQ(message->GetProps(idTag.get(), 0, &count, &id), S_OK);
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    m_store->OpenEntry(id[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(id[0].Value.bin.lpb), nullptr, 0, &kind,
                       object.Receive());
    MAPIFreeBuffer(id);
    ComPtr<IMessage> fresh(static_cast<IMessage*>(object.Detach()));
    SizedSPropTagArray<1> tags{1, {tag}};
    LPSPropValue values = nullptr;
    std::u16string text;
    if (SUCCEEDED(fresh->GetProps(tags.get(), MAPI_UNICODE, &count, &values)) && values[0].ulPropTag == tag) {
      text = values[0].Value.lpszW;
    }
    MAPIFreeBuffer(values);
    return text;
  }

  IMMSForm* Open(IMessage* message, DWORD mode, IMessage* source, const ComposeDataBlock* block,
                 HRESULT expected = S_OK) {
    IMMSForm* form = reinterpret_cast<IMMSForm*>(0x1);
    EXPECT_EQ(m_create(&m_host, message, mode, source, const_cast<ComposeDataBlock*>(block), m_parent, 0, &form,
                       u"IPM.MMS"),
              expected);
    return form;
  }

  std::vector<std::u16string> Prompts() const {
    std::vector<std::u16string> texts;
    for (const auto& prompt : platform::automation::PromptLog()) texts.push_back(prompt.text);
    return texts;
  }

  bool ClosesAtOnce() const {
    for (const auto& [message, wParam] : ParentLog()) {
      if (message == WM_COMMAND && wParam == 1) return true;
    }
    return false;
  }

  test_support::TestDevice m_device;
  ComPtr<IMsgStore> m_store;
  HWND m_client = nullptr;
  HWND m_parent = nullptr;
  HMODULE m_module = nullptr;
  MMSForm_InitFn m_init = nullptr;
  MMSForm_UninitFn m_uninit = nullptr;
  MMSForm_CreateComposeFormFn m_create = nullptr;
  RecordingHost m_host;
};

TEST_F(ComposeHostTest, ANewMessageTakesTheBlocksWordsAndItsFormClosesOnce) {
  ComPtr<IMessage> message = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  std::u16string subject(100000, u's');
  const ComposeDataBlock block{{u"\"Doe, Jane\"<+358401234567>,ann@example.com", nullptr, nullptr, subject.c_str(),
                                nullptr},
                               1};
  IMMSForm* form = Open(message.Get(), 0, nullptr, &block);
  ASSERT_NE(form, nullptr);
  platform::automation::PumpUntilIdle();
  EXPECT_TRUE(Prompts().empty());
  EXPECT_FALSE(ClosesAtOnce());
  EXPECT_TRUE(ClientLog().empty());
  EXPECT_EQ(StoredText(message.Get(), kToListTag), u"\"Doe, Jane\"<+358401234567>;ann@example.com");
  EXPECT_EQ(StoredText(message.Get(), kSubjectTag), subject) << "the store keeps it; the header shows 40";

  HWND frame = FindWindowW(u"Ppc_WndCls_ComposerFrame", u"ComposerFrame");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(ULC_Global::GetGlobal()->composerWindow, frame);
  EXPECT_TRUE(IsWindowVisible(frame)) << "shown once the new message has loaded into it";
  DWORD flags = 0;
  EXPECT_EQ(form->GetFormFlags(&flags), S_OK);
  EXPECT_EQ(flags, 2u);
  void* answer = nullptr;
  ASSERT_EQ(form->QueryInterface(IID_IMMSForm, &answer), S_OK);
  EXPECT_EQ(answer, form);
  EXPECT_EQ(form->Release(), 1u);
  EXPECT_EQ(form->SetMessage(0, nullptr), 87);

  EXPECT_EQ(form->Close(), S_OK);
  EXPECT_EQ(form->Close(), S_OK);
  ASSERT_EQ(m_host.calls.size(), 1u);
  EXPECT_EQ(m_host.calls[0].name, "FormClosed");
  EXPECT_EQ(m_host.calls[0].value, 4u) << "bit 0 of the flags word";
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_EQ(ULC_Global::GetGlobal()->composerWindow, nullptr);
  platform::automation::PumpUntilIdle();
  ASSERT_FALSE(ParentLog().empty());
  EXPECT_EQ(ParentLog().back().first, WM_CLOSE);
  EXPECT_EQ(form->Release(), 0u);
}

TEST_F(ComposeHostTest, ADataBlockOfNullWordsOpensAnEmptyMessageUnlessTheHandShakeAsksForAForward) {
  ComPtr<IMessage> message = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  const ComposeDataBlock block{{nullptr, nullptr, nullptr, nullptr, nullptr}, 0};
  SetHandShake(true);
  IMMSForm* form = Open(message.Get(), 0, nullptr, &block);
  ASSERT_NE(form, nullptr);
  platform::automation::PumpUntilIdle();
  // With the hand-shake set and no Bcc word, the null To word is an empty send-option string:
  // no forward comes of it, and the form closes at once without a message.
  EXPECT_TRUE(Prompts().empty());
  EXPECT_TRUE(ClosesAtOnce());
  EXPECT_FALSE(HandShakeIsSet()) << "the hand-shake is used up";
  EXPECT_EQ(StoredText(message.Get(), kToListTag), u"");
  form->Close();
  form->Release();
  ASSERT_EQ(m_host.calls.size(), 1u);
  EXPECT_EQ(m_host.calls[0].value, 4u);

  // Without the hand-shake the same block opens an ordinary empty message.
  ParentLog().clear();
  m_host.calls.clear();
  form = Open(message.Get(), 0, nullptr, &block);
  ASSERT_NE(form, nullptr);
  platform::automation::PumpUntilIdle();
  EXPECT_FALSE(ClosesAtOnce());
  form->Close();
  form->Release();
  ASSERT_EQ(m_host.calls.size(), 1u);
  EXPECT_EQ(m_host.calls[0].value, 0u);
}

TEST_F(ComposeHostTest, AReplyToADeliveryReportIsRefusedAndTheFormClosesAtOnce) {
  ComPtr<IMessage> report = StoredMessage(PR_INBOX_FOLDER_ENTRYID, 4, u"Delivered");
  ComPtr<IMessage> message = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  platform::automation::QueueAnswer(IDOK);
  IMMSForm* form = Open(message.Get(), 1, report.Get(), nullptr);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"Delivery and read reports cannot be replied to or forwarded.");
  EXPECT_EQ(GetMMSGlobal()->composeAbortForm, static_cast<void*>(form));
  platform::automation::PumpUntilIdle();
  ASSERT_EQ(ClientLog().size(), 1u);
  EXPECT_EQ(ClientLog()[0], WM_FORM_FAILED);
  EXPECT_TRUE(ClosesAtOnce());

  // The host closes on the command it was posted; the form says it closed without sending.
  form->Close();
  ASSERT_EQ(m_host.calls.size(), 1u);
  EXPECT_EQ(m_host.calls[0].value, 4u);
  EXPECT_EQ(GetMMSGlobal()->composeAbort, 0);
  EXPECT_EQ(GetMMSGlobal()->composeAbortForm, nullptr);
  form->Release();
}

TEST_F(ComposeHostTest, AForwardOfAMessageNeverDownloadedIsRefused) {
  ComPtr<IMessage> notification = StoredMessage(PR_INBOX_FOLDER_ENTRYID, 3, u"Pending");
  ComPtr<IMessage> message = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  platform::automation::QueueAnswer(IDOK);
  IMMSForm* form = Open(message.Get(), 4, notification.Get(), nullptr);
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Prompts()[0], u"This message has not been downloaded yet and cannot be forwarded.");
  platform::automation::PumpUntilIdle();
  EXPECT_TRUE(ClosesAtOnce());
  form->Close();
  form->Release();
}

TEST_F(ComposeHostTest, WithoutTheHandShakeTheSpecialWordsAreOrdinaryWords) {
  ComPtr<IMessage> source = StoredMessage(PR_INBOX_FOLDER_ENTRYID, 1, u"Plans", u"+358402222");
  ComPtr<IMessage> message = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  SetHandShake(false);
  const ComposeDataBlock block{{u"+358403333", nullptr, u"QuillonMenuExtReplyAll", nullptr, nullptr}, 0};
  IMMSForm* form = Open(message.Get(), 0, source.Get(), &block);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(StoredText(message.Get(), kBccListTag), u"QuillonMenuExtReplyAll");
  EXPECT_EQ(StoredText(message.Get(), kToListTag), u"+358403333");
  EXPECT_EQ(StoredText(message.Get(), kSubjectTag), u"") << "still a new message, not a reply";
  form->Close();
  form->Release();

  // With it, the same word asks for a reply to all, and the hand-shake is cleared.
  SetHandShake(true);
  ComPtr<IMessage> second = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  form = Open(second.Get(), 0, source.Get(), &block);
  ASSERT_NE(form, nullptr);
  EXPECT_FALSE(HandShakeIsSet());
  EXPECT_EQ(StoredText(second.Get(), kSubjectTag), u"Re: Plans");
  EXPECT_EQ(StoredText(second.Get(), kToListTag), u"+358402222");
  EXPECT_EQ(StoredText(second.Get(), kBccListTag), u"");
  form->Close();
  form->Release();
}

TEST_F(ComposeHostTest, ALowerCaseCreationRequestIsTakenAndItsSwitchIsNoRecipient) {
  ComPtr<IMessage> message = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  const ComposeDataBlock block{{u"+358401234567", nullptr, u"/vr", nullptr, u"/c-c"}, 0};
  IMMSForm* form = Open(message.Get(), 0, nullptr, &block);
  ASSERT_NE(form, nullptr);
  platform::automation::PumpUntilIdle();
  EXPECT_FALSE(ClosesAtOnce());
  EXPECT_EQ(StoredText(message.Get(), kBccListTag), u"");
  EXPECT_EQ(StoredText(message.Get(), kToListTag), u"+358401234567");
  form->Close();
  form->Release();

  // A switch without its marker is only a Bcc word.
  ComPtr<IMessage> second = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  const ComposeDataBlock unmarked{{u"+358401234567", nullptr, u"/VR", nullptr, nullptr}, 0};
  form = Open(second.Get(), 0, nullptr, &unmarked);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(StoredText(second.Get(), kBccListTag), u"/VR");
  form->Close();
  form->Release();
}

TEST_F(ComposeHostTest, NullMessageOrFormPointerIsAnInvalidParameterAndTheClientIsTold) {
  ComPtr<IMessage> message = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  ::testing::internal::CaptureStderr();
  IMMSForm* form = Open(nullptr, 0, nullptr, nullptr, E_INVALIDARG);
  EXPECT_EQ(m_create(&m_host, message.Get(), 0, nullptr, nullptr, m_parent, 0, nullptr, u"IPM.MMS"), E_INVALIDARG);
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(form, nullptr);
  const std::size_t first = log.find("Invalid parameter passed at MMSFormProvider:");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_NE(log.find("Invalid parameter passed at MMSFormProvider:", first + 1), std::string::npos) << log;
  platform::automation::PumpUntilIdle();
  ASSERT_EQ(ClientLog().size(), 2u);
  EXPECT_EQ(ClientLog()[0], WM_FORM_FAILED);
  EXPECT_EQ(FindWindowW(u"Ppc_WndCls_ComposerFrame", nullptr), nullptr);
  EXPECT_TRUE(m_host.calls.empty());
}

TEST_F(ComposeHostTest, DoActionHandsTheMessageBackAndTheHostsCloseIsNoSecondClose) {
  ComPtr<IMessage> message = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  IMMSForm* form = Open(message.Get(), 0, nullptr, nullptr);
  ASSERT_NE(form, nullptr);
  // A new empty message waits in the template chooser, which must not hold the host up.
  EXPECT_NE(FindWindowW(u"Dialog", u"Templates"), nullptr);
  EXPECT_EQ(form->DoAction(2), S_OK);
  EXPECT_TRUE(m_host.calls.empty());
  EXPECT_EQ(form->DoAction(1), S_OK);
  ASSERT_EQ(m_host.calls.size(), 2u);
  EXPECT_EQ(m_host.calls[0].name, "FormAction");
  EXPECT_EQ(m_host.calls[0].value, 5u);
  EXPECT_EQ(m_host.calls[1].name, "FormClosed");
  EXPECT_EQ(FindWindowW(u"Ppc_WndCls_ComposerFrame", nullptr), nullptr);
  EXPECT_EQ(FindWindowW(u"Dialog", u"Templates"), nullptr);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(form->Close(), S_OK);
  EXPECT_EQ(m_host.calls.size(), 2u);
  form->Release();
}

TEST_F(ComposeHostTest, ARecipientListOfTenThousandCharactersWithAnUnbalancedQuoteIsStoredWhole) {
  ComPtr<IMessage> message = StoredMessage(PR_DRAFTS_FOLDER_ENTRYID, 0);
  std::u16string to;
  std::u16string stored;
  for (int i = 0; to.size() < 10000; ++i) {
    const std::u16string entry = u"\"Name, " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u"\"<+35840" +
                                 std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u">";
    to += (i ? u"," : u"") + entry;
    stored += (i ? u";" : u"") + entry;
  }
  // The quote at the end never closes: the comma before it still separates.
  to += u",\"Open, end<+35841>";
  stored += u";\"Open, end<+35841>";
  const ComposeDataBlock block{{to.c_str(), nullptr, nullptr, nullptr, nullptr}, 0};
  IMMSForm* form = Open(message.Get(), 0, nullptr, &block);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(StoredText(message.Get(), kToListTag), stored);
  form->Close();
  form->Release();
}

}  // namespace
