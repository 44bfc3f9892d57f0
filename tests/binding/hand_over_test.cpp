#include <gtest/gtest.h>
#include <sys/stat.h>

#include "binding_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/client_window.h"
#include "device/ipc_flag.h"
#include "forms/hand_over.h"
#include "forms/store_properties.h"
#include "platform/message_store/mail_api.h"
#include "platform/window/window_api.h"

namespace {

using binding_test::BindingTest;
using namespace store_property;

const SubjectPrefixes kPrefixes{CString(u"Fw:"), CString(u"Re:")};

class HandOverTest : public BindingTest {
 protected:
  void SetUp() override {
    BindingTest::SetUp();
    platform::ClearMailRequests();
    ClearIpcFlag();
    m_message = NewMessage();
    ASSERT_TRUE(LoadBinding(m_binding, m_message.Get(), nullptr, 5));
    m_binding.Message().SetSenderAddress(u"\"Ann\"<+358401>");
    m_binding.Message().SetSubject(u"fw: holiday");
  }
  const platform::MailRequest& LastRequest() {
    static const platform::MailRequest kNone;
    return platform::MailRequests().empty() ? kNone : platform::MailRequests().back();
  }
  ComPtr<IMessage> m_message;
  MessageBinding m_binding;
};

TEST_F(HandOverTest, AnMmsReplyReplacesTheForwardPrefixAndSetsTheHandShake) {
  SetConfigValue(numeric_setting::kNeedAddSpaceAfterFwRe, 1, FALSE);
  m_binding.Message().SetSubject(u"Fw: holiday");
  EXPECT_EQ(ReplyHandOver(nullptr, &m_binding, 1, kPrefixes), 1);
  const platform::MailRequest& request = LastRequest();
  EXPECT_EQ(request.subject, u"Re: holiday");
  EXPECT_EQ(request.to, u"\"Ann\"<+358401>");
  EXPECT_EQ(request.bcc, u"QuillonMenuExtReply");
  EXPECT_EQ(request.account, u"MMS");
  EXPECT_EQ(GetIpcFlag(), static_cast<LONG>(kIpcReplyPending));
  EXPECT_EQ(ULC_Global::GetGlobal()->mmsComposeFlag, 1);
}

TEST_F(HandOverTest, ATextReplyHandsOverNoSubjectAndLeavesTheHandShakeAlone) {
  SPropValue signature[2] = {};
  signature[0].ulPropTag = kStoreSignatureOn;
  signature[0].Value.b = 1;
  signature[1].ulPropTag = kStoreSignatureOnReplies;
  signature[1].Value.b = 0;
  ASSERT_EQ(m_store->SetProps(2, signature, nullptr), S_OK);
  EXPECT_EQ(ReplyHandOver(nullptr, &m_binding, 0, kPrefixes), 1);
  const platform::MailRequest& request = LastRequest();
  EXPECT_EQ(request.subject, u"");
  EXPECT_EQ(request.bcc, u"");
  EXPECT_EQ(request.body, u" ");
  EXPECT_EQ(request.messageClass, u"IPM.SMStext");
  EXPECT_EQ(GetIpcFlag(), -1);
  EXPECT_EQ(ReplyHandOver(nullptr, &m_binding, 3, kPrefixes), 0);
  EXPECT_EQ(ReplyHandOver(nullptr, nullptr, 1, kPrefixes), 0);
}

TEST_F(HandOverTest, AForwardCarriesTwelveSendOptionsAndOnlyKnownClassesGo) {
  m_binding.Message().SetMessageClassText(u"IPM.Note");
  EXPECT_EQ(ForwardHandOver(nullptr, &m_binding, kPrefixes), 0);
  EXPECT_TRUE(platform::MailRequests().empty());

  m_binding.Message().SetMessageClassText(u"ipm.mms");
  SetConfigValue(numeric_setting::kNeedAddSpaceAfterFwRe, 0, FALSE);
  EXPECT_EQ(ForwardHandOver(nullptr, &m_binding, kPrefixes), 1);
  const platform::MailRequest& request = LastRequest();
  EXPECT_EQ(CString(request.to), m_binding.DataFile() + u"=0 : 0 : 0 : 0 : 0 : 0 : 0 : 0 :0 : 0 : 0 : 0");
  EXPECT_EQ(request.subject, u"Fw: holiday");
  EXPECT_EQ(request.account, u"MMS");
  EXPECT_EQ(GetIpcFlag(), static_cast<LONG>(kIpcReplyPending));

  m_binding.Message().SetBool(kReadReport, TRUE);
  m_binding.Message().WritePriority(130);
  m_binding.Message().SetLong(kOptionExpiry, 86400);
  ForwardHandOver(nullptr, &m_binding, kPrefixes);
  EXPECT_EQ(CString(LastRequest().to), m_binding.DataFile() + u"=0 : 1 : 0 : 0 : 0 : 0 : 0 : 130 :0 : 0 : 0 : 86400");
}

TEST_F(HandOverTest, WithTheComposerProgramTheStringsGoIntoTheHandOverFile) {
  std::filesystem::path program = m_device.root() / "windows" / "TyrMC.exe";
  test_support::WriteFileBytes(program, "#!/bin/sh\nexit 0\n");
  chmod(program.c_str(), 0755);
  HandOverStrings strings{CString(u"+1"), CString(u"Re: x"), CString(u"MMS"), CString(u"IPM.MMS"), CString(),
                          CString(u"b")};
  EXPECT_EQ(HandOverToComposer(nullptr, strings), 1);
  EXPECT_TRUE(platform::MailRequests().empty());
  std::string file = test_support::ReadFileBytes(m_device.Host(u"\\My Documents\\UAContents\\ReComposer.tmp"));
  auto record = [](std::u16string_view text) {
    std::string bytes(4, '\0');
    bytes[0] = static_cast<char>(text.size());
    for (char16_t c : text) bytes += std::string{static_cast<char>(c), '\0'};
    return bytes;
  };
  EXPECT_EQ(file, record(u"+1") + record(u"b") + record(u"Re: x") + record(u"MMS") + record(u"IPM.MMS") + record(u""));
}

LRESULT PlainWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(HandOverTest, TheClientIsFoundWhenRunningAndNotWaitedForWhenItCannotStart) {
  SetConfigString(string_setting::kTransportPath, u"\\windows\\Missing.exe", FALSE);
  HWND found = nullptr;
  EXPECT_FALSE(FindOrLaunchClient(&found));

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PlainWindow;
  windowClass.lpszClassName = kClientWindowClass;
  RegisterClassW(&windowClass);
  HWND client = CreateWindowExW(0, kClientWindowClass, u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(client, nullptr);
  EXPECT_TRUE(FindOrLaunchClient(&found));
  EXPECT_EQ(found, client);
  DestroyWindow(client);
  UnregisterClassW(kClientWindowClass, nullptr);
}

}  // namespace
