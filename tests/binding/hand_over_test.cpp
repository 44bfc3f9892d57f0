#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "binding_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/client_window.h"
#include "device/ipc_flag.h"
#include "device/wait_cursor.h"
#include "forms/hand_over.h"
#include "forms/store_properties.h"
#include "platform/automation/automation.h"
#include "platform/dialog/dialog_api.h"
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
    platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt& prompt) {
      ADD_FAILURE() << "unexpected prompt: " << CString(prompt.text.c_str()).ToUtf8();
    });
    platform::ClearMailRequests();
    ClearIpcFlag();
    m_message = NewMessage();
    ASSERT_TRUE(LoadBinding(m_binding, m_message.Get(), nullptr, 5));
    m_binding.Message().SetSenderAddress(u"\"Ann\"<+358401>");
    m_binding.Message().SetSubject(u"fw: holiday");
  }
  void TearDown() override {
    platform::automation::Reset();
    platform::automation::SetUnexpectedPromptHandler(nullptr);
    BindingTest::TearDown();
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

// An empty dialog that stands for the one offering the reply and forward commands.
std::vector<WORD> OwnerDialogTemplate() {
  std::vector<WORD> words;
  auto add32 = [&words](DWORD value) {
    words.push_back(static_cast<WORD>(value & 0xFFFF));
    words.push_back(static_cast<WORD>(value >> 16));
  };
  add32(WS_POPUP | WS_VISIBLE);
  add32(0);
  // No items; x, y, cx, cy; no menu; the dialog class.
  for (int value : {0, 0, 0, 120, 80, 0, 0}) words.push_back(static_cast<WORD>(value));
  for (char16_t c : std::u16string_view(u"Message")) words.push_back(c);
  words.push_back(0);
  return words;
}

const DLGTEMPLATE* AsTemplate(const std::vector<WORD>& words) {
  return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

// What the forwarding dialog saw: the forward's result, and the cursor showing when it was ended.
struct ForwardingDialogRun {
  MessageBinding* binding = nullptr;
  int result = -1;
  bool hidden = false;
  HCURSOR cursorWhenHidden = nullptr;
};
ForwardingDialogRun g_forwardingRun;
constexpr UINT kForwardCommand = WM_USER + 40;

INT_PTR ForwardingDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: PostMessageW(dialog, kForwardCommand, 0, 0); return TRUE;
    case kForwardCommand:
      g_forwardingRun.result = ForwardHandOver(dialog, g_forwardingRun.binding, kPrefixes);
      return TRUE;
    case WM_SHOWWINDOW:
      if (wParam == FALSE) {
        g_forwardingRun.hidden = true;
        g_forwardingRun.cursorWhenHidden = GetCursor();
      }
      return FALSE;
    default: return FALSE;
  }
}

INT_PTR PassiveDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(HandOverTest, AModalOwnerEndsAsCancelledWhileTheForwardShowsTheWaitCursor) {
  m_binding.Message().SetMessageClassText(u"IPM.MMS");
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  SetCursor(arrow);
  g_forwardingRun = ForwardingDialogRun{&m_binding};
  std::vector<WORD> dialogTemplate = OwnerDialogTemplate();
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, AsTemplate(dialogTemplate), nullptr, ForwardingDialog, 0), IDCANCEL);
  EXPECT_EQ(g_forwardingRun.result, 1);
  EXPECT_TRUE(g_forwardingRun.hidden);
  EXPECT_EQ(g_forwardingRun.cursorWhenHidden, LoadCursorW(nullptr, IDC_WAIT));
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_EQ(platform::MailRequests().size(), 1u);
  // The dialog was ended by the forward, not answered for an absent user.
  EXPECT_TRUE(platform::automation::PromptLog().empty());
}

TEST_F(HandOverTest, OnlyADialogOwnerIsEndedAndTheHandOverGoesWhateverTheOwner) {
  HandOverStrings strings{CString(u"+1"), CString(u"Re: x"), CString(u"MMS"), CString(u"IPM.MMS"), CString(),
                          CString()};
  std::vector<WORD> dialogTemplate = OwnerDialogTemplate();
  HWND modeless = CreateDialogIndirectParamW(nullptr, AsTemplate(dialogTemplate), nullptr, PassiveDialog, 0);
  ASSERT_NE(modeless, nullptr);
  ASSERT_TRUE(IsWindowVisible(modeless));
  EXPECT_EQ(HandOverToComposer(modeless, strings), 1);
  EXPECT_FALSE(IsWindowVisible(modeless));
  DestroyWindow(modeless);

  // The read view hands over with its own window, which is no dialog: it stays as it is.
  WNDCLASSW viewClass{};
  viewClass.lpfnWndProc = PlainWindow;
  viewClass.lpszClassName = u"HandOverView";
  RegisterClassW(&viewClass);
  HWND view = CreateWindowExW(0, u"HandOverView", u"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                              nullptr);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(HandOverToComposer(view, strings), 1);
  EXPECT_TRUE(IsWindow(view));
  EXPECT_TRUE(IsWindowVisible(view));
  DestroyWindow(view);
  UnregisterClassW(u"HandOverView", nullptr);

  // A window that is gone by now does not stop the hand-over.
  EXPECT_EQ(HandOverToComposer(view, strings), 1);
  EXPECT_EQ(platform::MailRequests().size(), 3u);
}

TEST_F(HandOverTest, AForwardGivesItsWaitCursorHoldBackOnEveryPath) {
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  SetCursor(arrow);
  m_binding.Message().SetMessageClassText(u"IPM.Note");
  EXPECT_EQ(ForwardHandOver(nullptr, &m_binding, kPrefixes), 0);
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_EQ(WaitCursorHolds(), 0);

  // Inside a longer operation the wait cursor stays once the forward is done.
  m_binding.Message().SetMessageClassText(u"IPM.MMS");
  {
    WaitCursorHold outer;
    EXPECT_EQ(ForwardHandOver(nullptr, &m_binding, kPrefixes), 1);
    EXPECT_EQ(GetCursor(), wait);
    EXPECT_EQ(WaitCursorHolds(), 1);
  }
  EXPECT_EQ(GetCursor(), arrow);
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

// The virtual clock for one test, with whatever the test does while the code under test sleeps.
class VirtualTime {
 public:
  VirtualTime() { platform::UseVirtualClock(true); }
  ~VirtualTime() {
    platform::SetVirtualSleepObserver(nullptr);
    platform::UseVirtualClock(false);
  }
  VirtualTime(const VirtualTime&) = delete;
  VirtualTime& operator=(const VirtualTime&) = delete;
};

// Lines in a file that started programs append to; waits (in real time) for `expected` of them,
// since the programs run on their own.
std::size_t StartsNoted(const std::filesystem::path& file, std::size_t expected) {
  std::size_t lines = 0;
  for (int attempt = 0; attempt < 500; ++attempt) {
    std::string text = std::filesystem::exists(file) ? test_support::ReadFileBytes(file) : std::string();
    lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    if (lines >= expected) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return lines;
}

TEST_F(HandOverTest, ASlowClientIsStartedAgainEachSecondUntilItsWindowAppearsOrTimeRunsOut) {
  std::filesystem::path program = m_device.root() / "windows" / "SlowClient.exe";
  test_support::WriteFileBytes(program, "#!/bin/sh\necho started >> \"$MMSFORM_DEVICE/starts\"\n");
  chmod(program.c_str(), 0755);
  ASSERT_TRUE(SetConfigString(string_setting::kTransportPath, u"\\windows\\SlowClient.exe", FALSE));
  ASSERT_TRUE(SetConfigValue(numeric_setting::kTransportReadyTimeOut, 3500, FALSE));
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PlainWindow;
  windowClass.lpszClassName = kClientWindowClass;
  RegisterClassW(&windowClass);
  VirtualTime time;

  // The client's window appears during the second second.
  DWORD start = GetTickCount();
  std::vector<DWORD> sleptUntil;
  HWND client = nullptr;
  platform::SetVirtualSleepObserver([&](DWORD) {
    sleptUntil.push_back(GetTickCount() - start);
    if (sleptUntil.size() == 2) {
      client = CreateWindowExW(0, kClientWindowClass, u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
  });
  HWND found = nullptr;
  EXPECT_TRUE(FindOrLaunchClient(&found));
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(found, client);
  EXPECT_EQ(sleptUntil, (std::vector<DWORD>{1000, 2000}));
  EXPECT_EQ(StartsNoted(m_device.root() / "starts", 2), 2u);
  DestroyWindow(client);

  // A client that never shows its window: started each second until 3500 ms have passed.
  sleptUntil.clear();
  start = GetTickCount();
  platform::SetVirtualSleepObserver([&](DWORD) { sleptUntil.push_back(GetTickCount() - start); });
  found = nullptr;
  EXPECT_FALSE(FindOrLaunchClient(&found));
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(sleptUntil, (std::vector<DWORD>{1000, 2000, 3000, 4000}));
  EXPECT_EQ(StartsNoted(m_device.root() / "starts", 6), 6u);

  // A negative timeout counts as none: one start, one second, then give up. The window that appears
  // in the fifth round only ends a wait that would otherwise never end.
  ASSERT_TRUE(SetConfigValue(numeric_setting::kTransportReadyTimeOut, -1, FALSE));
  sleptUntil.clear();
  start = GetTickCount();
  client = nullptr;
  platform::SetVirtualSleepObserver([&](DWORD) {
    sleptUntil.push_back(GetTickCount() - start);
    if (sleptUntil.size() == 5) {
      client = CreateWindowExW(0, kClientWindowClass, u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
  });
  EXPECT_FALSE(FindOrLaunchClient(&found));
  EXPECT_EQ(sleptUntil, (std::vector<DWORD>{1000}));
  EXPECT_EQ(StartsNoted(m_device.root() / "starts", 7), 7u);
  if (client != nullptr) DestroyWindow(client);
  UnregisterClassW(kClientWindowClass, nullptr);
}

}  // namespace
