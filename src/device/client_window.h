// Finding the client application's main window, starting the client when it is not running.
#pragma once

#include "platform/win_types.h"

constexpr const char16_t* kClientWindowClass = u"Ppc_WndCls_MainFrme";

// Looks for the client's main window; while it is missing, starts the program of TransportPath
// and waits a second, until TransportReadyTimeOut milliseconds have passed. FALSE at once when the
// program cannot be started.
BOOL FindOrLaunchClient(HWND* window);
