// The desktop's keys as the phone's buttons while the read view is in front: Space presses the
// toolbar's play or pause button, Enter is the action key on the selected link, Escape is Done.
// The arrow keys are the phone's own and go through as they are. The live window and the
// headless --keys option press keys the same way.
#pragma once

#include <optional>
#include <string_view>

#include "platform/window/window_api.h"

namespace mmsform_tool {

// True for the read view's dialog: a "Dialog" owned by the read frame.
bool IsReadView(HWND hwnd);

// The read view when it, or a window of its own that is not a dialog (its full-screen player), is
// the active window; null otherwise, so that a message box in front keeps its keys.
HWND ActiveReadView();

// Acts on Space, Enter and Escape for the active read view and returns true; false for any other
// key or when no read view is in front. Both halves of a key press are taken; the press acts.
bool HandleReadViewKey(UINT message, UINT virtualKey);

// Presses a key headless: through HandleReadViewKey when it takes it, else as the device's input
// to the focus window. Pumps until idle after each half.
void PressHostKey(UINT virtualKey);

// "space", "enter", "escape", "left", "right", "up", "down" (without regard to case).
std::optional<UINT> KeyNamed(std::string_view name);

}  // namespace mmsform_tool
