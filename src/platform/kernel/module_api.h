// Libraries loaded by name at run time. A device path such as "\windows\ImageDLL.dll" resolves to
// the library installed there for the device; a bare name is looked for in "\windows\".
#pragma once

#include "platform/win_types.h"

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;

// Null when the file is missing or is not a loadable library (GetLastError: ERROR_MOD_NOT_FOUND).
HMODULE LoadLibraryW(LPCWSTR path);
// Null for a name the library does not export.
FARPROC GetProcAddressW(HMODULE module, LPCWSTR name);
// With LOAD_LIBRARY_AS_DATAFILE, maps a resource file; any other flag loads a code library
// (LoadLibraryW). FreeLibrary releases either.
HMODULE LoadLibraryExW(LPCWSTR path, HANDLE file, DWORD flags);
BOOL FreeLibrary(HMODULE module);
