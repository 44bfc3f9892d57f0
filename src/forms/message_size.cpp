#include "forms/message_size.h"

#include <cstdint>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "mm1/mm1_config.h"
#include "platform/kernel/file_api.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace {

constexpr UINT kSizeKilobytesText = 40850;
constexpr UINT kSizeMegabytesText = 40918;
constexpr UINT kSizeOfLimitText = 40442;
constexpr UINT kTooLargeToSendText = 40395;

// 64-bit, so that sizes near 4 GiB do not wrap to 0 KB.
std::uint64_t KilobytesUp(std::uint64_t bytes) { return (bytes + 1023) >> 10; }

}  // namespace

DWORD FileSizeForCheck(LPCWSTR path) {
  if (path == nullptr || *path == 0) return 0;
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(path, &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  FindClose(find);
  return data.nFileSizeLow;
}

DWORD MessageSizeOf(const MessageModel& model) {
  std::uint64_t total = 0;
  for (const MediaPart& part : model.parts) {
    total += FileSizeForCheck(model.partFolder + part.fileName.View());
  }
  // Held at the top rather than wrapping: a message this large is too large for every limit.
  return total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(total);
}

DWORD MaxSendSize() { return mm1_config_get_default()->maxMessageSize; }

CString FormatSize(DWORD bytes) {
  const std::uint64_t kilobytes = KilobytesUp(bytes);
  CString text;
  if (kilobytes <= 1024) {
    text.Format(transport::LoadResourceString(kSizeKilobytesText), static_cast<int>(kilobytes < 1 ? 1 : kilobytes));
  } else {
    text.Format(transport::LoadResourceString(kSizeMegabytesText), static_cast<double>(kilobytes) / 1024.0);
  }
  return text;
}

CString SizeDisplayText(DWORD messageSize) {
  CString text;
  text.Format(transport::LoadResourceString(kSizeOfLimitText), FormatSize(messageSize).GetString(),
              FormatSize(MaxSendSize()).GetString());
  return text;
}

bool ShowSizeMessage(HWND owner, DWORD size) {
  if (size <= MaxSendSize()) return false;
  ShowSizeAgainstLimit(owner, size);
  return true;
}

void ShowSizeAgainstLimit(HWND owner, DWORD size) {
  CString text;
  text.Format(transport::LoadResourceString(kTooLargeToSendText), static_cast<int>(KilobytesUp(size)),
              static_cast<int>(KilobytesUp(MaxSendSize())));
  if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(owner, text.GetString(), MB_SETFOREGROUND);
}

bool HasFreeStorage(DWORD neededBytes) {
  ULARGE_INTEGER available{};
  ULARGE_INTEGER total{};
  ULARGE_INTEGER free{};
  if (!GetDiskFreeSpaceExW(u"\\", &available, &total, &free)) return false;
  const std::int64_t freeKilobytes = static_cast<std::int64_t>(free.QuadPart >> 10);
  const std::int64_t reserve = GetConfigValue(numeric_setting::kReservedSpace);
  return freeKilobytes - static_cast<std::int64_t>(neededBytes / 1024) - reserve > 0;
}
