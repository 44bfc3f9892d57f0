// Message boxes: a caption bar, the text and a row of buttons of the box's type (OK; OK, Cancel;
// Yes, No; ...). With a front-end waiting for a person, MessageBoxW shows this window and waits for a
// button; headless, it answers from the automation's queue.
#pragma once

#include "platform/window/window_api.h"

namespace platform::dialog {

// A visible box centred on the screen; its buttons post their identifier (IDOK, IDYES, ...) to
// the owner as WM_COMMAND. Null when it cannot be made.
HWND CreateMessageBoxWindow(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// Shows the box and runs a nested message loop until a button is pressed (Enter presses the
// focused one, Escape the one that changes nothing); the owner is disabled meanwhile. Returns the
// button's identifier, or the cautious answer when the box could not be shown or the loop ended.
int RunMessageBoxWindow(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

}  // namespace platform::dialog
