#include "device/client_window.h"

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/clock.h"
#include "platform/file_api.h"
#include "platform/process.h"
#include "platform/window/window_api.h"

namespace {

constexpr DWORD kRetryMilliseconds = 1000;

}  // namespace

BOOL FindOrLaunchClient(HWND* window) {
  DWORD start = GetTickCount();
  auto timeout = static_cast<DWORD>(GetConfigValue(numeric_setting::kTransportReadyTimeOut));
  for (;;) {
    HWND found = FindWindowW(kClientWindowClass, nullptr);
    if (found != nullptr && IsWindow(found)) {
      if (window) *window = found;
      return TRUE;
    }
    CString program = GetConfigString(string_setting::kTransportPath);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &process)) return FALSE;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    Sleep(kRetryMilliseconds);
    if (GetTickCount() - start > timeout) return FALSE;
  }
}
