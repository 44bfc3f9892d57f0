#include "platform/controls/control_common.h"

#include <map>

#include "platform/window/screen.h"

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

HFONT SystemUiFont() {
  static std::map<int, HFONT> fonts;
  const int dpi = platform::window::CurrentScreen().dpi;
  HFONT& font = fonts[dpi];
  if (!font || GetObjectType(font) != OBJ_FONT) {
    LOGFONTW info{};
    info.lfHeight = -platform::window::ScaleForDensity(12);
    info.lfWeight = FW_NORMAL;
    std::u16string_view face = u"DejaVu Sans";
    std::copy(face.begin(), face.end(), info.lfFaceName);
    font = CreateFontIndirectW(&info);
  }
  return font;
}

void DrawCaptionBar(HDC hdc, const RECT& bar, const std::u16string& title) {
  FillRect(hdc, &bar, GetSysColorBrush(COLOR_ACTIVECAPTION));
  HGDIOBJ previous = SelectObject(hdc, SystemUiFont());
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, GetSysColor(COLOR_CAPTIONTEXT));
  const int inset = platform::window::ScaleForDensity(6);
  RECT text{bar.left + inset, bar.top, bar.right - inset, bar.bottom};
  DrawTextW(hdc, title.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(hdc, previous);
}

HFONT FontOr(HFONT font) { return font ? font : SystemUiFont(); }

HWND FirstChildInCreationOrder(HWND parent) {
  HWND top = GetWindow(parent, GW_CHILD);
  return top ? GetWindow(top, GW_HWNDLAST) : nullptr;
}

HWND NextInCreationOrder(HWND hwnd) { return GetWindow(hwnd, GW_HWNDPREV); }

HWND PreviousInCreationOrder(HWND hwnd) { return GetWindow(hwnd, GW_HWNDNEXT); }

void DrawFrame(HDC hdc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FrameRect(hdc, &rect, brush);
  DeleteObject(brush);
}

}  // namespace platform::controls
