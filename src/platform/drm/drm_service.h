// The device's file DRM service. It stores received protected objects as protected content files
// (DCF) whose keys and rights it keeps in the device's rights database, answers whether a right is
// granted, counts uses, packages content for forwarding and opens protected content for reading.
//
// The calls and their ordinals in the shell library of the phone:
//   350 FileDrmIsDRM, 359 FileDrmVerifyRights, 362 FileDrmStoreContent, 356 FileDrmShowError,
//   352 FileDrmCreateForwardableContent, 355 FileDrmCommitRights.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

// Rights that can be asked for.
constexpr DWORD kDrmRightPlay = 1;
constexpr DWORD kDrmRightDisplay = 2;
constexpr DWORD kDrmRightForward = 16;

// Results beyond S_OK and E_FAIL.
constexpr HRESULT kDrmErrorNoRights = static_cast<HRESULT>(0x80040F01u);
constexpr HRESULT kDrmErrorNotProtected = static_cast<HRESULT>(0x80040F02u);
constexpr HRESULT kDrmErrorBadObject = static_cast<HRESULT>(0x80040F03u);

// *isProtected becomes non-zero for a protected content file.
HRESULT FileDrmIsDRM(LPCWSTR file, BOOL* isProtected);
// Negative when the right is refused. The flags (1: the user may be asked) are accepted; this
// device never asks.
HRESULT FileDrmVerifyRights(HWND owner, LPCWSTR file, DWORD right, DWORD flags, DWORD* status);
// Reads a DRM object that starts with its "Content-Type: ...\r\n\r\n" header line (a DRM message or
// a protected content file), writes the protected content file to outputFile and returns the inner
// content type (at most `length` characters with the null).
HRESULT FileDrmStoreContent(LPCWSTR headerFile, LPCWSTR outputFile, LPVOID reserved, LPWSTR contentType,
                            DWORD length);
// Tells the user why a DRM call failed (here: on the debug output).
HRESULT FileDrmShowError(HWND owner, HRESULT result, LPCWSTR file, DWORD flags, DWORD* answer);
// Writes a copy of a protected content file that may be forwarded; refused for forward-locked and
// combined-delivery content.
HRESULT FileDrmCreateForwardableContent(LPCWSTR file, DWORD flags, LPCWSTR outputFile);
// Counts one use of the right (display or play) of the file.
HRESULT FileDrmCommitRights(LPCWSTR file, DWORD right);

// Opens protected content for reading, decrypted, when the right (display or play) is granted;
// INVALID_HANDLE_VALUE otherwise. A file that is not protected opens as itself.
HANDLE FileDrmCreateFile(LPCWSTR file, DWORD right);

namespace platform {

// Installs a rights object that arrived on its own (separate delivery), with its key.
bool InstallRightsObject(std::string_view xml, std::string* error);

}  // namespace platform
