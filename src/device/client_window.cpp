#include "device/client_window.h"

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/process.h"
#include "platform/window/window_api.h"

namespace {

constexpr DWORD kRetryMilliseconds = 1000;

}  // namespace

BOOL FindOrLaunchClient(HWND* window) {
  DWORD start = GetTickCount();
  // A negative timeout counts as none: one round, then give up.
  const LONG configured = GetConfigValue(numeric_setting::kTransportReadyTimeOut);
  const DWORD timeout = configured < 0 ? 0 : static_cast<DWORD>(configured);
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
