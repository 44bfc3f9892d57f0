// What a host test records of the forms: the messages the client's main window and the host's own
// window get, and the callbacks on the host object. One procedure for each window class, shared by
// every host test of this program, since a class keeps the procedure it was first registered with.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "forms/form_provider.h"
#include "platform/window/window_api.h"
#include "platform/window/window_styles.h"

namespace host_test {

inline std::vector<UINT>& ClientLog() {
  static std::vector<UINT> log;
  return log;
}

inline LRESULT ClientProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER) ClientLog().push_back(message);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

inline std::vector<std::pair<UINT, WPARAM>>& ParentLog() {
  static std::vector<std::pair<UINT, WPARAM>> log;
  return log;
}

// The host's window under the form: commands and close requests are logged, not acted on.
inline LRESULT ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND || message == WM_CLOSE) {
    ParentLog().emplace_back(message, wParam);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// The host's callback object: records what the form told it.
struct RecordingHost : IFormHost {
  struct Call {
    std::string name;
    IMMSForm* form;
    IMessage* message;
    DWORD value;
  };
  std::vector<Call> calls;

  HRESULT FormClosed(IMMSForm* form, IMessage* message, DWORD flags) override {
    calls.push_back({"FormClosed", form, message, flags});
    return S_OK;
  }
  HRESULT HostSlot1() override { return S_OK; }
  HRESULT HostSlot2() override { return S_OK; }
  HRESULT FormAction(IMMSForm* form, IMessage* message, DWORD action, DWORD) override {
    calls.push_back({"FormAction", form, message, action});
    return S_OK;
  }
};

inline HWND MakeWindow(LPCWSTR className, WNDPROC procedure) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, className, u"", WS_POPUP, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace host_test
