// The window demonstration scene: windows with text in several sizes and alignments, lines,
// fills and a transparent bitmap, laid out for the current screen's density. Shared by the
// window-demo commands and the golden screenshot tests.
#pragma once

#include "platform/window/window_api.h"

namespace mmsform_tool {

// Creates the scene's windows (registering their classes on first use) and returns the frame.
HWND CreateDemoScene();

}  // namespace mmsform_tool
