// Helpers that every window of the forms shares: the orientation test, the shell's dialog set-up,
// laying a dialog out again from another template, and closing every dialog of the process.
#pragma once

#include "platform/window/window_api.h"

// TRUE when the screen is narrower than it is high; a square screen is landscape.
BOOL IsPortrait();

BOOL InitShellDialog(HWND dialog, DWORD mask, DWORD flags);

// Moves the controls of an existing dialog to their places in another template and refreshes
// their contents; TRUE when the template holds fewer than two items with identifier -1 (0xFFFF),
// whose controls cannot be told apart. FALSE when the template is missing.
BOOL RelayoutDialog(HINSTANCE instance, HWND dialog, DWORD templateId);

// Sends WM_CLOSEDIALOG (wParam 0, lParam as given: -1 unless a caller says otherwise) to every
// visible top-level "Dialog" window of this process; returns how many were told.
int CloseProcessDialogs(LPARAM lParam = -1);
