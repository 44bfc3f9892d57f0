// The demonstration scene drawn at both common densities and compared with reference pictures.
// The pictures drawn are kept under the build folder (window-pictures/) for a person to look at;
// MMSFORM_UPDATE_GOLDEN=1 makes the run replace the references with them.
#include "window_test_support.h"

#include <cstdlib>

#include "cmd_window_scene.h"
#include "platform/gdi/png_file.h"
#include "platform/window/screen.h"

namespace window_test {
namespace {

using platform::gdi::ReadPng;
using platform::gdi::Surface;

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
  ExpectLikeReference(*actual, *expected, drawn);
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
