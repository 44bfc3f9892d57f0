// The demonstration scene drawn at both common densities and compared with reference pictures.
// The pictures drawn are kept under the build folder (window-pictures/) for a person to look at;
// MMSFORM_UPDATE_GOLDEN=1 makes the run replace the references with them.
#include "window_test_support.h"

#include <cmath>
#include <cstdlib>

#include "cmd_window_scene.h"
#include "platform/gdi/png_file.h"
#include "platform/window/screen.h"

namespace window_test {
namespace {

using platform::gdi::ReadPng;
using platform::gdi::Surface;

// Font rasterisers of other versions may shade a few edge pixels differently; anything more is a
// change in the drawing.
constexpr double kMaxMeanDifference = 1.5;
constexpr double kMaxChangedShare = 0.005;
constexpr int kChangedThreshold = 64;

struct Difference {
  double mean = 0;
  double changedShare = 0;
};

Difference Compare(const Surface& a, const Surface& b) {
  Difference d;
  long long total = 0;
  long long changed = 0;
  for (int y = 0; y < a.Height(); ++y) {
    const BYTE* ra = a.Row(y);
    const BYTE* rb = b.Row(y);
    for (int x = 0; x < a.Width() * 3; x += 3) {
      int worst = 0;
      for (int c = 0; c < 3; ++c) {
        int diff = std::abs(ra[x + c] - rb[x + c]);
        total += diff;
        worst = std::max(worst, diff);
      }
      changed += worst > kChangedThreshold;
    }
  }
  double pixels = static_cast<double>(a.Width()) * a.Height();
  d.mean = static_cast<double>(total) / (pixels * 3);
  d.changedShare = static_cast<double>(changed) / pixels;
  return d;
}

class GoldenScreens : public WindowTest, public ::testing::WithParamInterface<platform::window::ScreenGeometry> {};

TEST_P(GoldenScreens, DemoSceneMatchesTheReference) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  ASSERT_NE(mmsform_tool::CreateDemoScene(), nullptr);
  platform::automation::PumpUntilIdle();
  std::string name = "demo_" + std::to_string(screen.width) + "x" + std::to_string(screen.height) + ".png";
  std::filesystem::path drawn = test_support::BinaryPath("window-pictures/" + name);
  std::filesystem::create_directories(drawn.parent_path());
  std::string error;
  ASSERT_TRUE(platform::automation::Screenshot(drawn, &error)) << error;
  std::filesystem::path reference = test_support::SourcePath("tests/window/golden/" + name);
  if (std::getenv("MMSFORM_UPDATE_GOLDEN")) {
    std::filesystem::copy_file(drawn, reference, std::filesystem::copy_options::overwrite_existing);
  }
  auto expected = ReadPng(reference, &error);
  ASSERT_TRUE(expected) << reference << ": " << error;
  auto actual = ReadPng(drawn, &error);
  ASSERT_TRUE(actual) << error;
  ASSERT_EQ(actual->Width(), expected->Width());
  ASSERT_EQ(actual->Height(), expected->Height());
  Difference d = Compare(*actual, *expected);
  EXPECT_LE(d.mean, kMaxMeanDifference) << "see " << drawn;
  EXPECT_LE(d.changedShare, kMaxChangedShare) << "see " << drawn;
}

INSTANTIATE_TEST_SUITE_P(Densities, GoldenScreens,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

TEST_F(WindowTest, ScreenshotsSurviveAReadBack) {
  std::filesystem::path file = test_support::BinaryPath("window-pictures/readback.png");
  std::filesystem::create_directories(file.parent_path());
  HDC screen = GetDC(nullptr);
  SetPixel(screen, 3, 4, RGB(12, 34, 56));
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(platform::window::WriteScreenPng(file));
  auto back = ReadPng(file);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Pixel(3, 4), RGB(12, 34, 56));
  EXPECT_FALSE(platform::window::WriteScreenPng("/nonexistent-folder/x.png"));
  EXPECT_FALSE(ReadPng(test_support::SourcePath("tests/window/CMakeLists.txt")));
}

}  // namespace
}  // namespace window_test
