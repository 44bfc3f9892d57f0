// What every compose-form test stands on: a device with a store, the client's main window the
// forms look for, and a parent window that counts the IDOK a compose form posts when it is done.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "binding/binding_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/compose_form.h"
#include "forms/compose_opening.h"
#include "platform/automation/automation.h"
#include "platform/controls/shell_title_bar.h"
#include "platform/window/window_styles.h"

namespace composer_test {

// A host that records the flags of every FormClosed it hears.
struct CountingHost : IFormHost {
  std::vector<DWORD> closes;
  HRESULT FormClosed(IMMSForm*, IMessage*, DWORD flags) override {
    closes.push_back(flags);
    return S_OK;
  }
  HRESULT HostSlot1() override { return S_OK; }
  HRESULT HostSlot2() override { return S_OK; }
  HRESULT FormAction(IMMSForm*, IMessage*, DWORD, DWORD) override { return S_OK; }
};

class ComposeHostTest : public binding_test::BindingTest {
 protected:
  void SetUp() override {
    BindingTest::SetUp();
    platform::automation::Reset();
    // A new message starts empty here, as on a device set never to offer templates; the template
    // chooser's own tests offer them again.
    SetConfigValue(numeric_setting::kAlwaysChooseCustom, 1, FALSE);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &ParentProcedure;
    windowClass.lpszClassName = u"Ppc_WndCls_MainFrme";
    RegisterClassW(&windowClass);
    m_client = CreateWindowExW(0, u"Ppc_WndCls_MainFrme", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
    windowClass.lpszClassName = u"ComposeParent";
    RegisterClassW(&windowClass);
    m_parent = CreateWindowExW(0, u"ComposeParent", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HostClosed() = 0;
  }
  void TearDown() override {
    DestroyWindow(m_parent);
    DestroyWindow(m_client);
    // The shell's title bar that a full-screen dialog brought up would show the next test's
    // window titles on its screens.
    if (HWND bar = platform::controls::ShellTitleBar()) DestroyWindow(bar);
    platform::automation::PumpUntilIdle();
    platform::automation::Reset();
    BindingTest::TearDown();
  }

  // How many times a form told its parent IDOK.
  static int& HostClosed() {
    static int closes = 0;
    return closes;
  }
  static LRESULT ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && wParam == IDOK) ++HostClosed();
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  // Opens a compose form over the parent and lets it settle; null when the export gave none.
  CComposeForm* OpenForm(IFormHost* host, IMessage* message, DWORD mode, IMessage* source,
                         const ComposeDataBlock* block) {
    IMMSForm* form = nullptr;
    EXPECT_EQ(OpenComposeForm(host, message, mode, source, block, m_parent, 0, &form, u"IPM.MMS"), S_OK);
    platform::automation::PumpUntilIdle();
    return static_cast<CComposeForm*>(form);
  }

  std::vector<std::u16string> Prompts() const {
    std::vector<std::u16string> texts;
    for (const auto& prompt : platform::automation::PromptLog()) texts.push_back(prompt.text);
    return texts;
  }

  HWND m_client = nullptr;
  HWND m_parent = nullptr;
};

}  // namespace composer_test
