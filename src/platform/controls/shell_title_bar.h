// The shell's title bar: a strip across the top of the screen that shows the title of the active
// window, as the phone's shell does above its full-screen dialogs and forms. It appears once a
// shell dialog is set up and then follows activation, titles and the full-screen state.
#pragma once

#include <string>

#include "platform/window/window_api.h"

namespace platform::controls {

// Shows the bar across the current screen (made on first use) and returns its height; 0 when the
// active window hides the task bar (SHFullScreen with SHFS_HIDETASKBAR).
int ShowShellTitleBar();

// The bar, or null before a shell dialog was set up.
HWND ShellTitleBar();

// The title the bar shows: the active window's, else the highest shown top-level window's.
std::u16string ShellTitleText();

// Shows or hides the bar as the active window's full-screen state asks, and repaints its title.
void UpdateShellTitleBar();

}  // namespace platform::controls
