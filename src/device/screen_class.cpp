#include "device/screen_class.h"

#include <algorithm>

#include "platform/window/window_api.h"

int ScreenClass(int width, int height) {
  const int m = std::min(width, height);
  const int big = std::max(width, height);
  if (m == 480 && big == 640) return 1;
  if (m == 320 && big == 320) return 3;
  if (m == big) return 2;
  if (m == 176 && big == 220) return 4;
  if (m == 480 && big == 800) return 5;
  return 0;
}

int CurrentScreenClass() { return ScreenClass(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)); }
