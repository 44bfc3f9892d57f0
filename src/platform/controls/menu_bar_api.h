// The shell's soft-key menu bar: a bar along the bottom of the screen whose two keys are the
// top-level items of a menu resource. A key that is a command sends WM_COMMAND to the owner; a key
// that is a submenu opens it as a popup menu above the bar (WM_INITMENUPOPUP first). Keys handed
// to the bar with SHCMBM_OVERRIDEKEY and the notify flag are passed on to the owner.
#pragma once

#include "platform/window/window_api.h"

struct SHMENUBARINFO {
  DWORD cbSize;
  HWND hwndParent;
  DWORD dwFlags;
  UINT nToolBarId;  // the menu resource (or, with SHCMBF_HMENU, a menu handle's number)
  HINSTANCE hInstRes;
  int nBmpId;
  int cBmpImages;
  HWND hwndMB;  // out: the bar
  COLORREF clrBk;
};

constexpr DWORD SHCMBF_EMPTYBAR = 0x0001;
constexpr DWORD SHCMBF_HIDDEN = 0x0002;
constexpr DWORD SHCMBF_HIDESIPBUTTON = 0x0004;
constexpr DWORD SHCMBF_COLORBK = 0x0008;
constexpr DWORD SHCMBF_HMENU = 0x0010;

constexpr UINT SHCMBM_GETSUBMENU = WM_USER + 401;  // lParam: the key's command or position
constexpr UINT SHCMBM_GETMENU = WM_USER + 402;
constexpr UINT SHCMBM_OVERRIDEKEY = WM_USER + 403;  // wParam: key; lParam: (mask, value) flags
constexpr WORD SHMBOF_NODEFAULT = 0x1;
constexpr WORD SHMBOF_NOTIFY = 0x2;

constexpr const WCHAR* kMenuBarClass = u"menu_worker";

BOOL SHCreateMenuBar(SHMENUBARINFO* info);

namespace platform::controls {
// The same bar over a menu built in code, for the host's own windows, which have no menu resource;
// the bar owns the menu from now on. Null when the owner or the menu is not live.
HWND CreateMenuBarForMenu(HWND owner, HMENU menu);
}  // namespace platform::controls
