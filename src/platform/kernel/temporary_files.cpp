#include "platform/kernel/temporary_files.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/kernel/device.h"
#include "platform/text/text_conversion.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// A device walk stops here: a folder of this many entries is not the device of a phone.
constexpr std::size_t kMaxEntriesWalked = 100000;
constexpr std::string_view kMarker = ".tmp-";
constexpr std::string_view kOldWorkFolder = "inspect-";

std::optional<long> Number(std::string_view digits) {
  long value = 0;
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (status != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

bool ProcessRuns(long pid) {
  if (pid <= 0) return true;  // not ours to judge
  if (pid == ::getpid()) return true;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// The process number in NAME.tmp-PID-N or inspect-PID.
std::optional<long> WriterOf(std::string_view name) {
  if (name.starts_with(kOldWorkFolder)) return Number(name.substr(kOldWorkFolder.size()));
  std::size_t marker = name.rfind(kMarker);
  if (marker == std::string_view::npos || marker == 0) return std::nullopt;
  std::string_view rest = name.substr(marker + kMarker.size());
  // An extension may follow, for the readers that go by it: NAME.tmp-PID-N.png.
  if (std::size_t dot = rest.find('.'); dot != std::string_view::npos && rest.size() - dot <= 6) rest = rest.substr(0, dot);
  std::size_t dash = rest.find('-');
  if (dash == std::string_view::npos || !Number(rest.substr(dash + 1))) return std::nullopt;
  return Number(rest.substr(0, dash));
}

}  // namespace

std::string TemporarySuffix() {
  static std::atomic<unsigned> counter{0};
  return std::string(kMarker) + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

bool IsStaleTemporaryName(std::string_view name) {
  auto writer = WriterOf(name);
  return writer && !ProcessRuns(*writer);
}

std::size_t RemoveStaleTemporaryFiles() {
  const fs::path& root = DeviceRoot();
  if (root.empty()) return 0;
  std::error_code error;
  std::vector<fs::path> stale;
  std::size_t walked = 0;
  auto options = fs::directory_options::skip_permission_denied;
  for (auto entry = fs::recursive_directory_iterator(root, options, error);
       !error && entry != fs::recursive_directory_iterator() && walked < kMaxEntriesWalked; entry.increment(error)) {
    ++walked;
    const std::string name = entry->path().filename().native();
    if (!IsStaleTemporaryName(name)) continue;
    // The old work folders are recognised in the device's "\Temp\" only.
    if (name.starts_with(kOldWorkFolder) && !EqualsNoCase(Utf8ToUtf16(entry->path().parent_path().filename().native()), u"Temp")) {
      continue;
    }
    stale.push_back(entry->path());
    if (entry->is_directory(error)) entry.disable_recursion_pending();
  }
  std::size_t removed = 0;
  for (const fs::path& path : stale) {
    std::error_code removeError;
    if (fs::remove_all(path, removeError) > 0) ++removed;
  }
  return removed;
}

}  // namespace platform
