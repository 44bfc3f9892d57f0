// The window of a message box: a caption bar, the text and a row of buttons of the box's type
// (OK; OK, Cancel; Yes, No; ...). MessageBoxW answers from the automation's queue headless; this
// window is what a message box looks like, for pictures of the screen and for a front-end.
#pragma once

#include "platform/window/window_api.h"

namespace platform::dialog {

// A visible box centred on the screen; its buttons post their identifier (IDOK, IDYES, ...) to
// the owner as WM_COMMAND. Null when it cannot be made.
HWND CreateMessageBoxWindow(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

}  // namespace platform::dialog
