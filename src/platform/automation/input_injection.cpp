// Taps, keys and commands injected as the device's input would arrive.
#include "platform/automation/automation.h"
#include "platform/automation/desktop_input.h"
#include "platform/kernel/clock.h"
#include "platform/window/message_queue.h"
#include "platform/window/window_system.h"

namespace platform::automation {
namespace {

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, POINT screen) {
  window::EnqueuePosted(MSG{hwnd, message, wParam, lParam, GetTickCount(), screen});
}

// The window a mouse message at a screen point goes to, made active on a button press.
HWND MouseTarget(POINT screen, bool press) {
  HWND target = GetCapture();
  if (!target) {
    target = WindowFromPoint(screen);
  }
  if (target && press) {
    HWND root = window::RootOf(target);
    window::Window* rootWindow = window::FindWindowRecord(root);
    if (rootWindow && GetActiveWindow() != root && !(rootWindow->exStyle & WS_EX_NOACTIVATE)) {
      SetActiveWindow(root);
    }
  }
  return IsWindow(target) ? target : nullptr;
}

bool Mouse(UINT message, POINT screen) {
  if (!PostMouseInput(message, screen)) {
    return false;
  }
  PumpUntilIdle();
  return true;
}

HWND KeyTarget() {
  HWND focus = GetFocus();
  return focus ? focus : GetActiveWindow();
}

bool PostKey(UINT message, UINT virtualKey, LPARAM extraFlags) {
  HWND target = KeyTarget();
  if (!target) {
    return false;
  }
  LPARAM flags = message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001u) : 1;
  Post(target, message, virtualKey, flags | extraFlags, {0, 0});
  return true;
}

}  // namespace

bool PostMouseInput(UINT message, POINT screen) {
  HWND target = MouseTarget(screen, message == WM_LBUTTONDOWN);
  if (!target) {
    return false;
  }
  POINT client = screen;
  ScreenToClient(target, &client);
  WPARAM keys = message == WM_LBUTTONDOWN || (message == WM_MOUSEMOVE && GetCapture()) ? MK_LBUTTON : 0;
  Post(target, message, keys, MAKELPARAM(client.x, client.y), screen);
  return true;
}

bool PostKeyInput(UINT message, UINT virtualKey) { return PostKey(message, virtualKey, 0); }

bool PostKeyInputTextApart(UINT message, UINT virtualKey) {
  return PostKey(message, virtualKey, window::kKeyTextArrivesApart);
}

bool PostTextInput(std::u16string_view text) {
  HWND target = KeyTarget();
  if (!target) {
    return false;
  }
  for (char16_t c : text) Post(target, WM_CHAR, c, 1, {0, 0});
  return true;
}

bool MouseDown(POINT screen) { return Mouse(WM_LBUTTONDOWN, screen); }

bool MouseMove(POINT screen) { return Mouse(WM_MOUSEMOVE, screen); }

bool MouseUp(POINT screen) { return Mouse(WM_LBUTTONUP, screen); }

bool Tap(POINT screen) {
  // Both halves are queued before either is handled, as a quick tap arrives: a press handler that
  // tells a tap from a hold (SHRecognizeGesture) finds the release already there.
  if (!PostMouseInput(WM_LBUTTONDOWN, screen)) {
    return false;
  }
  PostMouseInput(WM_LBUTTONUP, screen);
  PumpUntilIdle();
  return true;
}

bool PressKey(UINT virtualKey) {
  if (!PostKeyInput(WM_KEYDOWN, virtualKey)) {
    return false;
  }
  PumpUntilIdle();
  if (PostKeyInput(WM_KEYUP, virtualKey)) {
    PumpUntilIdle();
  }
  return true;
}

bool TypeText(std::u16string_view text) {
  for (char16_t c : text) {
    HWND target = KeyTarget();
    if (!target) {
      return false;
    }
    Post(target, WM_CHAR, c, 1, {0, 0});
    PumpUntilIdle();
  }
  return true;
}

bool SendCommand(HWND hwnd, WORD id) {
  if (!PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0)) {
    return false;
  }
  PumpUntilIdle();
  return true;
}

}  // namespace platform::automation
