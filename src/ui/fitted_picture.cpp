#include "ui/fitted_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

void DrawPictureFitted(HDC hdc, const DibImage* image, const RECT& area) {
  const LONG width = image->header.biWidth, height = std::abs(image->header.biHeight);
  const LONG areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
  if (width < 1 || height < 1 || areaWidth < 1 || areaHeight < 1) return;
  LONG shownWidth = areaWidth;
  LONG shownHeight = static_cast<LONG>(static_cast<std::int64_t>(height) * areaWidth / width);
  if (shownHeight > areaHeight) {
    shownHeight = areaHeight;
    shownWidth = static_cast<LONG>(static_cast<std::int64_t>(width) * areaHeight / height);
  }
  shownWidth = std::max<LONG>(1, shownWidth);
  shownHeight = std::max<LONG>(1, shownHeight);
  StretchDIBits(hdc, area.left + (areaWidth - shownWidth) / 2, area.top + (areaHeight - shownHeight) / 2, shownWidth,
                shownHeight, 0, 0, width, height, DibPixels(image), reinterpret_cast<const BITMAPINFO*>(&image->header),
                DIB_RGB_COLORS, SRCCOPY);
}
