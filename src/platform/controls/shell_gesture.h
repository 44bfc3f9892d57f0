// The shell's tap-and-hold recognition: after a press, whether the stylus stays down and still for
// the shell's hold time (the context-menu gesture) or is lifted or moved before (a plain tap).
#pragma once

#include "platform/window/window_api.h"

struct SHRGINFO {
  DWORD cbSize;
  HWND hwndClient;
  POINT ptDown;  // client coordinates of the press
  DWORD dwFlags;
};

constexpr DWORD SHRG_RETURNCMD = 0x1;
constexpr DWORD SHRG_NOTIFYPARENT = 0x2;
constexpr DWORD SHRG_LONGDELAY = 0x8;
constexpr DWORD GN_CONTEXTMENU = 1000;

// How long the press must be held, on the device clock, and how far it may wander meanwhile.
constexpr DWORD kShellHoldMilliseconds = 500;
constexpr DWORD kShellLongHoldMilliseconds = 1000;
constexpr int kShellHoldTolerance = 5;

// GN_CONTEXTMENU for a hold, 0 for a tap. The release or move that ended a tap stays queued for
// the window. With a front-end the wait is the person's; headless, nothing more can arrive, so a
// press with no release queued is held: the device clock moves on by the hold time.
DWORD SHRecognizeGesture(SHRGINFO* info);
