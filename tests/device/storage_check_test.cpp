#include "device/storage_check.h"

#include <gtest/gtest.h>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/file_api.h"
#include "platform/window/window_api.h"
#include "support/test_device.h"

namespace {

// A stand-in for the client application's main window that keeps its posted messages queued.
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
  int CountStorageLow() {
    int count = 0;
    MSG message;
    while (PeekMessageW(&message, m_window, 0, 0, PM_REMOVE)) count += message.message == WM_STORAGE_LOW;
    return count;
  }

 private:
  HWND m_window = nullptr;
};

TEST(StorageCheck, TheReserveMustStayFreeOrTheClientIsTold) {
  test_support::TestDevice device;
  ClientWindow client;
  platform::SetReportedFreeSpace(2048 * 1024);
  EXPECT_TRUE(CheckStorage());
  EXPECT_EQ(client.CountStorageLow(), 0);
  platform::SetReportedFreeSpace(1024 * 1024);  // exactly the default reserve of 1024 KiB
  EXPECT_FALSE(CheckStorage());
  EXPECT_EQ(client.CountStorageLow(), 1);
  ASSERT_TRUE(SetConfigValue(numeric_setting::kReservedSpace, 512, TRUE));
  EXPECT_TRUE(CheckStorage());
  platform::SetReportedFreeSpace(-1);
}

TEST(StorageCheck, WithoutAClientWindowTheCheckStillAnswers) {
  test_support::TestDevice device;
  platform::SetReportedFreeSpace(0);
  EXPECT_FALSE(CheckStorage());
  platform::SetReportedFreeSpace(-1);
}

}  // namespace
