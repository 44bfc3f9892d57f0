// The form module as a host sees it: loaded by name, the read form opened, asked, acted on and let
// go through its slots; the messages the client's main window gets are logged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/form_provider.h"
#include "host_recorder.h"
#include "platform/automation/automation.h"
#include "platform/com/com_ptr.h"
#include "platform/kernel/module_api.h"
#include "platform/message_store/message_store.h"
#include "platform/window/window_api.h"
#include "platform/window/window_styles.h"
#include "support/test_device.h"
#include "transport/mms_global.h"

namespace {

constexpr ULONG kMessageStateTag = 0x80080003;
constexpr UINT kCommandDone = 1;

using namespace host_test;

class FormHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClientLog().clear();
    ParentLog().clear();
    platform::automation::Reset();
    std::string error;
    ASSERT_EQ(platform::OpenMessageStore(m_store.Receive(), &error), S_OK) << error;
    ULC_Global::GetGlobal()->messageStore = m_store.Get();
    m_client = MakeWindow(u"Ppc_WndCls_MainFrme", &ClientProcedure);
    m_parent = MakeWindow(u"HostFormParent", &ParentProcedure);
    m_module = LoadLibraryW(u"MMSForm.dll");
    ASSERT_NE(m_module, nullptr);
    m_init = reinterpret_cast<MMSForm_InitFn>(GetProcAddressW(m_module, u"MMSForm_Init"));
    m_uninit = reinterpret_cast<MMSForm_UninitFn>(GetProcAddressW(m_module, u"MMSForm_Uninit"));
    m_createRead = reinterpret_cast<MMSForm_CreateReadFormFn>(GetProcAddressW(m_module, u"MMSForm_CreateReadForm"));
    m_createCompose =
        reinterpret_cast<MMSForm_CreateComposeFormFn>(GetProcAddressW(m_module, u"MMSForm_CreateComposeForm"));
    ASSERT_TRUE(m_init && m_uninit && m_createRead && m_createCompose);
    ASSERT_EQ(m_init(), 1);
  }

  void TearDown() override {
    if (m_uninit) m_uninit();
    if (m_module) FreeLibrary(m_module);
    DestroyWindow(m_parent);
    DestroyWindow(m_client);
    platform::automation::PumpUntilIdle();
    ULC_Global::GetGlobal()->messageStore = nullptr;
  }

  ComPtr<IMessage> InboxMessage(LONG state) {
    SizedSPropTagArray<1> tags{1, {PR_INBOX_FOLDER_ENTRYID}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    EXPECT_EQ(m_store->GetProps(tags.get(), MAPI_UNICODE, &count, &values), S_OK);
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    m_store->OpenEntry(values[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[0].Value.bin.lpb), nullptr,
                       MAPI_MODIFY, &kind, object.Receive());
    MAPIFreeBuffer(values);
    ComPtr<IMAPIFolder> inbox(static_cast<IMAPIFolder*>(object.Detach()));
    ComPtr<IMessage> message;
    EXPECT_EQ(inbox->CreateMessage(nullptr, 0, message.Receive()), S_OK);
    SPropValue value{};
    value.ulPropTag = kMessageStateTag;
    value.Value.l = state;
    EXPECT_EQ(message->SetProps(1, &value, nullptr), S_OK);
    EXPECT_EQ(message->SaveChanges(KEEP_OPEN_READWRITE), S_OK);
    return message;
  }

  IMMSForm* OpenRead(IMessage* message, HRESULT expected = S_OK) {
    DWORD activateArg = 0xABCD;
    IMMSForm* form = reinterpret_cast<IMMSForm*>(0x1);
    EXPECT_EQ(m_createRead(&m_host, message, m_parent, &activateArg, &form), expected);
    if (expected == S_OK) EXPECT_EQ(activateArg, 0u);
    return form;
  }

  test_support::TestDevice m_device;
  ComPtr<IMsgStore> m_store;
  HWND m_client = nullptr;
  HWND m_parent = nullptr;
  HMODULE m_module = nullptr;
  MMSForm_InitFn m_init = nullptr;
  MMSForm_UninitFn m_uninit = nullptr;
  MMSForm_CreateReadFormFn m_createRead = nullptr;
  MMSForm_CreateComposeFormFn m_createCompose = nullptr;
  RecordingHost m_host;
};

TEST_F(FormHostTest, InitSetsTheTitlesAndPictureHooksAndUninitRemovesTheHooks) {
  ULC_Global* global = ULC_Global::GetGlobal();
  EXPECT_FALSE(global->appTitle.IsEmpty());
  EXPECT_FALSE(global->appTitle2.IsEmpty());
  EXPECT_NE(global->imageDecodeHook, nullptr);
  EXPECT_NE(global->imageSizeHook, nullptr);
  EXPECT_EQ(m_uninit(), TRUE);
  // The hooks point into the module, which the host may unload next.
  EXPECT_EQ(global->imageDecodeHook, nullptr);
  EXPECT_EQ(global->imageSizeHook, nullptr);
}

TEST_F(FormHostTest, ReadFormAnswersItsOwnIdAndIUnknownOnlyAndCountsReferences) {
  ComPtr<IMessage> message = InboxMessage(0);
  IMMSForm* form = OpenRead(message.Get());
  ASSERT_NE(form, nullptr);

  void* answer = nullptr;
  ASSERT_EQ(form->QueryInterface(IID_IMMSForm, &answer), S_OK);
  EXPECT_EQ(answer, form);
  ASSERT_EQ(form->QueryInterface(IID_IUnknown, &answer), S_OK);
  EXPECT_EQ(answer, form);
  const IID other = {0x501A8BFB, 0xD672, 0x4B34, {0xBA, 0xCF, 0x85, 0xC4, 0x20, 0x51, 0x86, 0x8F}};
  answer = form;
  EXPECT_EQ(form->QueryInterface(other, &answer), E_NOINTERFACE);
  EXPECT_EQ(answer, nullptr);
  // Two references handed out by the two answers, plus the creator's.
  EXPECT_EQ(form->AddRef(), 4u);
  EXPECT_EQ(form->Release(), 3u);
  EXPECT_EQ(form->Release(), 2u);
  EXPECT_EQ(form->Release(), 1u);

  DWORD flags = 0x5A5A;
  EXPECT_EQ(form->GetFormFlags(&flags), S_OK);
  EXPECT_EQ(flags, 0x5A5Au);
  EXPECT_EQ(form->SetMessage(5, nullptr), 87);

  EXPECT_EQ(form->Close(), S_OK);
  EXPECT_EQ(form->Release(), 0u);
  ASSERT_EQ(m_host.calls.size(), 1u);
  EXPECT_EQ(m_host.calls[0].name, "FormClosed");
  EXPECT_EQ(m_host.calls[0].value, 0u);
}

TEST_F(FormHostTest, OpenMakesTheHiddenFrameOwnedByTheHostAndCloseEndsIt) {
  ComPtr<IMessage> message = InboxMessage(0);
  IMMSForm* form = OpenRead(message.Get());
  ASSERT_NE(form, nullptr);
  HWND frame = FindWindowW(u"Ppc_WndCls_ReadFrame", u"ReadFrame");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(GetWindow(frame, GW_OWNER), m_parent);
  RECT rect{};
  GetWindowRect(frame, &rect);
  EXPECT_EQ(rect.right - rect.left, 0);
  EXPECT_EQ(rect.bottom - rect.top, 0);

  // The plain read reaches the frame as a queued verb; the host hears that it was dealt with.
  platform::automation::PumpUntilIdle();
  ASSERT_FALSE(ParentLog().empty());
  EXPECT_EQ(ParentLog()[0], std::make_pair(WM_COMMAND, WPARAM{kCommandDone}));

  form->Close();
  EXPECT_FALSE(IsWindow(frame));
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(ParentLog().back().first, WM_CLOSE);
  form->Release();
}

TEST_F(FormHostTest, DoActionHandsTheMessageBackThenCloses) {
  ComPtr<IMessage> message = InboxMessage(0);
  IMMSForm* form = OpenRead(message.Get());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->DoAction(2), S_OK);
  EXPECT_TRUE(m_host.calls.empty());
  EXPECT_EQ(form->DoAction(1), S_OK);
  ASSERT_EQ(m_host.calls.size(), 2u);
  EXPECT_EQ(m_host.calls[0].name, "FormAction");
  EXPECT_EQ(m_host.calls[0].form, form);
  EXPECT_EQ(m_host.calls[0].message, message.Get());
  EXPECT_EQ(m_host.calls[0].value, 5u);
  EXPECT_EQ(m_host.calls[1].name, "FormClosed");
  EXPECT_EQ(FindWindowW(u"Ppc_WndCls_ReadFrame", nullptr), nullptr);
  // The host's own Close that follows is not a second close.
  EXPECT_EQ(form->Close(), S_OK);
  EXPECT_EQ(m_host.calls.size(), 2u);
  form->Release();
}

TEST_F(FormHostTest, UnopenableMessageFailsWithoutAFormAndTellsTheClient) {
  ComPtr<IMessage> message = InboxMessage(6);
  platform::automation::QueueAnswer(IDOK);
  IMMSForm* form = OpenRead(message.Get(), E_FAIL);
  EXPECT_EQ(form, nullptr);
  const auto& prompts = platform::automation::PromptLog();
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].text, u"This message cannot be opened.");
  platform::automation::PumpUntilIdle();
  ASSERT_EQ(ClientLog().size(), 1u);
  EXPECT_EQ(ClientLog()[0], WM_FORM_FAILED);
  EXPECT_EQ(FindWindowW(u"Ppc_WndCls_ReadFrame", nullptr), nullptr);
}

TEST_F(FormHostTest, NullMessageOrFormPointerIsAnInvalidParameterWithItsDebugLine) {
  ComPtr<IMessage> message = InboxMessage(0);
  DWORD activateArg = 7;
  IMMSForm* form = nullptr;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(m_createRead(&m_host, nullptr, m_parent, &activateArg, &form), E_INVALIDARG);
  EXPECT_EQ(m_createRead(&m_host, message.Get(), m_parent, &activateArg, nullptr), E_INVALIDARG);
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(activateArg, 7u);
  size_t first = log.find("Invalid parameter passed at MMSFormProvider:");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_NE(log.find("Invalid parameter passed at MMSFormProvider:", first + 1), std::string::npos) << log;
  EXPECT_EQ(FindWindowW(u"Ppc_WndCls_ReadFrame", nullptr), nullptr);
}

}  // namespace
