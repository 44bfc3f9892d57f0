// Resources of the device's operating system: a library loaded as a data file, and the strings,
// menus, dialog templates and bitmaps found in it by type and number. The null instance stands
// for the process's own resources, which on this system are those of the device's resource file
// "\windows\MMSRes.dll".
#pragma once

#include <cstdint>
#include <span>

#include "platform/gdi/gdi_api.h"

using HRSRC = struct ResourceInfoRecord*;
using HGLOBAL = void*;

inline LPCWSTR MAKEINTRESOURCEW(unsigned id) {
  return reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(id & 0xFFFF));
}
inline bool IS_INTRESOURCE(LPCWSTR name) { return reinterpret_cast<std::uintptr_t>(name) < 0x10000; }

inline LPCWSTR const RT_BITMAP = MAKEINTRESOURCEW(2);
inline LPCWSTR const RT_MENU = MAKEINTRESOURCEW(4);
inline LPCWSTR const RT_DIALOG = MAKEINTRESOURCEW(5);
inline LPCWSTR const RT_STRING = MAKEINTRESOURCEW(6);
inline LPCWSTR const RT_FONT = MAKEINTRESOURCEW(8);

constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT LR_DEFAULTCOLOR = 0;

// The process's own module for a null name; nothing for other names.
HMODULE GetModuleHandleW(LPCWSTR name);

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);

// Copies the string (truncated to fit, null-terminated) and returns its length; 0 when missing.
// A size of 0 stores a pointer to the read-only text in *buffer instead.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);
// A new bitmap of the resource, drawn for the screen's density when the file holds such a one.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// IMAGE_BITMAP only: this system keeps no icon resources, so IMAGE_ICON gives null.
HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags);

namespace platform::resources {

// Maps a resource file by device path (a bare name is looked for in "\windows\"); null with
// ERROR_MOD_NOT_FOUND when there is none. LoadLibraryExW calls it for LOAD_LIBRARY_AS_DATAFILE.
HMODULE LoadDataModule(LPCWSTR path);
// Releases a data-file module; false when `module` is not one (FreeLibrary then tries code).
bool FreeDataModule(HMODULE module);

// The bytes of the loaded resource whose data starts at `data`, so that a template handed over by
// pointer is read within its bounds; empty when `data` is no loaded resource.
std::span<const BYTE> ResourceBytesAt(const void* data);

}  // namespace platform::resources
