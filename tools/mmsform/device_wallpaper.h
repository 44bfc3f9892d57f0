// mmsform device wallpaper FILE [--transparency 0..255]: a picture as the device's wallpaper, the
// way the read form's "use as wallpaper" sets it: one file per orientation in "\windows", cropped
// to the screen's shape and faded toward white by the transparency (255 leaves it as it is).
#pragma once

#include <span>

namespace mmsform_tool {

int RunWallpaper(std::span<char* const> args);

}  // namespace mmsform_tool
