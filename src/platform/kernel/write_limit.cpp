#include "platform/kernel/write_limit.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

constexpr long long kOff = -1;

std::atomic<long long> g_budget{kOff};
std::once_flag g_fromEnvironment;

void ReadEnvironment() {
  std::call_once(g_fromEnvironment, [] {
    const char* text = std::getenv("MMSFORM_WRITE_LIMIT");
    if (text == nullptr || *text == 0) return;
    char* end = nullptr;
    const long long bytes = std::strtoll(text, &end, 10);
    if (end != nullptr && *end == 0 && bytes >= 0) g_budget = bytes;
  });
}

}  // namespace

void SetDeviceWriteLimit(long long bytes) {
  ReadEnvironment();  // an explicit setting wins over the environment's
  g_budget = bytes < 0 ? kOff : bytes;
}

long long DeviceWriteBudget() {
  ReadEnvironment();
  return g_budget.load();
}

namespace internal {

std::size_t TakeWriteBudget(std::size_t wanted) {
  ReadEnvironment();
  long long left = g_budget.load();
  for (;;) {
    if (left < 0) return wanted;
    const long long granted = static_cast<long long>(wanted) < left ? static_cast<long long>(wanted) : left;
    if (g_budget.compare_exchange_weak(left, left - granted)) return static_cast<std::size_t>(granted);
  }
}

}  // namespace internal
}  // namespace platform
