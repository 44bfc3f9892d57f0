// The window of an open popup menu: its items in rows, owner-drawn ones through the owner's
// WM_MEASUREITEM and WM_DRAWITEM. TrackPopupMenuEx opens one in the front-end; the gallery and
// tests open one directly to look at it.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/menu_api.h"

namespace platform::controls {

constexpr const WCHAR* kPopupMenuClass = u"MenuPopup";

// Creates the visible popup window for `menu` at the screen point, aligned by the TPM_ flags and
// kept on the screen. Null for a menu that is no live menu.
HWND OpenPopupMenuWindow(HMENU menu, UINT flags, int x, int y, HWND owner);
// The command chosen in an open popup window: nothing yet (-1), dismissed (0), or a command.
int PopupMenuChoice(HWND popup);

// The text and screen rectangle of each item row of an open popup window, separators left out: for
// a script that taps an item.
struct PopupMenuRow {
  std::u16string text;
  RECT rect;
};
std::vector<PopupMenuRow> PopupMenuRows(HWND popup);

}  // namespace platform::controls
