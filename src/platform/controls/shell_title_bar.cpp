#include "platform/controls/shell_title_bar.h"

#include <string>

#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/window/window_system.h"

namespace platform::controls {
namespace {

constexpr const WCHAR* kTitleBarClass = u"ShellTitleBar";

LRESULT Paint(HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  DrawCaptionBar(hdc, client, ShellTitleText());
  EndPaint(hwnd, &paint);
  return 0;
}

// The bar keeps no state: it paints whatever title is current.
LRESULT TitleBarProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return Paint(hwnd);
    case WM_ERASEBKGND: return 1;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

std::u16string ClassOf(HWND hwnd) {
  WCHAR name[64] = {};
  const int length = GetClassNameW(hwnd, name, 64);
  return std::u16string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// A form's plain window over an application's hidden one (its frame over the messaging window)
// stands for that application: the bar names the application, not the frame. Dialogs and framed
// windows (message boxes) keep their own titles, and so does a window in front of a shown one.
HWND TitleWindow(HWND shown) {
  constexpr int kMaxOwners = 8;
  for (int depth = 0; depth < kMaxOwners; ++depth) {
    HWND owner = GetWindow(shown, GW_OWNER);
    if (!owner || IsWindowVisible(owner) || ClassOf(shown) == u"Dialog" ||
        (GetWindowLongW(shown, GWL_STYLE) & (WS_BORDER | WS_DLGFRAME))) {
      break;
    }
    shown = owner;
  }
  return shown;
}

bool ActiveWindowHidesTaskBar() {
  HWND active = GetActiveWindow();
  return active && (SHFullScreenState(active) & SHFS_HIDETASKBAR);
}

}  // namespace

HWND ShellTitleBar() { return FindWindowW(kTitleBarClass, nullptr); }

std::u16string ShellTitleText() {
  HWND bar = ShellTitleBar();
  HWND shown = GetActiveWindow();
  if (!shown || shown == bar) {
    shown = nullptr;
    for (HWND top : platform::window::System().topLevel) {
      if (top != bar && IsWindowVisible(top)) shown = top;
    }
  }
  return shown ? TextOf(TitleWindow(shown)) : std::u16string();
}

int ShowShellTitleBar() {
  HWND bar = ShellTitleBar();
  const int height = GetSystemMetrics(SM_CYCAPTION);
  if (!bar) {
    EnsureControlClasses();
    RegisterControlClass(kTitleBarClass, TitleBarProcedure, 0);
    // A tap on the bar leaves the active window active: the bar only shows its title.
    bar = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kTitleBarClass, u"", WS_POPUP, 0, 0,
                          GetSystemMetrics(SM_CXSCREEN), height, nullptr, nullptr, nullptr, nullptr);
    if (!bar) return 0;
    platform::window::System().titleObserver = UpdateShellTitleBar;
  }
  SetWindowPos(bar, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), height, SWP_NOACTIVATE);
  UpdateShellTitleBar();
  return IsWindowVisible(bar) ? height : 0;
}

void UpdateShellTitleBar() {
  HWND bar = ShellTitleBar();
  if (!bar) return;
  const bool hide = ActiveWindowHidesTaskBar();
  if (hide == static_cast<bool>(IsWindowVisible(bar))) ShowWindow(bar, hide ? SW_HIDE : SW_SHOWNOACTIVATE);
  InvalidateRect(bar, nullptr, FALSE);
}

}  // namespace platform::controls
