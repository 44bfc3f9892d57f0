// The read view at chosen moments of three corpus messages (photos with captions and a sound; a long
// text with links; a video then a text), drawn at both common densities and compared with reference
// pictures a person has looked at. The pictures drawn are kept under the build folder
// (read-pictures/<size>/); MMSFORM_UPDATE_GOLDEN=1 makes the run replace the references with them.
#include <cstdio>
#include <string>
#include <vector>

#include "forms/read_view.h"
#include "golden_compare.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "read_store_fixture.h"

namespace ui_test {
namespace {

struct Moments {
  const char* message;  // corpus/mms-rich file name
  const char* shortName;
  std::vector<DWORD> atMs;
};

const std::vector<Moments>& GoldenMoments() {
  static const std::vector<Moments> moments = {
      // First photo with its caption; then slide 2 while its sound plays.
      {"rich-01-photo-audio-begin.mms", "rich-01", {600, 4200}},
      // A text that scrolls, with web, e-mail and telephone links drawn as links.
      {"rich-05-long-text-links.mms", "rich-05", {600}},
      // Half-way through the video; then the text slide after it.
      {"rich-02-video-then-text.mms", "rich-02", {1500, 4500}},
  };
  return moments;
}

class ReadGolden : public ReadStoreTest, public ::testing::WithParamInterface<platform::window::ScreenGeometry> {};

TEST_P(ReadGolden, EveryMomentMatchesItsReference) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  CreateOwner();
  const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
  const std::filesystem::path drawn = test_support::BinaryPath("read-pictures/" + size);
  const std::filesystem::path references = test_support::SourcePath("tests/forms/golden/" + size);
  std::filesystem::create_directories(drawn);
  for (const Moments& moments : GoldenMoments()) {
    SCOPED_TRACE(moments.message);
    MessageBinding binding;
    ASSERT_TRUE(StoreAndLoad(test_support::CorpusPath("mms-rich") / moments.message, &binding));
    // As the frame opens it: with the stored message, whose sender the reply key answers.
    CReadView view(binding.Model(), &binding);
    std::vector<std::string> names;
    std::string error;
    platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
      const DWORD start = GetTickCount();
      for (DWORD at : moments.atMs) {
        // The time line moves in 30 ms ticks: advance in them, as the device clock would.
        while (GetTickCount() - start < at) platform::automation::AdvanceClock(30);
        char name[64];
        std::snprintf(name, sizeof name, "read_%s_%04u.png", moments.shortName, static_cast<unsigned>(at));
        if (platform::automation::Screenshot(drawn / name, &error)) names.push_back(name);
      }
      PostMessageW(dialog, WM_COMMAND, 1, 0);
    });
    EXPECT_TRUE(view.Run(m_owner));
    ASSERT_EQ(names.size(), moments.atMs.size()) << error;
    for (const std::string& name : names) EXPECT_TRUE(MatchesReference(drawn, references, name));
  }
}

INSTANTIATE_TEST_SUITE_P(Densities, ReadGolden,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
}  // namespace ui_test
