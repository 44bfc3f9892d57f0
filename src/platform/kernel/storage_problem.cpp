#include "platform/kernel/storage_problem.h"

#include <sys/statvfs.h>

#include <cerrno>

#include "platform/kernel/device.h"
#include "platform/kernel/last_error.h"

namespace platform {
namespace {

// Below this much free space a file system counts as full: SQLite and the file writes need a few
// pages at least.
constexpr unsigned long long kNearlyFullBytes = 16 * 1024;

}  // namespace

bool IsReadOnlyFolder(const std::filesystem::path& folder) {
  struct statvfs info {};
  return ::statvfs(folder.c_str(), &info) == 0 && (info.f_flag & ST_RDONLY) != 0;
}

std::string StorageProblem(const std::filesystem::path& folder, int errorNumber) {
  std::string name = "the device folder " + folder.string();
  if (errorNumber == EROFS || IsReadOnlyFolder(folder)) return name + " is read-only";
  if (errorNumber == ENOSPC || errorNumber == EDQUOT) return name + " is full";
  struct statvfs info {};
  if (::statvfs(folder.c_str(), &info) == 0 &&
      static_cast<unsigned long long>(info.f_bavail) * info.f_frsize < kNearlyFullBytes) {
    return name + " is full";
  }
  return {};
}

std::string DeviceStorageProblem(unsigned long error) {
  const std::filesystem::path& root = DeviceRoot();
  if (root.empty()) return {};
  return StorageProblem(root, error == ERROR_DISK_FULL ? ENOSPC : 0);
}

}  // namespace platform
