// Fitting into a box, the decode divisor and the box test of the resize rules.
#include "engines/image_fit.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageFit, FitSizeNeverEnlargesAndKeepsAtLeastOnePixel) {
  struct Case {
    LONG width, height, boxWidth, boxHeight, fittedWidth, fittedHeight;
  } cases[] = {
      {100, 50, 160, 120, 100, 50},      // no enlargement
      {1600, 1200, 160, 120, 160, 120},
      {3000, 10, 100, 100, 100, 1},      // the height rounds to 0 and becomes 1
      {4000, 3000, 240, 320, 240, 180},
      {640, 480, 640, 480, 640, 480},
      {333, 1000, 100, 100, 33, 100},
  };
  for (const Case& c : cases) {
    SIZE fitted = FitSize(c.width, c.height, SIZE{c.boxWidth, c.boxHeight});
    EXPECT_EQ(fitted.cx, c.fittedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(fitted.cy, c.fittedHeight) << c.width << "x" << c.height;
  }
}

TEST(ImageFit, DecodeDivisorFollowsTheRatio) {
  struct Case {
    LONG width, height, fittedWidth, fittedHeight;
    int divisor;
  } cases[] = {{1600, 1200, 160, 120, 8}, {4000, 3000, 640, 480, 4}, {4000, 3000, 240, 180, 8}, {640, 480, 320, 240, 1},
               {960, 720, 320, 240, 2},   {1280, 960, 320, 240, 2},  {1600, 1200, 320, 240, 4}, {100, 50, 100, 50, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeDivisor(c.width, c.height, SIZE{c.fittedWidth, c.fittedHeight}), c.divisor) << c.width;
  }
}

TEST(ImageFit, ExceedsBoxOnlyWhenNeitherOrientationFits) {
  EXPECT_FALSE(ExceedsBox(480, 640, 640, 480));  // fits turned
  EXPECT_FALSE(ExceedsBox(640, 480, 640, 480));
  EXPECT_TRUE(ExceedsBox(1024, 768, 640, 480));
  EXPECT_TRUE(ExceedsBox(641, 100, 640, 480));
  EXPECT_FALSE(ExceedsBox(100, 600, 640, 480));
}

}  // namespace
