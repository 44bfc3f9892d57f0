// Where a picture lands in its area: fitted as large as the area allows, or at its size for the
// screen's density and made smaller only when that does not fit. Drawn into a memory bitmap and
// measured by the red pixels it left.
#include "ui/fitted_picture.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/window/screen.h"
#include "ui_fixture.h"

namespace {

class FittedPictureTest : public ui_test::UiTest {
 protected:
  void TearDown() override {
    platform::window::ResetScreen();
    UiTest::TearDown();
  }

  // The rectangle of red pixels that drawing a red picture of that size into `area` of a white
  // bitmap leaves.
  static RECT DrawnRect(LONG width, LONG height, const RECT& area, bool atDensity) {
    std::unique_ptr<DibImage, DibImageDeleter> picture(CreateDibImage(width, height, 24));
    FillDibImage(picture.get(), 0, 0, 255);
    HDC screen = GetDC(nullptr);
    HDC hdc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right + 8, area.bottom + 8);
    HGDIOBJ previous = SelectObject(hdc, bitmap);
    RECT all{0, 0, area.right + 8, area.bottom + 8};
    FillRect(hdc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (atDensity) {
      DrawPictureAtDensity(hdc, picture.get(), area);
    } else {
      DrawPictureFitted(hdc, picture.get(), area);
    }
    RECT red{all.right, all.bottom, 0, 0};
    for (int y = 0; y < all.bottom; ++y) {
      for (int x = 0; x < all.right; ++x) {
        if (GetPixel(hdc, x, y) != RGB(255, 0, 0)) continue;
        red = RECT{std::min<LONG>(red.left, x), std::min<LONG>(red.top, y), std::max<LONG>(red.right, x + 1),
                   std::max<LONG>(red.bottom, y + 1)};
      }
    }
    SelectObject(hdc, previous);
    DeleteObject(bitmap);
    DeleteDC(hdc);
    ReleaseDC(nullptr, screen);
    return red;
  }
};

TEST_F(FittedPictureTest, APictureIsShownAtItsSizeForTheDensityAndShrunkOnlyToFit) {
  const struct {
    int dpi;
    LONG width, height;
    RECT area;
    bool atDensity;
    RECT drawn;
  } kCases[] = {
      // Small pictures: pixel for pixel at 96 dpi, twice as large at 192 dpi, centred.
      {96, 10, 6, {0, 0, 200, 100}, true, {95, 47, 105, 53}},
      {192, 10, 6, {0, 0, 200, 100}, true, {90, 44, 110, 56}},
      {192, 10, 6, {20, 10, 220, 110}, true, {110, 54, 130, 66}},
      // Too large once scaled: as large as fits, the ratio kept.
      {192, 80, 60, {0, 0, 100, 100}, true, {0, 12, 100, 87}},
      {96, 300, 100, {0, 0, 200, 100}, true, {0, 17, 200, 83}},
      // Fitted always fills the area's width or height, however small the picture.
      {96, 10, 6, {0, 0, 200, 100}, false, {17, 0, 183, 100}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.dpi << " dpi, " << c.width << "x" << c.height << (c.atDensity ? " at density" : " fitted"));
    ASSERT_TRUE(platform::window::ConfigureScreen({480, 640, c.dpi}));
    const RECT drawn = DrawnRect(c.width, c.height, c.area, c.atDensity);
    EXPECT_EQ(drawn.left, c.drawn.left);
    EXPECT_EQ(drawn.top, c.drawn.top);
    EXPECT_EQ(drawn.right, c.drawn.right);
    EXPECT_EQ(drawn.bottom, c.drawn.bottom);
  }
}

}  // namespace
