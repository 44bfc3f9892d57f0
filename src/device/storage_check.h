// The free-storage check: the device must keep its configured reserve free. When it does not, the
// client application is told, so that it can warn the user; the caller goes on either way.
#pragma once

#include "platform/win_types.h"

// Posted to the client application's main window when the storage runs low.
constexpr UINT WM_STORAGE_LOW = 0x0508;
// The window class of the client application's main window.
inline constexpr const WCHAR* kClientWindowClass = u"Ppc_WndCls_MainFrme";

// True when the free storage (KiB) exceeds the ReservedSpace setting (KiB); otherwise posts
// WM_STORAGE_LOW to the client's main window, when there is one, and returns false.
bool CheckStorage();
