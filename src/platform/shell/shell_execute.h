// The shell's ShellExecuteEx: a device program in "\windows\" is started as a device process; a
// vCard or vCalendar file is imported into the contact store (a file it cannot read fails with
// ERROR_BAD_FORMAT, and nothing is added); any other document or address is
// handed on. Every request is written to the device's activity log. With desktop opening allowed
// (a host started with --open-links), http, https and mailto addresses also go to the desktop's
// own opener.
#pragma once

#include "platform/win_types.h"
#include "platform/window/window_styles.h"

struct SHELLEXECUTEINFO {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCWSTR lpVerb;
  LPCWSTR lpFile;
  LPCWSTR lpParameters;
  LPCWSTR lpDirectory;
  int nShow;
  HINSTANCE hInstApp;  // out: above 32 on success
  void* lpIDList;
  LPCWSTR lpClass;
  HKEY hkeyClass;
  DWORD dwHotKey;
  HANDLE hIcon;
  HANDLE hProcess;  // out, with SEE_MASK_NOCLOSEPROCESS: the started program, closed by the caller
};

constexpr ULONG SEE_MASK_NOCLOSEPROCESS = 0x40;

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info);

namespace platform::shell {

// Whether addresses may leave the device for the desktop's opener (off unless the host asks).
void AllowDesktopOpening(bool allowed);

}  // namespace platform::shell
