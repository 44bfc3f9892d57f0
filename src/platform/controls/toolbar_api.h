// The common toolbar ("ToolbarWindow32") and image lists: buttons with faces from an image list,
// states, tool-tip texts, and WM_NOTIFY (NM_CLICK) then WM_COMMAND to the parent on a tap. The
// message numbers are this system's; its TB_ENABLEBUTTON is 0x0402.
#pragma once

#include <string>

#include "platform/controls/control_messages.h"

using HIMAGELIST = struct ImageListRecord*;

constexpr const WCHAR* TOOLBARCLASSNAMEW = u"ToolbarWindow32";

struct TBBUTTON {
  int iBitmap;
  int idCommand;
  BYTE fsState;
  BYTE fsStyle;
  BYTE bReserved[2];
  ULONG_PTR dwData;
  INT_PTR iString;
};

struct TBBUTTONINFOW {
  UINT cbSize;
  DWORD dwMask;
  int idCommand;
  int iImage;
  BYTE fsState;
  BYTE fsStyle;
  WORD cx;
  ULONG_PTR lParam;
  LPWSTR pszText;
  int cchText;
};

constexpr BYTE TBSTATE_CHECKED = 0x01;
constexpr BYTE TBSTATE_PRESSED = 0x02;
constexpr BYTE TBSTATE_ENABLED = 0x04;
constexpr BYTE TBSTATE_HIDDEN = 0x08;
constexpr BYTE TBSTYLE_BUTTON = 0x00;
constexpr BYTE TBSTYLE_SEP = 0x01;
constexpr BYTE TBSTYLE_CHECK = 0x02;

constexpr DWORD TBIF_IMAGE = 0x01;
constexpr DWORD TBIF_TEXT = 0x02;
constexpr DWORD TBIF_STATE = 0x04;
constexpr DWORD TBIF_STYLE = 0x08;
constexpr DWORD TBIF_LPARAM = 0x10;
constexpr DWORD TBIF_COMMAND = 0x20;
constexpr DWORD TBIF_SIZE = 0x40;

constexpr UINT TB_CHECKBUTTON = WM_USER + 1;
constexpr UINT TB_ENABLEBUTTON = WM_USER + 2;
constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
constexpr UINT TB_DELETEBUTTON = WM_USER + 22;
constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
constexpr UINT TB_BUTTONSTRUCTSIZE = WM_USER + 30;
constexpr UINT TB_SETBUTTONSIZE = WM_USER + 31;
constexpr UINT TB_AUTOSIZE = WM_USER + 33;
constexpr UINT TB_SETIMAGELIST = WM_USER + 48;
constexpr UINT TB_GETBUTTONINFOW = WM_USER + 63;
constexpr UINT TB_SETBUTTONINFOW = WM_USER + 64;
constexpr UINT TB_ADDBUTTONSW = WM_USER + 68;
constexpr UINT TB_SETTOOLTIPS = WM_USER + 81;

constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
// Cuts the bitmap into images of the list's width; returns the index of the first, or -1.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The same, with every pixel of `key` transparent when the images are drawn.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF key);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* width, int* height);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style);

namespace platform::controls {

// The tool-tip text of the button at `index` as last given by TB_SETTOOLTIPS (empty when none).
std::u16string ToolbarToolTip(HWND toolbar, int index);
// The rectangle of the button with the command, in the toolbar's client coordinates.
bool ToolbarButtonRect(HWND toolbar, int command, RECT* rect);

}  // namespace platform::controls
