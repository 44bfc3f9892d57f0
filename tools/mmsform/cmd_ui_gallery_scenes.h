// The window toolkit's gallery: one screen per part (the top menu, progress bars, spin bars, a
// dialog before and after a rotation, a message box, an open popup menu, the soft-key bar and the
// playback toolbar), drawn for the current screen. Shared by the ui-gallery commands and the
// golden screenshot tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/window/window_api.h"

namespace mmsform_tool {

// Draws every screen and writes DIR/<name>.png; the names written go to `written`. Message boxes
// and popup menus are answered from the automation queue, as in every headless run.
bool WriteUiGallery(const std::filesystem::path& dir, std::vector<std::string>* written, std::string* error);

// One screen with the live parts of the toolkit, for the window front-end: the soft keys open
// their menus and the "Layout" key opens the rotating dialog.
HWND CreateUiGalleryLiveScene();

}  // namespace mmsform_tool
