#include "ui/fitted_picture.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "ui/density.h"

namespace {

void DrawCentred(HDC hdc, const DibImage* image, const RECT& area, LONG shownWidth, LONG shownHeight) {
  const LONG width = image->header.biWidth, height = std::abs(image->header.biHeight);
  shownWidth = std::max<LONG>(1, shownWidth);
  shownHeight = std::max<LONG>(1, shownHeight);
  const LONG areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
  StretchDIBits(hdc, area.left + (areaWidth - shownWidth) / 2, area.top + (areaHeight - shownHeight) / 2, shownWidth,
                shownHeight, 0, 0, width, height, DibPixels(image), reinterpret_cast<const BITMAPINFO*>(&image->header),
                DIB_RGB_COLORS, SRCCOPY);
}

bool Drawable(const DibImage* image, const RECT& area) {
  return image != nullptr && image->header.biWidth > 0 && image->header.biHeight != 0 && area.right > area.left &&
         area.bottom > area.top;
}

}  // namespace

void DrawPictureFitted(HDC hdc, const DibImage* image, const RECT& area) {
  if (!Drawable(image, area)) return;
  const LONG width = image->header.biWidth, height = std::abs(image->header.biHeight);
  const LONG areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
  LONG shownWidth = areaWidth;
  LONG shownHeight = static_cast<LONG>(static_cast<std::int64_t>(height) * areaWidth / width);
  if (shownHeight > areaHeight) {
    shownHeight = areaHeight;
    shownWidth = static_cast<LONG>(static_cast<std::int64_t>(width) * areaHeight / height);
  }
  DrawCentred(hdc, image, area, shownWidth, shownHeight);
}

void DrawPictureAtDensity(HDC hdc, const DibImage* image, const RECT& area) {
  if (!Drawable(image, area)) return;
  const LONG width = ScaleX(image->header.biWidth), height = ScaleY(std::abs(image->header.biHeight));
  if (width > area.right - area.left || height > area.bottom - area.top) {
    DrawPictureFitted(hdc, image, area);
    return;
  }
  DrawCentred(hdc, image, area, width, height);
}
