// Dialogs of the device's operating system: dialogs built from binary templates, modal (a nested
// message loop until EndDialog) or modeless, placed in dialog units of the template's font, and
// the calls that reach their items. The window class of dialogs is "Dialog".
#pragma once

#include "platform/dialog/dialog_template.h"
#include "platform/window/window_api.h"

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

constexpr const WCHAR* kDialogClassName = u"Dialog";

// The control that should take the focus: WM_INITDIALOG's result TRUE gives it to the first
// item with WS_TABSTOP.
constexpr UINT WM_NEXTDLGCTL = 0x0028;
// Sent to a modal dialog, headless, once its queue has run dry with nobody to press its buttons:
// a dialog that ends itself from the automation's queues answers; any other gets a button.
constexpr UINT WM_ANSWER_FOR_ABSENT_USER = 0x04F6;
constexpr UINT DM_GETDEFID = WM_USER + 0;

// Creates the dialog and runs it modally; returns the value given to EndDialog, or -1 when the
// template is missing or the dialog cannot be made (nothing is then shown). While it runs, the
// owner is disabled. Headless (no front-end), a dialog whose queue has run dry takes its result
// from the automation's answer queue (kind "Dialog", text the title); an unexpected one ends with
// IDCANCEL.
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent,
                                DLGPROC procedure, LPARAM initParam);
// Creates the dialog and returns at once (shown when the template has WS_VISIBLE); null when the
// template is missing or a control cannot be made.
HWND CreateDialogIndirectParamW(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent,
                                DLGPROC procedure, LPARAM initParam);
// Ends a modal dialog's loop with `result` (and hides the dialog); a modeless one is hidden.
BOOL EndDialog(HWND dialog, INT_PTR result);
// Dialog units of the dialog's font to pixels.
BOOL MapDialogRect(HWND dialog, RECT* rect);

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);

// The shell's dialog set-up: SHIDIF_SIZEDLGFULLSCREEN sizes the dialog to the screen above the
// soft-key bar; SHIDIF_SIPDOWN lowers the input panel.
struct SHINITDLGINFO {
  DWORD dwMask;
  HWND hDlg;
  DWORD dwFlags;
};
constexpr DWORD SHIDIM_FLAGS = 0x0001;
constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
constexpr DWORD SHIDIF_SIZEDLG = 0x0002;
constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
constexpr DWORD SHIDIF_SIPDOWN = 0x0008;
constexpr DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x0010;
BOOL SHInitDialog(SHINITDLGINFO* info);
