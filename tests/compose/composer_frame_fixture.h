// The composer frame's test fixture: a device with a store, a host window that counts the IDOK
// the frame posts when it closes, and a new message opened in the compose form.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "binding/binding_fixture.h"
#include "forms/compose_form.h"
#include "forms/compose_opening.h"
#include "forms/composer_frame.h"
#include "platform/automation/automation.h"
#include "platform/window/window_styles.h"
#include "forms/send_request.h"

namespace composer_test {

using binding_test::BindingTest;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

struct QuietHost : IFormHost {
  HRESULT FormClosed(IMMSForm*, IMessage*, DWORD) override { return S_OK; }
  HRESULT HostSlot1() override { return S_OK; }
  HRESULT HostSlot2() override { return S_OK; }
  HRESULT FormAction(IMMSForm*, IMessage*, DWORD, DWORD) override { return S_OK; }
};

class ComposerFrameTest : public BindingTest {
 protected:
  void SetUp() override {
    BindingTest::SetUp();
    platform::automation::Reset();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &ParentProcedure;
    windowClass.lpszClassName = u"Ppc_WndCls_MainFrme";
    RegisterClassW(&windowClass);
    m_client = CreateWindowExW(0, u"Ppc_WndCls_MainFrme", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
    windowClass.lpszClassName = u"FrameParent";
    RegisterClassW(&windowClass);
    m_parent = CreateWindowExW(0, u"FrameParent", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HostClosed() = 0;
    std::filesystem::create_directories(m_device.Host(u"\\My Documents\\My Pictures"));
    WriteFileBytes(m_device.Host(u"\\My Documents\\My Pictures\\dot.png"), ReadFileBytes(test_support::CorpusPath("png/basn2c16.png")));
  }
  void TearDown() override {
    if (m_form != nullptr) {
      m_form->Close();
      m_form->Release();
    }
    DestroyWindow(m_parent);
    DestroyWindow(m_client);
    platform::automation::PumpUntilIdle();
    platform::automation::Reset();
    BindingTest::TearDown();
  }

  static int& HostClosed() {
    static int closes = 0;
    return closes;
  }
  static LRESULT ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && wParam == IDOK) ++HostClosed();
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  CComposerFrame* OpenNew() {
    m_message = NewMessage(PR_DRAFTS_FOLDER_ENTRYID);
    IMMSForm* form = nullptr;
    EXPECT_EQ(OpenComposeForm(&m_host, m_message.Get(), 0, nullptr, nullptr, m_parent, 0, &form, u"IPM.MMS"), S_OK);
    platform::automation::PumpUntilIdle();
    m_form = static_cast<CComposeForm*>(form);
    return m_form != nullptr ? m_form->Frame() : nullptr;
  }

  // Whether the send flow got as far as the transport writing the message's m-send-req.
  bool SendRequestWritten() {
    MessageBinding* binding = m_form != nullptr ? m_form->Binding() : nullptr;
    return binding != nullptr && std::filesystem::exists(m_device.Host(SendRequestFile(*binding).View()));
  }

  void Command(CComposerFrame* frame, WORD id, LPARAM lParam = 0) {
    frame->SendMessage(WM_COMMAND, id, lParam);
    platform::automation::PumpUntilIdle();
  }
  void TypeInto(HWND edit, std::u16string_view text) {
    SetFocus(edit);
    platform::automation::TypeText(text);
    platform::automation::PumpUntilIdle();
  }

  std::vector<std::u16string> Prompts() const {
    std::vector<std::u16string> texts;
    for (const auto& prompt : platform::automation::PromptLog()) texts.push_back(prompt.text);
    return texts;
  }

  HWND m_client = nullptr;
  HWND m_parent = nullptr;
  QuietHost m_host;
  ComPtr<IMessage> m_message;
  CComposeForm* m_form = nullptr;
};

}  // namespace composer_test
