// The save-objects window as a person sees it, at both common densities: one object of every kind
// with its icon, the sound selected and partly played, so that the bar shows pause and how far it
// has played. Compared with reference pictures a person has looked at; the drawn pictures stay
// under the build folder (save-pictures/<size>/), and MMSFORM_UPDATE_GOLDEN=1 makes the run
// replace the references.
#include <string>

#include "forms/save_objects_window.h"
#include "golden_compare.h"
#include "platform/window/screen.h"
#include "save_fixture.h"

namespace save_test {
namespace {

class SaveObjectsGolden : public SaveTest, public ::testing::WithParamInterface<platform::window::ScreenGeometry> {
 protected:
  void TearDown() override {
    ULC_Global::GetGlobal()->UnloadEngineModule();
    SaveTest::TearDown();
    platform::window::ResetScreen();
  }
};

TEST_P(SaveObjectsGolden, EveryKindWithItsIconAndASoundPreviewing) {
  const platform::window::ScreenGeometry screen = GetParam();
  ASSERT_TRUE(platform::window::ConfigureScreen(screen));
  DestroyWindow(m_owner);
  m_owner = CreateWindowExW(0, u"STATIC", u"Inbox", WS_POPUP | WS_VISIBLE, 0, 0, screen.width, screen.height, nullptr,
                            nullptr, nullptr, nullptr);
  MessageModel model;
  model.partFolder = CString(kPartFolder);
  const std::string wav = test_support::ReadFileBytes(test_support::CorpusPath("media/pcm16-8k-mono.wav"));
  struct Object {
    const char16_t* name;
    MediaType type;
    std::string bytes;
  };
  const Object objects[] = {
      {u"beach.jpg", media_type::kJpeg, std::string(40 * 1024, 'j')},
      {u"greeting.wav", 0x20002, wav},
      {u"clip.3gp", 0x40005, std::string(120 * 1024, 'v')},
      {u"note.txt", media_type::kPlainText, "hello"},
      {u"ann.vcf", 0x50001, "BEGIN:VCARD\r\nEND:VCARD\r\n"},
      {u"party.vcs", 0x50002, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"},
      {u"data.bin", 0x70001, std::string(700, 'b')},
  };
  for (const Object& object : objects) {
    Put(object.name, object.bytes);
    AddPartOfType(model, object.name, object.type);
  }
  const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
  const std::filesystem::path drawn = test_support::BinaryPath("save-pictures/" + size);
  const std::filesystem::path references = test_support::SourcePath("tests/forms/golden/" + size);
  std::filesystem::create_directories(drawn);
  const std::string name = "save_objects.png";
  CSaveObjectsWindow window(&model);
  std::string error;
  bool shot = false;
  platform::automation::OnWindowAppears(u"Dialog", u"Save Objects", [&](HWND dialog) {
    for (std::size_t row = 0; row < window.Objects().size(); ++row) {
      if (window.Objects()[row].name == CString(u"greeting.wav")) window.Select(static_cast<int>(row));
    }
    SendMessageW(dialog, WM_COMMAND, save_objects::kPlay, 0);
    platform::automation::PumpUntilIdle();
    // More than a second of the two played: the bar and the elapsed time show how far.
    platform::automation::AdvanceClock(1200);
    EXPECT_EQ(window.PreviewState(), save_objects::kPreviewPlaying);
    shot = platform::automation::Screenshot(drawn / name, &error);
    PostMessageW(dialog, WM_COMMAND, 1, 0);
  });
  EXPECT_TRUE(window.Run(m_owner));
  ASSERT_TRUE(shot) << error;
  EXPECT_TRUE(ui_test::MatchesReference(drawn, references, name));
}

INSTANTIATE_TEST_SUITE_P(Densities, SaveObjectsGolden,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

}  // namespace
}  // namespace save_test
