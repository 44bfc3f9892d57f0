#include "engines/image_fit.h"

#include <algorithm>
#include <cmath>

#include "config/setting_numbers.h"
#include "config/settings.h"

SIZE FitSize(LONG sourceWidth, LONG sourceHeight, SIZE box) {
  if (sourceWidth <= 0 || sourceHeight <= 0) return SIZE{0, 0};
  double scale = std::min(static_cast<double>(box.cx) / sourceWidth, static_cast<double>(box.cy) / sourceHeight);
  scale = std::min(scale, 1.0);
  auto width = static_cast<LONG>(std::floor(sourceWidth * scale + 0.5));
  auto height = static_cast<LONG>(std::floor(sourceHeight * scale + 0.5));
  return SIZE{std::max<LONG>(width, 1), std::max<LONG>(height, 1)};
}

int DecodeDivisor(LONG sourceWidth, LONG sourceHeight, SIZE fitted) {
  if (fitted.cx <= 0 || fitted.cy <= 0) return 1;
  LONG ratio = std::max(sourceWidth / fitted.cx, sourceHeight / fitted.cy);
  if (ratio < 3) return 1;
  if (ratio <= 4) return 2;
  if (ratio <= 8) return 4;
  return 8;
}

BOOL ExceedsBox(LONG width, LONG height, LONG boxWidth, LONG boxHeight) {
  bool exceedsBox = width > boxWidth || height > boxHeight;
  bool exceedsTurned = width > boxHeight || height > boxWidth;
  return exceedsBox && exceedsTurned ? TRUE : FALSE;
}

SIZE GetDefaultResolution() {
  static const SIZE kBoxes[] = {{160, 120}, {320, 240}, {640, 480}, {1024, 768}, {1280, 1024}};
  LONG choice = GetConfigValue(numeric_setting::kDefaultResolution);
  if (choice < 0 || choice >= static_cast<LONG>(std::size(kBoxes))) return SIZE{0, 0};
  return kBoxes[choice];
}
