#include "ui/density.h"

#include "platform/window/window_api.h"

namespace {

int Density(int index) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int ScreenDpiX() { return Density(LOGPIXELSX); }
int ScaleX(int value) { return (value * Density(LOGPIXELSX) + 95) / 96; }
int ScaleY(int value) { return (value * Density(LOGPIXELSY) + 95) / 96; }
