// Hooks that act when a window of a given class or title appears. They run from the message loop
// once it is idle, so the new window has finished its own set-up (a dialog is in its loop).
#include <algorithm>

#include "platform/automation/automation.h"
#include "platform/automation/automation_reset.h"
#include "platform/text/text_conversion.h"
#include "platform/window/message_queue.h"
#include "platform/window/window_system.h"

namespace platform::automation {
namespace {

struct Hook {
  HookId id;
  std::u16string className;
  std::u16string title;
  std::function<void(HWND)> action;
  bool once;
};

struct HookState {
  std::vector<Hook> hooks;
  HookId nextId = 1;
};

HookState& Hooks() {
  static HookState state;
  return state;
}

bool Matches(const Hook& hook, HWND hwnd) {
  if (!hook.className.empty()) {
    WCHAR name[256];
    int length = GetClassNameW(hwnd, name, 256);
    if (!platform::EqualsNoCase(std::u16string_view(name, static_cast<std::size_t>(length)), hook.className)) {
      return false;
    }
  }
  if (!hook.title.empty()) {
    int length = GetWindowTextLengthW(hwnd);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    if (text != hook.title) {
      return false;
    }
  }
  return true;
}

void OnCreated(HWND hwnd) {
  HookState& state = Hooks();
  for (auto it = state.hooks.begin(); it != state.hooks.end();) {
    if (!Matches(*it, hwnd)) {
      ++it;
      continue;
    }
    window::AddIdleAction([hwnd, action = it->action] {
      if (IsWindow(hwnd)) {
        action(hwnd);
      }
    });
    it = it->once ? state.hooks.erase(it) : it + 1;
  }
}

}  // namespace

HookId OnWindowAppears(std::u16string className, std::u16string title, std::function<void(HWND)> action,
                       bool once) {
  HookState& state = Hooks();
  window::System().creationObserver = OnCreated;
  HookId id = state.nextId++;
  state.hooks.push_back({id, std::move(className), std::move(title), std::move(action), once});
  return id;
}

void RemoveHook(HookId id) {
  std::erase_if(Hooks().hooks, [id](const Hook& hook) { return hook.id == id; });
}

void ResetHooks() { Hooks().hooks.clear(); }

void Reset() {
  ResetHooks();
  ResetPrompts();
}

}  // namespace platform::automation
