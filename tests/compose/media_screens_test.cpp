// The emoticon picker, the recorder and the composer's record toolbar at both common densities on
// the virtual clock, compared with reference pictures a person has looked at; and the emoticons'
// animation, whose frames follow the clock. The pictures drawn are kept under the build folder
// (media-pictures/<size>/); MMSFORM_UPDATE_GOLDEN=1 makes the run replace the references.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "composer_frame_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/emoticon_picker.h"
#include "forms/record_toolbar.h"
#include "forms/recorder_dialog.h"
#include "platform/kernel/clock.h"
#include "platform/registry/registry.h"
#include "platform/window/screen.h"
#include "transport/mms_global.h"
#include "ui/gif_animation.h"
#include "ui/golden_compare.h"

namespace {

using namespace composer_test;
using platform::automation::AdvanceClock;
using platform::automation::SendCommand;

constexpr const char16_t* kSound = u"\\My Documents\\My Sounds\\sweep.amr";

// The rows of a 24-bit picture, each padded to four bytes.
std::vector<BYTE> PixelsOf(const DibImage* image) {
  const std::size_t stride = (static_cast<std::size_t>(image->header.biWidth) * 3 + 3) & ~std::size_t{3};
  const std::size_t bytes = stride * static_cast<std::size_t>(std::abs(image->header.biHeight));
  return std::vector<BYTE>(DibPixels(image), DibPixels(image) + bytes);
}

class MediaScreens : public ComposerFrameTest, public ::testing::WithParamInterface<platform::window::ScreenGeometry> {
 protected:
  void SetUp() override {
    platform::UseVirtualClock(true);
    ComposerFrameTest::SetUp();
    ASSERT_TRUE(platform::window::ConfigureScreen(GetParam()));
    const platform::window::ScreenGeometry screen = GetParam();
    const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
    m_drawn = test_support::BinaryPath("media-pictures/" + size);
    m_references = test_support::SourcePath("tests/compose/golden/" + size);
    std::filesystem::create_directories(m_drawn);
  }
  void TearDown() override {
    ComposerFrameTest::TearDown();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    platform::window::ResetScreen();
    platform::UseVirtualClock(false);
  }
  // The frame's one-shot focus timer, which on a phone fires long before a person opens a dialog,
  // would otherwise bring the frame forward over the dialog once the clock moves.
  static void SettleFrame() { AdvanceClock(200); }
  void Shoot(const std::string& name) { EXPECT_TRUE(ui_test::ScreenMatchesReference(m_drawn, m_references, name)); }

  std::filesystem::path m_drawn;
  std::filesystem::path m_references;
};

TEST_P(MediaScreens, TheEmoticonPickerBeforeAndAfterItsPicturesMoveOn) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  SettleFrame();
  bool shown = false;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND picker) {
    shown = true;
    Shoot("emoticon_picker.png");
    // Every face shows its first frame for 700 ms.
    AdvanceClock(720);
    Shoot("emoticon_picker_next_frame.png");
    PostMessageW(picker, WM_COMMAND, IDCANCEL, 0);
  });
  Command(frame, composer_command::kInsertEmoticon);
  EXPECT_TRUE(shown);
  EXPECT_TRUE(frame->Editor()->SlideText().IsEmpty());
}

TEST_P(MediaScreens, TheRecorderReadyAndRecordingAndTheComposerPlayingItsSound) {
  SetConfigValue(numeric_setting::kRecordType, 1, FALSE);
  const std::u16string microphone = u"\\Microphone\\voice.wav";
  for (const auto& [device, corpus] : {std::pair{microphone, "media/pcm16-8k-mono.wav"},
                                       std::pair{std::u16string(kSound), "media/amrnb-122-sweep.amr"}}) {
    std::filesystem::create_directories(m_device.Host(device).parent_path());
    WriteFileBytes(m_device.Host(device), ReadFileBytes(test_support::CorpusPath(corpus)));
  }
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Audio", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegSetValueExW(key, u"Microphone", 0, REG_SZ, reinterpret_cast<const BYTE*>(microphone.c_str()),
                 static_cast<DWORD>((microphone.size() + 1) * 2));
  RegCloseKey(key);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  SettleFrame();
  platform::automation::QueueFileChoice(kSound, u"Audio");
  Command(frame, composer_command::kInsertAudio);
  SettleFrame();

  bool shown = false;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND recorder) {
    shown = true;
    Shoot("recorder_ready.png");
    SendCommand(recorder, recorder::kCycle);
    AdvanceClock(1500);
    Shoot("recorder_recording.png");
    SendCommand(recorder, IDCANCEL);
  });
  SendCommand(frame->AudioItem()->Toolbar().GetHandle(), record_toolbar::kRecord);
  platform::automation::PumpUntilIdle();
  EXPECT_TRUE(shown);

  SendCommand(frame->AudioItem()->Toolbar().GetHandle(), record_toolbar::kPlay);
  AdvanceClock(1200);
  Shoot("composer_record_toolbar.png");
}

INSTANTIATE_TEST_SUITE_P(Densities, MediaScreens,
                         ::testing::Values(platform::window::ScreenGeometry{240, 320, 96},
                                           platform::window::ScreenGeometry{480, 640, 192}),
                         [](const auto& info) { return std::to_string(info.param.width); });

class EmoticonAnimation : public ComposerFrameTest {
 protected:
  void SetUp() override {
    platform::UseVirtualClock(true);
    ComposerFrameTest::SetUp();
  }
  void TearDown() override {
    ComposerFrameTest::TearDown();
    platform::UseVirtualClock(false);
  }
};

TEST_F(EmoticonAnimation, APictureShowsEachFrameForItsDelayAndStartsOver) {
  EmoticonPlayer player;
  ASSERT_TRUE(player.LoadConfiguredSet());
  ASSERT_GT(player.Set().Count(), 0);
  std::unique_ptr<GifAnimation> face = GifAnimation::Open(player.Set().Picture(0).path, SIZE{16, 16});
  ASSERT_NE(face, nullptr);
  ASSERT_EQ(face->FrameCount(), 2);
  EXPECT_TRUE(face->Running()) << "the set's faces loop";
  const DibImage* image = face->Image();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->header.biWidth, 16);
  const std::vector<BYTE> first = PixelsOf(image);
  // The first frame stays 700 ms, the second 500 ms.
  EXPECT_FALSE(face->Advance(699));
  EXPECT_EQ(face->Frame(), 0);
  EXPECT_TRUE(face->Advance(1));
  EXPECT_EQ(face->Frame(), 1);
  EXPECT_NE(PixelsOf(face->Image()), first);
  EXPECT_FALSE(face->Advance(499));
  EXPECT_TRUE(face->Advance(1));
  EXPECT_EQ(face->Frame(), 0) << "after the last frame the first again";
  EXPECT_EQ(PixelsOf(face->Image()), first);
  // A long stall moves on at most one round, and no time is owed afterwards.
  EXPECT_TRUE(face->Advance(3'600'000));
  const int frame = face->Frame();
  EXPECT_FALSE(face->Advance(0));
  EXPECT_EQ(face->Frame(), frame);

  EXPECT_EQ(GifAnimation::Open(u"\\My Documents\\My Pictures\\dot.png", SIZE{16, 16}), nullptr) << "not a GIF";
  EXPECT_EQ(GifAnimation::Open(u"\\nowhere.gif", SIZE{16, 16}), nullptr);
}

TEST_F(EmoticonAnimation, ThePickerMovesItsFacesOnWithTheClockWhileItIsOpen) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  CEmoticonPickerDialog picker;
  std::vector<int> frames;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    frames.push_back(picker.Grid().AnimationFrame(0));
    AdvanceClock(700);
    frames.push_back(picker.Grid().AnimationFrame(0));
    AdvanceClock(500);
    frames.push_back(picker.Grid().AnimationFrame(0));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(picker.Run(frame->GetHandle()).has_value());
  EXPECT_EQ(frames, (std::vector<int>{0, 1, 0}));
}

}  // namespace
