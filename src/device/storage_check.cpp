#include "device/storage_check.h"

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/kernel/file_api.h"
#include "platform/window/window_api.h"

bool CheckStorage() {
  ULARGE_INTEGER freeToCaller{};
  // Storage that cannot be measured counts as none, so that the user hears of it.
  if (!GetDiskFreeSpaceExW(nullptr, &freeToCaller, nullptr, nullptr)) freeToCaller.QuadPart = 0;
  long long freeKiB = static_cast<long long>(freeToCaller.QuadPart / 1024);
  long long reserveKiB = GetConfigValue(numeric_setting::kReservedSpace);
  if (freeKiB - reserveKiB > 0) return true;
  if (HWND client = FindWindowW(kClientWindowClass, nullptr)) PostMessageW(client, WM_STORAGE_LOW, 0, 0);
  return false;
}
