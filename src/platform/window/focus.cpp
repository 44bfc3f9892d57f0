// Focus, activation and mouse capture, in the device's order: the old active window hears
// WM_ACTIVATE (inactive) before the new one hears WM_ACTIVATE (active); the old focus hears
// WM_KILLFOCUS before the new one hears WM_SETFOCUS.
#include "platform/kernel/last_error.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

using namespace platform::window;

namespace platform::window {

void ActivateSuccessor(HWND preferred) {
  Window* candidate = FindWindowRecord(preferred);
  if (candidate && IsShown(*candidate)) {
    SetActiveWindow(preferred);
    return;
  }
  const std::vector<HWND> order = System().topLevel;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    Window* window = FindWindowRecord(*it);
    if (window && IsShown(*window) && !(window->exStyle & WS_EX_NOACTIVATE)) {
      SetActiveWindow(*it);
      return;
    }
  }
  SetActiveWindow(nullptr);
}

}  // namespace platform::window

HWND SetFocus(HWND hwnd) {
  WindowSystem& system = System();
  if (hwnd && !CheckedWindow(hwnd)) {
    return nullptr;
  }
  if (hwnd) {
    HWND root = RootOf(hwnd);
    if (system.active != root) {
      SetActiveWindow(root);
      if (!IsWindow(hwnd)) {
        return nullptr;
      }
    }
  }
  HWND previous = system.focus;
  if (previous == hwnd) {
    return previous;
  }
  system.focus = hwnd;
  if (IsWindow(previous)) {
    SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  }
  // A WM_KILLFOCUS handler may have moved the focus elsewhere; then that choice stands.
  if (hwnd && IsWindow(hwnd) && system.focus == hwnd) {
    SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  }
  return IsWindow(previous) ? previous : nullptr;
}

HWND GetFocus() { return System().focus; }

HWND SetActiveWindow(HWND hwnd) {
  WindowSystem& system = System();
  if (hwnd) {
    if (!CheckedWindow(hwnd)) {
      return nullptr;
    }
    hwnd = RootOf(hwnd);
  }
  HWND previous = system.active;
  if (previous == hwnd) {
    return previous;
  }
  system.active = hwnd;
  if (Window* window = FindWindowRecord(hwnd)) {
    PlaceInZOrder(*window, HWND_TOP);
    if (IsShown(*window)) {
      AddDirty(VisibleArea(*window, false));
    }
  }
  if (IsWindow(previous)) {
    SendMessageW(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
  }
  if (hwnd && IsWindow(hwnd) && system.active == hwnd) {
    SendMessageW(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(previous));
  }
  // The focus never stays in a window that is no longer active.
  HWND focus = system.focus;
  if (focus && system.active != RootOf(focus)) {
    SetFocus(nullptr);
  }
  if (system.titleObserver) {
    system.titleObserver();
  }
  return IsWindow(previous) ? previous : nullptr;
}

HWND GetActiveWindow() { return System().active; }

BOOL SetForegroundWindow(HWND hwnd) {
  if (!CheckedWindow(hwnd)) {
    return FALSE;
  }
  SetActiveWindow(hwnd);
  return System().active == RootOf(hwnd) ? TRUE : FALSE;
}

HWND GetForegroundWindow() { return System().active; }

HWND SetCapture(HWND hwnd) {
  WindowSystem& system = System();
  if (!CheckedWindow(hwnd)) {
    return nullptr;
  }
  HWND previous = system.capture;
  system.capture = hwnd;
  if (previous && previous != hwnd && IsWindow(previous)) {
    SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  }
  return previous;
}

BOOL ReleaseCapture() {
  WindowSystem& system = System();
  HWND previous = system.capture;
  system.capture = nullptr;
  if (previous && IsWindow(previous)) {
    SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
  }
  return TRUE;
}

HWND GetCapture() { return System().capture; }
