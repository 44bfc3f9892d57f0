// Objects protected by DRM in a message: their status, whether they may be shown or played, the
// header line that marks a DRM object, and unwrapping received objects into protected content files
// through the device's DRM service. Everything here is off unless DRM support is configured.
#pragma once

#include <string>

#include "platform/text/cstring.h"
#include "platform/win_types.h"

// The DRM status of a file.
enum DrmStatusCode : int {
  kDrmNotProtected = 0,
  kDrmForwardRefused = 1,  // protected, and it may not be forwarded
  kDrmLocked = 2,          // treated as locked by callers; the status query never returns it
  kDrmForwardGranted = 3,  // protected, and it may be forwarded
};

// The kinds of DRM object: a DRM message (forward-lock or combined delivery) or DRM content.
enum DrmKind : int { kDrmKindNone = 0, kDrmKindMessage = 1, kDrmKindCombinedMessage = 2, kDrmKindContent = 3 };

// 0, 1 or 3. mode 0 lets the service ask the user (flags 1); any other mode does not.
int DrmStatus(LPCWSTR file, int mode, HWND owner);
// True when the file is not protected, or the right that fits its type (display for pictures, play
// for sound and video) is granted; protected objects of other kinds are refused.
bool MayUse(LPCWSTR file);
// The kind of a DRM content type, kDrmKindNone for any other.
DrmKind DrmKindOfContentType(std::string_view contentType);
bool IsDrmContentType(std::string_view contentType);

// Puts the header line of the kind in front of the file's data unless it is there already.
bool AddDrmHeader(LPCWSTR file, int kind);
// Removes the header line of the kind (and the empty line after it) when the file starts with it.
// Both leave the file alone while DRM support is off.
bool StripDrmHeader(LPCWSTR file, int kind);

// Unwraps folder + name, received with contentType, into a protected content file of the same name;
// contentTypeOut gets the inner content type. On failure the service's error is shown and the
// received file stays as it was.
bool UnwrapDrm(LPCWSTR folder, LPCWSTR name, std::string& contentTypeOut, std::string_view contentType, HWND owner);

// Protected playback in progress: sets the transport's DRM context record (active, window, 2) and
// its flag in one step.
void SetDrmContext(DWORD active, HWND window, int flag);
