#include "platform/registry/registry_notify.h"

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/window/window_api.h"

struct RegistryNotificationRecord {
  HKEY root;
  std::u16string subKey;
  std::u16string valueName;
  HWND window;
  UINT message;
  DWORD userData;
  // Type and bytes as last seen; nothing while the value (or its key) is missing.
  std::optional<std::pair<DWORD, std::string>> seen;
};

namespace {

constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001u);
constexpr UINT_PTR kNoTimer = 0;

struct Watches {
  std::vector<HREGNOTIFY> open;  // in the order they were made, so messages keep that order
  UINT_PTR timer = kNoTimer;
};

Watches& State() {
  static Watches watches;
  return watches;
}

bool IsOpen(HREGNOTIFY notify) {
  for (HREGNOTIFY open : State().open) {
    if (open == notify) return true;
  }
  return false;
}

std::optional<std::pair<DWORD, std::string>> ReadWatched(const RegistryNotificationRecord& watch) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(watch.root, watch.subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
  std::optional<std::pair<DWORD, std::string>> value;
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExW(key, watch.valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::string data(size, '\0');
    // A value rewritten between the two reads is simply read at the next comparison.
    if (RegQueryValueExW(key, watch.valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
      data.resize(size);
      value.emplace(type, std::move(data));
    }
  }
  RegCloseKey(key);
  return value;
}

void OnPollTimer(HWND, UINT, UINT_PTR, DWORD) { platform::PollRegistryNotifications(); }

// The timer is made when missing: resetting the window system drops every timer with it.
void EnsureTimer() {
  Watches& state = State();
  if (state.timer != kNoTimer) KillTimer(nullptr, state.timer);  // fails harmlessly when already gone
  state.timer = SetTimer(nullptr, 0, kRegistryNotifyPollMs, OnPollTimer);
}

}  // namespace

HRESULT RegistryNotifyWindow(HKEY root, LPCWSTR subKey, LPCWSTR valueName, HWND window, UINT message,
                             DWORD userData, void* condition, HREGNOTIFY* notify) {
  if (notify == nullptr) return E_INVALIDARG;
  *notify = nullptr;
  if (root == nullptr || !IsWindow(window)) return E_INVALIDARG;
  if (condition != nullptr) return kNotImplemented;
  auto* watch = new RegistryNotificationRecord{root, subKey ? subKey : u"", valueName ? valueName : u"",
                                               window, message, userData, std::nullopt};
  watch->seen = ReadWatched(*watch);
  State().open.push_back(watch);
  EnsureTimer();
  *notify = watch;
  return S_OK;
}

HRESULT RegistryCloseNotification(HREGNOTIFY notify) {
  Watches& state = State();
  if (notify == nullptr || !IsOpen(notify)) return E_INVALIDARG;
  std::erase(state.open, notify);
  delete notify;
  if (state.open.empty() && state.timer != kNoTimer) {
    KillTimer(nullptr, state.timer);
    state.timer = kNoTimer;
  }
  return S_OK;
}

namespace platform {

int PollRegistryNotifications() {
  int posted = 0;
  // A copy: a window's answer may close notifications, though posting itself calls nothing.
  const std::vector<HREGNOTIFY> watches = State().open;
  for (HREGNOTIFY watch : watches) {
    if (!IsOpen(watch)) continue;
    auto now = ReadWatched(*watch);
    if (now == watch->seen) continue;
    watch->seen = std::move(now);
    if (PostMessageW(watch->window, watch->message, watch->userData, 0)) ++posted;
  }
  return posted;
}

}  // namespace platform
