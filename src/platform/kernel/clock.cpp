#include "platform/kernel/clock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>
#include <utility>

namespace {

std::atomic<bool> g_virtual{false};
std::atomic<std::uint64_t> g_virtualTicks{0};
std::atomic<std::int64_t> g_fixedUnixTime{0};
std::mutex g_observerLock;
std::function<void(DWORD)> g_sleepObserver;

std::uint64_t RealTicks() {
  static const auto start = std::chrono::steady_clock::now();
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

}  // namespace

DWORD GetTickCount() {
  return static_cast<DWORD>(g_virtual.load() ? g_virtualTicks.load() : RealTicks());
}

void Sleep(DWORD milliseconds) {
  if (g_virtual.load()) {
    g_virtualTicks += milliseconds;
    std::function<void(DWORD)> observer;
    {
      std::lock_guard<std::mutex> lock(g_observerLock);
      observer = g_sleepObserver;
    }
    if (observer) observer(milliseconds);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace platform {

void UseVirtualClock(bool on) {
  if (on && !g_virtual.load()) g_virtualTicks = RealTicks();
  g_virtual = on;
}

bool IsVirtualClock() { return g_virtual.load(); }

void AdvanceVirtualClock(DWORD milliseconds) {
  if (g_virtual.load()) g_virtualTicks += milliseconds;
}

void SetVirtualSleepObserver(std::function<void(DWORD)> observer) {
  std::lock_guard<std::mutex> lock(g_observerLock);
  g_sleepObserver = std::move(observer);
}

std::int64_t UnixTimeNow() {
  std::int64_t fixed = g_fixedUnixTime.load();
  if (fixed != 0) return fixed;
  return static_cast<std::int64_t>(std::time(nullptr));
}

void SetFixedUnixTime(std::int64_t seconds) { g_fixedUnixTime = seconds; }

std::int64_t LocalTimeOffset(std::int64_t unixSeconds) {
  std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return 0;
  return static_cast<std::int64_t>(local.tm_gmtoff);
}

}  // namespace platform
