// A stand-in for the client application's main window that keeps its posted messages queued, so
// that a test can count the low-storage warnings the forms sent it.
#pragma once

#include "device/storage_check.h"
#include "platform/window/window_api.h"

namespace test_support {

class ClientWindow {
 public:
  ClientWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = kClientWindowClass;
    RegisterClassW(&windowClass);
    m_window = CreateWindowExW(0, kClientWindowClass, u"client", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  ~ClientWindow() {
    DestroyWindow(m_window);
    UnregisterClassW(kClientWindowClass, nullptr);
  }
  ClientWindow(const ClientWindow&) = delete;
  ClientWindow& operator=(const ClientWindow&) = delete;

  // Takes the queued messages; how many of them were the warning.
  int CountStorageLow() {
    int count = 0;
    MSG message;
    while (PeekMessageW(&message, m_window, 0, 0, PM_REMOVE)) count += message.message == WM_STORAGE_LOW;
    return count;
  }

 private:
  HWND m_window = nullptr;
};

}  // namespace test_support
