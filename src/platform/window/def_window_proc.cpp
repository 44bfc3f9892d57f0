// The default handling of window messages that windows of this system rely on.
#include <algorithm>

#include "platform/gdi/gdi_objects.h"
#include "platform/window/window_system.h"

using namespace platform::window;

namespace {

LRESULT EraseBackground(HWND hwnd, HDC hdc) {
  Window* window = FindWindowRecord(hwnd);
  if (!window || !window->windowClass->background) {
    return 0;
  }
  std::optional<COLORREF> color = platform::gdi::BrushColor(window->windowClass->background);
  if (!color) {
    return 0;
  }
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, window->windowClass->background);
  return 1;
}

LRESULT CopyText(const Window& window, WPARAM size, LPARAM buffer) {
  auto* out = reinterpret_cast<WCHAR*>(buffer);
  if (!out || size == 0) {
    return 0;
  }
  std::size_t count = std::min<std::size_t>(window.text.size(), size - 1);
  std::copy_n(window.text.begin(), count, out);
  out[count] = 0;
  return static_cast<LRESULT>(count);
}

// A name given as a resource ordinal (below 0x10000) is no text.
std::u16string TextOf(LPCWSTR text) {
  if (!text || reinterpret_cast<std::uintptr_t>(text) < 0x10000) {
    return {};
  }
  return text;
}

}  // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = FindWindowRecord(hwnd);
  if (!window) {
    return 0;
  }
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      window->text = create ? TextOf(create->lpszName) : std::u16string();
      return TRUE;
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_ERASEBKGND: return EraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_SETTEXT:
      window->text = TextOf(reinterpret_cast<LPCWSTR>(lParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      if (window->parent == nullptr && System().titleObserver) {
        System().titleObserver();
      }
      return TRUE;
    case WM_GETTEXT: return CopyText(*window, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(window->text.size());
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != hwnd && !IsChild(hwnd, focus)) {
          SetFocus(hwnd);
        }
      }
      return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      auto hdc = reinterpret_cast<HDC>(wParam);
      SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(hdc, GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    default: return 0;
  }
}
