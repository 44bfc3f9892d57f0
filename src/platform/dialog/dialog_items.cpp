// Reaching a dialog's items by identifier, dialog units, and the shell's dialog set-up.
#include <cstdlib>
#include <string>

#include "platform/controls/control_messages.h"
#include "platform/controls/shell_title_bar.h"
#include "platform/dialog/dialog_state.h"

using namespace platform::dialog;

BOOL MapDialogRect(HWND dialog, RECT* rect) {
  std::shared_ptr<DialogState> state = FindDialog(dialog);
  if (!state || !rect) return FALSE;
  *rect = DialogUnitsToPixels(*state, *rect);
  return TRUE;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextW(item, text) : FALSE;
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int size) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (text && size > 0) text[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextW(item, text, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  std::string digits = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
  return SetDlgItemTextW(dialog, id, std::u16string(digits.begin(), digits.end()).c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  WCHAR text[32] = {};
  GetDlgItemTextW(dialog, id, text, 32);
  std::string narrow;
  for (const WCHAR* p = text; *p; ++p) narrow.push_back(*p < 128 ? static_cast<char>(*p) : '?');
  char* end = nullptr;
  long long value = std::strtoll(narrow.c_str(), &end, 10);
  bool ok = !narrow.empty() && end && *end == 0 && (isSigned || value >= 0) && value <= 0xFFFFFFFFLL &&
            value >= -0x80000000LL;
  if (translated) *translated = ok ? TRUE : FALSE;
  return ok ? static_cast<UINT>(value) : 0;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessageW(item, message, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return FALSE;
  SendMessageW(item, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  return static_cast<UINT>(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  if (first > last) return FALSE;
  for (int id = first; id <= last; ++id) {
    if (HWND item = GetDlgItem(dialog, id)) SendMessageW(item, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

BOOL SHInitDialog(SHINITDLGINFO* info) {
  if (!info || !IsWindow(info->hDlg)) return FALSE;
  if (!(info->dwMask & SHIDIM_FLAGS)) return TRUE;
  if (info->dwFlags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR | SHIDIF_SIZEDLG)) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    // The shell's title bar above shows the dialog's title; the soft-key bar keeps the bottom of
    // the screen unless the dialog asks for all of it.
    const int top = platform::controls::ShowShellTitleBar();
    int height = GetSystemMetrics(SM_CYSCREEN) - top;
    if (!(info->dwFlags & SHIDIF_FULLSCREENNOMENUBAR)) height -= GetSystemMetrics(SM_CYMENU);
    SetWindowPos(info->hDlg, nullptr, 0, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (info->dwFlags & SHIDIF_SIPDOWN) SipShowIM(SIPF_OFF);
  return TRUE;
}
