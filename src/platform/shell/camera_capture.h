// The shell's camera capture (SHCameraCapture). This device has no camera: the picture or video it
// "takes" is a copy of a file that the device names in the registry under
// HKEY_LOCAL_MACHINE\Platform\Camera ("StillSource" for pictures, "VideoSource" for videos, each a
// device path). The copy is written into the initial folder (else "\My Documents\My Pictures\")
// under the default name or the next free "IMAGE%03d" / "VIDEO%03d" name with the source's
// extension, and every capture is written to the activity log with the video time limit it was
// given.
#pragma once

#include "platform/win_types.h"

struct SHCAMERACAPTURE {
  DWORD cbSize;
  HWND hwndOwner;
  WCHAR szFile[MAX_PATH];  // out: the captured file's path
  LPCWSTR pszInitialDir;
  LPCWSTR pszDefaultFileName;
  LPCWSTR pszTitle;
  DWORD StillQuality;
  DWORD VideoTypes;
  DWORD nResolutionWidth;
  DWORD nResolutionHeight;
  DWORD nVideoTimeLimit;
  DWORD Mode;  // 0 still, 1 video only, 2 video with audio
};

// S_OK with szFile filled; E_INVALIDARG for a record of another size or a mode not listed;
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when the device names no source or the source is
// missing, with the reason in the activity log; E_FAIL when the copy cannot be written.
HRESULT SHCameraCapture(SHCAMERACAPTURE* capture);
