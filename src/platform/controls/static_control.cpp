// STATIC: text in one of three alignments, or a bitmap (SS_BITMAP, STM_SETIMAGE); SS_NOTIFY
// reports taps. An SS_BITMAP static created with an ordinal title loads that bitmap itself.
#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/resources/resource_api.h"

namespace platform::controls {
namespace {

struct StaticState {
  HFONT font = nullptr;
  HANDLE image = nullptr;  // the bitmap or icon shown; the caller owns it
};

DWORD Kind(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & SS_TYPEMASK; }

void Paint(StaticState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  HBRUSH brush = ParentColors(hwnd, hdc, WM_CTLCOLORSTATIC);
  if (brush) FillRect(hdc, &client, brush);
  const DWORD kind = Kind(hwnd);
  const DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  if (kind == SS_BITMAP && state.image && GetObjectType(state.image) == OBJ_BITMAP) {
    BITMAP info{};
    GetObjectW(state.image, sizeof info, &info);
    HDC memory = CreateCompatibleDC(hdc);
    HGDIOBJ previous = SelectObject(memory, state.image);
    int x = (style & SS_CENTERIMAGE) ? (client.right - info.bmWidth) / 2 : 0;
    int y = (style & SS_CENTERIMAGE) ? (client.bottom - info.bmHeight) / 2 : 0;
    BitBlt(hdc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
  } else if (kind <= SS_RIGHT) {
    HGDIOBJ previous = SelectObject(hdc, FontOr(state.font));
    SetBkMode(hdc, TRANSPARENT);
    std::u16string text = TextOf(hwnd);
    UINT format = DT_WORDBREAK | DT_NOPREFIX | (kind == SS_CENTER ? DT_CENTER : kind == SS_RIGHT ? DT_RIGHT : DT_LEFT);
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &client, format);
    SelectObject(hdc, previous);
  }
  EndPaint(hwnd, &paint);
}

LRESULT Handle(StaticState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      if (Kind(hwnd) == SS_BITMAP && create && create->lpszName && IS_INTRESOURCE(create->lpszName)) {
        state.image = LoadBitmapW(create->hInstance, create->lpszName);
      }
      return 0;
    }
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      state.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
    case STM_SETIMAGE: {
      HANDLE previous = state.image;
      state.image = reinterpret_cast<HANDLE>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(previous);
    }
    case STM_GETIMAGE: return reinterpret_cast<LRESULT>(state.image);
    case WM_LBUTTONDOWN:
      if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY) NotifyParent(hwnd, STN_CLICKED);
      return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT StaticProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlProcedure<StaticState>(hwnd, message, wParam, lParam, Handle);
}

}  // namespace

void RegisterStaticClass() { RegisterControlClass(u"STATIC", StaticProcedure, 0); }

}  // namespace platform::controls
