// Comparing a drawn screen with its reference picture: the mean channel difference and the share
// of pixels that changed a lot, with the limits the golden tests allow.
#pragma once

#include <algorithm>
#include <cstdlib>

#include "platform/gdi/surface.h"

namespace ui_test {

// Font rasterisers of other versions may shade a few edge pixels differently; anything more is a
// change in the drawing.
constexpr double kMaxMeanDifference = 1.5;
constexpr double kMaxChangedShare = 0.005;
constexpr int kChangedThreshold = 64;

struct Difference {
  double mean = 0;
  double changedShare = 0;
};

inline Difference Compare(const platform::gdi::Surface& a, const platform::gdi::Surface& b) {
  long long total = 0;
  long long changed = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      COLORREF p = a.Pixel(x, y);
      COLORREF q = b.Pixel(x, y);
      int worst = 0;
      for (int shift : {0, 8, 16}) {
        int diff = std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF));
        total += diff;
        worst = std::max(worst, diff);
      }
      changed += worst > kChangedThreshold;
    }
  }
  const double pixels = static_cast<double>(a.Width()) * a.Height();
  return {static_cast<double>(total) / (pixels * 3), static_cast<double>(changed) / pixels};
}

}  // namespace ui_test
