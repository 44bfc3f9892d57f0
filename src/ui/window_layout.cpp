#include "ui/window_layout.h"

#include <vector>

#include "platform/controls/control_messages.h"
#include "platform/dialog/current_process.h"
#include "platform/dialog/dialog_api.h"
#include "platform/resources/resource_api.h"
#include "platform/text/text_conversion.h"
#include "ui/dialog_base.h"

namespace {

using platform::dialog::DialogItemTemplate;

void RefreshImage(HINSTANCE instance, HWND control, const DialogItemTemplate& item) {
  const DWORD kind = item.style & SS_TYPEMASK;
  if (item.windowClass.ordinal != kStaticOrdinal || (kind != SS_ICON && kind != SS_BITMAP)) return;
  // This system keeps no icon resources, so there is no icon to reload: the control keeps the one
  // it shows.
  if (kind == SS_ICON) return;
  HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(item.title.ordinal));
  auto previous = reinterpret_cast<HGDIOBJ>(
      SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
  if (previous && previous != bitmap) DeleteObject(previous);
}

// Contents that depend on the template: images, titles and the selection of lists.
void RefreshContents(HINSTANCE instance, HWND control, const DialogItemTemplate& item) {
  if (!item.windowClass.isOrdinal || !control) return;
  switch (item.windowClass.ordinal) {
    case kButtonOrdinal:
    case kStaticOrdinal:
      if (item.title.isOrdinal) {
        RefreshImage(instance, control, item);
      } else {
        SetWindowTextW(control, item.title.text.c_str());
      }
      break;
    case kListBoxOrdinal: {
      LRESULT selection = SendMessageW(control, LB_GETCURSEL, 0, 0);
      if (selection != LB_ERR) SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
      break;
    }
    case kComboBoxOrdinal: {
      LRESULT selection = SendMessageW(control, CB_GETCURSEL, 0, 0);
      if (selection != CB_ERR) SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
      break;
    }
    default: break;
  }
}

BOOL CollectDialog(HWND hwnd, LPARAM lParam) {
  WCHAR name[16] = {};
  GetClassNameW(hwnd, name, 16);
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if ((GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) && platform::EqualsNoCase(name, u"Dialog") &&
      process == GetCurrentProcessId()) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
  }
  return TRUE;
}

}  // namespace

BOOL IsPortrait() { return GetSystemMetrics(SM_CXSCREEN) < GetSystemMetrics(SM_CYSCREEN) ? TRUE : FALSE; }

BOOL InitShellDialog(HWND dialog, DWORD mask, DWORD flags) {
  SHINITDLGINFO info{mask, dialog, flags};
  return SHInitDialog(&info);
}

BOOL RelayoutDialog(HINSTANCE instance, HWND dialog, DWORD templateId) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(templateId & 0xFFFF), RT_DIALOG);
  const auto* data = resource ? static_cast<const BYTE*>(LockResource(LoadResource(instance, resource))) : nullptr;
  if (!data) return FALSE;
  auto parsed = platform::dialog::ParseDialogTemplate(std::span<const BYTE>(data, SizeofResource(instance, resource)));
  if (!parsed) return FALSE;
  HDWP positions = BeginDeferWindowPos(static_cast<int>(parsed->items.size()));
  int unnamed = 0;
  for (const DialogItemTemplate& item : parsed->items) {
    if (item.id == 0xFFFF) ++unnamed;
    HWND control = GetDlgItem(dialog, item.id);
    RECT rect{item.x, item.y, item.x + item.cx, item.y + item.cy};
    MapDialogRect(dialog, &rect);
    if (control && positions) {
      positions = DeferWindowPos(positions, control, nullptr, rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top, SWP_NOZORDER);
    }
    RefreshContents(instance, control, item);
  }
  SetWindowLongW(dialog, GWL_EXSTYLE, static_cast<LONG_PTR>(parsed->exStyle));
  SetWindowLongW(dialog, GWL_STYLE, static_cast<LONG_PTR>(parsed->style));
  if (positions) EndDeferWindowPos(positions);
  return unnamed < 2 ? TRUE : FALSE;
}

int CloseProcessDialogs(LPARAM lParam) {
  std::vector<HWND> dialogs;
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  for (HWND dialog : dialogs) {
    if (IsWindow(dialog)) SendMessageW(dialog, WM_CLOSEDIALOG, 0, lParam);
  }
  return static_cast<int>(dialogs.size());
}
