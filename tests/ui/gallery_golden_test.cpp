// The toolkit's gallery drawn at both common densities and compared with reference pictures. The
// pictures drawn are kept under the build folder (ui-pictures/<size>/) for a person to look at;
// MMSFORM_UPDATE_GOLDEN=1 makes the run replace the references with them.
#include <cmath>
#include <cstdlib>

#include "cmd_ui_gallery_scenes.h"
#include "platform/gdi/png_file.h"
#include "platform/window/screen.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

// Font rasterisers of other versions may shade a few edge pixels differently; anything more is a
// change in the drawing.
constexpr double kMaxMeanDifference = 1.5;
constexpr double kMaxChangedShare = 0.005;
constexpr int kChangedThreshold = 64;

struct Difference {
  double mean = 0;
  double changedShare = 0;
};

Difference Compare(const platform::gdi::Surface& a, const platform::gdi::Surface& b) {
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

class GalleryGolden : public UiTest, public ::testing::WithParamInterface<platform::window::ScreenGeometry> {};

TEST_P(GalleryGolden, EveryScreenMatchesItsReference) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
  const std::filesystem::path drawn = test_support::BinaryPath("ui-pictures/" + size);
  std::vector<std::string> written;
  std::string error;
  ASSERT_TRUE(mmsform_tool::WriteUiGallery(drawn, &written, &error)) << error;
  EXPECT_EQ(written.size(), 8u);
  const std::filesystem::path references = test_support::SourcePath("tests/ui/golden/" + size);
  for (const std::string& name : written) {
    if (std::getenv("MMSFORM_UPDATE_GOLDEN")) {
      std::filesystem::create_directories(references);
      std::filesystem::copy_file(drawn / name, references / name, std::filesystem::copy_options::overwrite_existing);
    }
    auto expected = platform::gdi::ReadPng(references / name, &error);
    ASSERT_TRUE(expected) << references / name << ": " << error;
    auto actual = platform::gdi::ReadPng(drawn / name, &error);
    ASSERT_TRUE(actual) << error;
    ASSERT_EQ(actual->Width(), expected->Width()) << name;
    ASSERT_EQ(actual->Height(), expected->Height()) << name;
    Difference d = Compare(*actual, *expected);
    EXPECT_LE(d.mean, kMaxMeanDifference) << "see " << drawn / name;
    EXPECT_LE(d.changedShare, kMaxChangedShare) << "see " << drawn / name;
  }
}

INSTANTIATE_TEST_SUITE_P(Densities, GalleryGolden,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
}  // namespace ui_test
