// The list view ("SysListView32") as the forms use it: one column of rows, each a small icon from
// the view's image list and a text, with one selected row. A tap selects, a second tap on the
// selected row or a double tap opens, the up and down keys move the selection, and every change of
// the selection reaches the parent as WM_NOTIFY with LVN_ITEMCHANGED. Rows keep their own item data
// (lParam), by which LVM_SORTITEMS orders them. The message numbers are this system's.
#pragma once

#include "platform/controls/control_messages.h"
#include "platform/controls/toolbar_api.h"

constexpr const WCHAR* WC_LISTVIEWW = u"SysListView32";

// Styles. Every layout shows the one column of rows; only one row is ever selected.
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SMALLICON = 0x0002;
constexpr DWORD LVS_LIST = 0x0003;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;

struct LVITEMW {
  UINT mask;
  int iItem;
  int iSubItem;
  UINT state;
  UINT stateMask;
  LPWSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
};

constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVNI_ALL = 0x0000;
constexpr UINT LVNI_SELECTED = 0x0002;
constexpr int LVSIL_NORMAL = 0;
constexpr int LVSIL_SMALL = 1;

constexpr UINT LVM_FIRST = 0x1000;
// wParam LVSIL_SMALL (or LVSIL_NORMAL); the list stays the caller's. Returns the list it replaced.
constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
// wParam the row to start after (-1 for the first), lParam LVNI_*; the row found or -1.
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
// wParam the row, lParam a RECT whose left is LVIR_BOUNDS; the row's place in client coordinates.
constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
constexpr UINT LVM_GETTOPINDEX = LVM_FIRST + 39;
constexpr UINT LVM_GETCOUNTPERPAGE = LVM_FIRST + 40;
// wParam the row (-1 for every row), lParam an LVITEMW with state and stateMask.
constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
// wParam the value handed to the comparison, lParam a PFNLVCOMPARE over two rows' item data.
constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;
constexpr UINT LVM_GETITEMW = LVM_FIRST + 75;
constexpr UINT LVM_SETITEMW = LVM_FIRST + 76;
constexpr UINT LVM_INSERTITEMW = LVM_FIRST + 77;
// wParam the row, lParam an LVITEMW whose pszText and cchTextMax take the text; its length.
constexpr UINT LVM_GETITEMTEXTW = LVM_FIRST + 115;
constexpr int LVIR_BOUNDS = 0;

// Orders two rows by their item data: negative, zero or positive.
using PFNLVCOMPARE = int (*)(LPARAM first, LPARAM second, LPARAM sort);

struct NMLISTVIEW {
  NMHDR hdr;
  int iItem;
  int iSubItem;
  UINT uNewState;
  UINT uOldState;
  UINT uChanged;
  POINT ptAction;
  LPARAM lParam;
};

constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
constexpr UINT NM_RETURN = static_cast<UINT>(-4);
constexpr UINT LVN_ITEMCHANGED = static_cast<UINT>(-101);
