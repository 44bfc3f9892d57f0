#include "platform/controls/control_common.h"

namespace platform::controls {

void RegisterControlClass(const WCHAR* name, WNDPROC procedure, int background) {
  WNDCLASSW existing{};
  if (GetClassInfoW(nullptr, name, &existing)) return;
  WNDCLASSW info{};
  info.style = CS_DBLCLKS | CS_GLOBALCLASS;
  info.lpfnWndProc = procedure;
  info.cbWndExtra = sizeof(LONG_PTR);
  info.hbrBackground = background ? reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(background + 1)) : nullptr;
  info.lpszClassName = name;
  RegisterClassW(&info);
}

void NotifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (parent) {
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
  }
}

HBRUSH ParentColors(HWND control, HDC hdc, UINT message) {
  HWND parent = GetParent(control);
  LRESULT brush = parent ? SendMessageW(parent, message, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(control))
                         : 0;
  if (!brush) brush = DefWindowProcW(control, message, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(control));
  return reinterpret_cast<HBRUSH>(brush);
}

std::u16string TextOf(HWND hwnd) {
  std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, u'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

HFONT FontOr(HFONT font) { return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void DrawFrame(HDC hdc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FrameRect(hdc, &rect, brush);
  DeleteObject(brush);
}

}  // namespace platform::controls
