// The toolkit's gallery drawn at both common densities and compared with reference pictures. The
// pictures drawn are kept under the build folder (ui-pictures/<size>/) for a person to look at;
// MMSFORM_UPDATE_GOLDEN=1 makes the run replace the references with them.
#include "cmd_ui_gallery_scenes.h"
#include "golden_compare.h"
#include "platform/gdi/png_file.h"
#include "platform/window/screen.h"
#include "ui_fixture.h"

namespace ui_test {
namespace {

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
    EXPECT_TRUE(MatchesReference(drawn, references, name));
  }
}

INSTANTIATE_TEST_SUITE_P(Densities, GalleryGolden,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
}  // namespace ui_test
