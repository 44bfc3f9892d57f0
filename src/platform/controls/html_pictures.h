// Pictures of an HTML text's own folder for the HTML view. The view is platform code, so it drives
// the picture codec library ("ImageDLL.dll" in \windows\, loaded by name) itself rather than through
// the module: the file is read into memory (bounded), decoded row by row, and sampled into a bitmap
// that fits a box, its aspect kept. JPEG, PNG, BMP, WBMP and GIF are read; of an animated GIF the
// first frame shows, as a still picture in the page.
#pragma once

#include <filesystem>

#include "platform/gdi/gdi_types.h"

namespace platform::html {

// Files larger than this are not decoded; nor are pictures wider than kMaxPictureSide pixels.
constexpr std::uintmax_t kMaxPictureBytes = 8u << 20;
constexpr int kMaxPictureSide = 16384;

// A 24-bit bitmap of the picture in `file` (a host path), no larger than maxWidth x maxHeight and
// no larger than the picture itself; null when the file is missing, too large, not a picture the
// library reads, or the library is missing. The caller deletes it.
HBITMAP DecodePicture(const std::filesystem::path& file, int maxWidth, int maxHeight);

}  // namespace platform::html
