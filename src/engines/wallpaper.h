// A picture of a message as the Today screen's wallpaper (or the start image): one file per
// orientation in "\windows", cropped to the target's shape and faded toward white.
#pragma once

#include "engines/dib_image.h"
#include "platform/text/cstring.h"

struct WallpaperRequest {
  CString picture;       // device path
  DWORD mediaType = 0;   // 0xFFFF0000: from the name
  HWND owner = nullptr;  // for the protected-content prompt
  SIZE portrait{};       // target size of the portrait file
  SIZE landscape{};      // and of the landscape file
  POINT portraitOffset{};   // where the crop band starts, as chosen in the preview
  POINT landscapeOffset{};
  int transparency = 255;  // 0 (white) to 255 (the picture as it is)
};

// TRUE when both files were written. The new files are written first under other names; only
// then are the earlier wallpapers deleted and the new ones renamed into place, so that a picture
// that fails to decode or encode leaves the device's wallpaper as it was.
BOOL SetWallpaper(const WallpaperRequest& request);

// 24-bit pictures only; a new picture of the band, or null when the band is not strictly inside.
DibImage* CropColumns(const DibImage* image, LONG x, LONG width);
DibImage* CropRows(const DibImage* image, LONG y, LONG height);
// Every channel c becomes (L * 255 + c * (255 - L)) / 255 with L = 255 - level.
void FadeTowardWhite(DibImage* image, int level);
