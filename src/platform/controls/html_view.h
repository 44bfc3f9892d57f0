// The HTML view: window class "DISPLAYCLASS", registered by InitHTMLControl (the HTML library's
// first entry point). It shows an HTML or XHTML file navigated to by a "file://" address, with
// its links tappable; it never fetches anything and never follows a link itself: a tap goes to
// the view's parent as WM_NOTIFY NM_HOTSPOT (the 8-bit target), a held press as NM_CONTEXTMENU
// (with the point). The view draws in its first child window, which its owner may subclass.
#pragma once

#include "platform/controls/control_messages.h"
#include "platform/window/window_api.h"

constexpr const WCHAR* kHtmlViewClass = u"DISPLAYCLASS";
constexpr UINT NM_HOTSPOT = WM_USER + 101;      // 1125
constexpr UINT NM_CONTEXTMENU = WM_USER + 107;  // 1131
constexpr UINT DTM_NAVIGATE = WM_USER + 120;    // lParam: the address (wide)

struct NM_HTMLVIEW {
  NMHDR hdr;
  const char* szTarget;  // the link as written, at most 1000 characters
  const char* szData;
  DWORD dwCookie;
  DWORD dwFlags;
};

struct NM_HTMLCONTEXT {
  NMHDR hdr;
  POINT pt;  // screen coordinates
  UINT uTypeFlags;
  const char* szLinkHREF;
  const char* szLinkName;
  DWORD dwReserved1;
  DWORD dwID;
  DWORD dwReserved2;
};

BOOL InitHTMLControl(HINSTANCE instance);

namespace platform::html {

// What the view shows, for tests: the number of links laid out and the screen rectangle of the
// first piece of link `index` in the view's child (false when there is none).
int LinkCount(HWND view);
bool LinkRectangle(HWND view, int index, RECT* screen);
// The rectangle (in the child's content, before scrolling) that every laid-out piece lies in.
RECT ContentBounds(HWND view);
// Pictures drawn (decoded from the text's own folder) and pictures left out.
int PicturesShown(HWND view);

}  // namespace platform::html
