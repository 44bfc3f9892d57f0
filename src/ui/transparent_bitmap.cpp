#include "ui/transparent_bitmap.h"

#include "platform/gdi/gdi_raii.h"
#include "platform/window/window_api.h"

// A monochrome mask of the key colour, then the bitmap XOR, the mask AND and the bitmap XOR again:
// where the mask is white the destination comes back unchanged, elsewhere the bitmap replaces it.
void DrawTransparentBitmap(HDC hdc, int x, int y, HBITMAP bitmap, COLORREF keyColour) {
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return;
  const int width = info.bmWidth;
  const int height = info.bmHeight;
  const COLORREF oldBk = SetBkColor(hdc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
  {
    platform::gdi::MemoryDc image(hdc);
    platform::gdi::MemoryDc maskDc(hdc);
    platform::gdi::UniqueBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (image && maskDc && mask) {
      platform::gdi::ScopedSelect imageSelect(image.Get(), bitmap);
      platform::gdi::ScopedSelect maskSelect(maskDc.Get(), mask.Get());
      const COLORREF oldImageBk = SetBkColor(image.Get(), keyColour);
      BitBlt(maskDc.Get(), 0, 0, width, height, image.Get(), 0, 0, SRCCOPY);
      SetBkColor(image.Get(), oldImageBk);
      BitBlt(hdc, x, y, width, height, image.Get(), 0, 0, SRCINVERT);
      BitBlt(hdc, x, y, width, height, maskDc.Get(), 0, 0, SRCAND);
      BitBlt(hdc, x, y, width, height, image.Get(), 0, 0, SRCINVERT);
    }
  }
  SetBkColor(hdc, oldBk);
  SetTextColor(hdc, oldText);
}

HBITMAP StripAtSide(HBITMAP strip, int side) {
  BITMAP size{};
  if (strip == nullptr || side <= 0 || ::GetObjectW(strip, sizeof size, &size) == 0 || size.bmHeight <= 0) {
    return nullptr;
  }
  const int cells = size.bmWidth / size.bmHeight;
  HDC screen = ::GetDC(nullptr);
  HBITMAP scaled = ::CreateCompatibleBitmap(screen, side * cells, side);
  if (scaled != nullptr) {
    platform::gdi::MemoryDc source(screen);
    platform::gdi::MemoryDc target(screen);
    platform::gdi::ScopedSelect sourceSelect(source.Get(), strip);
    platform::gdi::ScopedSelect targetSelect(target.Get(), scaled);
    ::SetStretchBltMode(target.Get(), COLORONCOLOR);
    ::StretchBlt(target.Get(), 0, 0, side * cells, side, source.Get(), 0, 0, size.bmHeight * cells, size.bmHeight,
                 SRCCOPY);
  }
  ::ReleaseDC(nullptr, screen);
  return scaled;
}
