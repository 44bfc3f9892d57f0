// A live window on the host's desktop that shows the device's screen at its own size and feeds
// the mouse and the keyboard in, for a person to try the system by hand. Built with SDL2 when the
// build finds it; otherwise IsAvailable() is false and RunLiveWindow fails with a reason.
#pragma once

#include <functional>
#include <string>

#include "platform/win_types.h"

namespace platform::front_end {

bool IsAvailable();

// Sees each key before it becomes the device's input (WM_KEYDOWN or WM_KEYUP and the virtual key)
// and returns true when it dealt with the key itself: a host maps its desktop keys to the device's
// buttons this way. Kept until replaced; an empty filter lets every key through.
using KeyFilter = std::function<bool(UINT message, UINT virtualKey)>;
void SetKeyFilter(KeyFilter filter);

// Runs the message loop with the screen shown until the window is closed (exit code 0) or
// WM_QUIT arrives (its code). -1 with a reason when no window can be shown.
int RunLiveWindow(const std::string& title, std::string* error = nullptr);

}  // namespace platform::front_end
