// What the platform controls share: their per-window state kept in the first window word (so that
// GWL_USERDATA stays free for whoever subclasses a control), notifications to the parent, the
// parent's colours, and the font.
#pragma once

#include <memory>
#include <string>

#include "platform/controls/control_messages.h"
#include "platform/gdi/gdi_api.h"

namespace platform::controls {

// Registers a control class whose windows keep one state pointer in their window words.
void RegisterControlClass(const WCHAR* name, WNDPROC procedure, int background);

// The state of a control window; created on WM_NCCREATE and deleted on WM_NCDESTROY by
// ControlProcedure.
template <typename State>
State* StateOf(HWND hwnd) {
  return reinterpret_cast<State*>(GetWindowLongW(hwnd, 0));
}

// Runs `handle` with the control's state, owning the state's lifetime around it.
template <typename State, typename Handler>
LRESULT ControlProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Handler handle) {
  if (message == WM_NCCREATE) {
    SetWindowLongW(hwnd, 0, reinterpret_cast<LONG_PTR>(new State()));
  }
  State* state = StateOf<State>(hwnd);
  if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongW(hwnd, 0, 0);
    delete state;
    return 0;
  }
  return handle(*state, hwnd, message, wParam, lParam);
}

// WM_COMMAND (identifier, code) to the parent, with the control as lParam.
void NotifyParent(HWND control, WORD code);
// Asks the parent for the control's colours (WM_CTLCOLORSTATIC, ...); the brush to fill with.
HBRUSH ParentColors(HWND control, HDC hdc, UINT message);
// The window's text.
std::u16string TextOf(HWND hwnd);
// The system's user-interface font at the screen's density (owned by the system, never deleted).
HFONT SystemUiFont();
// The device's caption bar: `bar` in the active-caption colour and `title` on it in the system
// font, inset at both sides and cut with an ellipsis when it does not fit.
void DrawCaptionBar(HDC hdc, const RECT& bar, const std::u16string& title);
// The default control font: the dialog font given by WM_SETFONT, else the system's.
HFONT FontOr(HFONT font);
// Siblings in the order they were created (the dialog's tab order): the newest child sits on top
// of the z-order, so creation order runs from the bottom up. Null after the last.
HWND FirstChildInCreationOrder(HWND parent);
HWND NextInCreationOrder(HWND hwnd);
HWND PreviousInCreationOrder(HWND hwnd);
// A one-pixel frame in a colour.
void DrawFrame(HDC hdc, const RECT& rect, COLORREF color);

}  // namespace platform::controls
