// The audio item's record toolbar on the virtual clock, with a WAV file as the microphone: where it
// sits, recording through the recorder dialog into the slide (and nothing left behind when the
// recorder is cancelled, or left with Done before a clip was made), and play, pause and stop
// driving the audio engine on the slide's sound.
#include <filesystem>

#include "composer_frame_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/media_engine_adapter.h"
#include "forms/media_picker.h"
#include "forms/record_toolbar.h"
#include "forms/recorder_dialog.h"
#include "platform/controls/toolbar_api.h"
#include "platform/kernel/clock.h"
#include "platform/registry/registry.h"
#include "transport/mms_global.h"
#include "ui/density.h"

namespace composer_test {
namespace {

using platform::automation::AdvanceClock;
using platform::automation::SendCommand;

constexpr int kSweepMs = 3200;

class RecordToolbarTest : public MicrophoneFrameTest {
 protected:
  CComposerFrame* OpenWithSound() {
    CComposerFrame* frame = OpenNew();
    if (frame == nullptr) return nullptr;
    platform::automation::QueueFileChoice(kSound, u"Audio");
    Command(frame, composer_command::kInsertAudio);
    return frame;
  }
  static HWND Strip(CComposerFrame* frame) { return frame->AudioItem()->Toolbar().GetHandle(); }
  static bool HasButton(CComposerFrame* frame, int command) {
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_COMMAND;
    return SendMessageW(frame->AudioItem()->Toolbar().Buttons(), TB_GETBUTTONINFOW, static_cast<WPARAM>(command),
                        reinterpret_cast<LPARAM>(&info)) >= 0;
  }
  static bool RecordEnabled(CComposerFrame* frame) {
    return SendMessageW(frame->AudioItem()->Toolbar().Buttons(), TB_ISBUTTONENABLED, record_toolbar::kRecord, 0) != 0;
  }
  static int32_t EngineState() { return Audio_GetState(ULC_Global::GetGlobal()->InitAudioInstance()); }
};

TEST_F(RecordToolbarTest, SitsAtTheBottomOfTheAudioItemWithItsThreeButtons) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  HWND strip = Strip(frame);
  WCHAR className[64] = {};
  GetClassNameW(strip, className, 64);
  EXPECT_EQ(std::u16string(className), u"MMSRECORDTOOLBAR_CLASS");
  EXPECT_EQ(GetParent(strip), frame->AudioItem()->GetHandle());
  RECT item{}, bar{};
  GetClientRect(frame->AudioItem()->GetHandle(), &item);
  GetWindowRect(strip, &bar);
  MapWindowPoints(nullptr, frame->AudioItem()->GetHandle(), reinterpret_cast<POINT*>(&bar), 2);
  EXPECT_EQ(bar.bottom - bar.top, ScaleY(record_toolbar::kHeight));
  EXPECT_EQ(bar.bottom, item.bottom - 1) << "inside the item's border";
  EXPECT_GE(bar.top, 1);
  HWND buttons = frame->AudioItem()->Toolbar().Buttons();
  EXPECT_EQ(SendMessageW(buttons, TB_BUTTONCOUNT, 0, 0), 3);
  EXPECT_EQ(platform::controls::ToolbarToolTip(buttons, 0), u"Record");
  EXPECT_EQ(platform::controls::ToolbarToolTip(buttons, 1), u"Play");
  EXPECT_EQ(platform::controls::ToolbarToolTip(buttons, 2), u"Stop");
}

TEST_F(RecordToolbarTest, ARecordingMadeInTheRecorderBecomesTheSlideSound) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  bool busy = false;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND recorder) {
    busy = frame->IsBusy();
    SendCommand(recorder, recorder::kCycle);
    AdvanceClock(2000);
    SendCommand(recorder, recorder::kCycle);
    SendCommand(recorder, recorder::kInsert);
  });
  SendCommand(Strip(frame), record_toolbar::kRecord);
  platform::automation::PumpUntilIdle();
  EXPECT_TRUE(busy) << "nothing else goes into the message while the recorder is open";
  EXPECT_FALSE(frame->IsBusy());
  const Slide& slide = frame->Editor()->CurrentSlide();
  ASSERT_TRUE(slide.audio && slide.audio->part);
  EXPECT_EQ(slide.audio->part->fileName, u"record.amr");
  EXPECT_EQ(frame->AudioItem()->Caption(), u"record.amr");
  const std::u16string clip = std::u16string(frame->Editor()->Model().partFolder.View()) + u"record.amr";
  ASSERT_TRUE(std::filesystem::exists(m_device.Host(clip)));
  EXPECT_EQ(ReadFileBytes(m_device.Host(clip)).substr(0, 6), "#!AMR\n");
}

TEST_F(RecordToolbarTest, ACancelledRecorderLeavesTheSlideAsItWasAndNoFileBehind) {
  CComposerFrame* frame = OpenWithSound();
  ASSERT_NE(frame, nullptr);
  const std::u16string folder(frame->Editor()->Model().partFolder.View());
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND recorder) {
    SendCommand(recorder, recorder::kCycle);
    AdvanceClock(1000);
    SendCommand(recorder, IDCANCEL);
  });
  SendCommand(Strip(frame), record_toolbar::kRecord);
  platform::automation::PumpUntilIdle();
  const Slide& slide = frame->Editor()->CurrentSlide();
  ASSERT_TRUE(slide.audio && slide.audio->part);
  EXPECT_EQ(slide.audio->part->fileName, u"sweep.amr");
  EXPECT_FALSE(std::filesystem::exists(m_device.Host(folder + u"record.amr")));
  EXPECT_FALSE(frame->IsBusy());
}

TEST_F(RecordToolbarTest, AButtonHeldForItsTipMakesTheAudioItemTheFramesFocus) {
  CComposerFrame* frame = OpenWithSound();
  ASSERT_NE(frame, nullptr);
  HWND buttons = frame->AudioItem()->Toolbar().Buttons();
  RECT stop{};
  ASSERT_TRUE(platform::controls::ToolbarButtonRect(buttons, record_toolbar::kStop, &stop));
  POINT on{stop.left + 2, stop.top + 2};
  ClientToScreen(buttons, &on);
  // Held long enough for the tip, then slid off so that nothing is tapped.
  platform::automation::MouseDown(on);
  AdvanceClock(1000);
  ASSERT_NE(FindWindowW(u"STATIC", u"Stop"), nullptr);
  const POINT away{on.x, on.y - 200};
  platform::automation::MouseMove(away);
  platform::automation::MouseUp(away);
  EXPECT_EQ(FindWindowW(u"STATIC", u"Stop"), nullptr);
  EXPECT_EQ(EngineState(), engine_state::kIdle) << "the press was no tap";
  // When the frame next gets the focus, it gives it to the item the person last used.
  frame->PostMessage(WM_SETFOCUS, 0, 0);
  platform::automation::PumpUntilIdle();
  AdvanceClock(500);
  EXPECT_EQ(GetFocus(), frame->AudioItem()->GetHandle());
}

TEST_F(RecordToolbarTest, PlayPauseAndStopDriveTheEngineOnTheSlideSound) {
  CComposerFrame* frame = OpenWithSound();
  ASSERT_NE(frame, nullptr);
  HWND strip = Strip(frame);
  CAudioItem* item = frame->AudioItem();

  SendCommand(strip, record_toolbar::kPlay);
  EXPECT_EQ(EngineState(), engine_state::kPlaying);
  EXPECT_TRUE(HasButton(frame, record_toolbar::kPause));
  EXPECT_FALSE(HasButton(frame, record_toolbar::kPlay));
  EXPECT_FALSE(RecordEnabled(frame)) << "no recording while the sound plays";
  EXPECT_EQ(platform::controls::ToolbarToolTip(frame->AudioItem()->Toolbar().Buttons(), 1), u"Pause");
  AdvanceClock(1000);
  EXPECT_GT(item->ProgressPosition(), 500);
  EXPECT_NEAR(item->ProgressDuration(), kSweepMs, 40);

  SendCommand(strip, record_toolbar::kPause);
  EXPECT_EQ(EngineState(), engine_state::kPaused);
  EXPECT_TRUE(HasButton(frame, record_toolbar::kPlay));
  EXPECT_TRUE(RecordEnabled(frame)) << "a paused sound leaves the recorder free";
  const int pausedAt = item->ProgressPosition();
  AdvanceClock(1000);
  EXPECT_EQ(item->ProgressPosition(), pausedAt);

  SendCommand(strip, record_toolbar::kPlay);
  EXPECT_EQ(EngineState(), engine_state::kPlaying) << "play goes on from the pause";
  AdvanceClock(300);
  EXPECT_GE(item->ProgressPosition(), pausedAt);

  SendCommand(strip, record_toolbar::kStop);
  EXPECT_EQ(EngineState(), engine_state::kIdle);
  EXPECT_EQ(item->ProgressPosition(), 0);
  EXPECT_NEAR(item->ProgressDuration(), kSweepMs, 40);
  EXPECT_TRUE(HasButton(frame, record_toolbar::kPlay));
  EXPECT_TRUE(RecordEnabled(frame));

  // Played to its end, the toolbar is back where it started.
  SendCommand(strip, record_toolbar::kPlay);
  AdvanceClock(kSweepMs + 500);
  EXPECT_NE(EngineState(), engine_state::kPlaying);
  EXPECT_TRUE(HasButton(frame, record_toolbar::kPlay));
  EXPECT_TRUE(RecordEnabled(frame));
  EXPECT_EQ(item->ProgressPosition(), 0);
}

TEST_F(RecordToolbarTest, PlayWithoutASoundDoesNothingAndLeavingTheSlideStopsTheSound) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  SendCommand(Strip(frame), record_toolbar::kPlay);
  EXPECT_NE(EngineState(), engine_state::kPlaying);
  EXPECT_TRUE(HasButton(frame, record_toolbar::kPlay));
  EXPECT_TRUE(RecordEnabled(frame));

  platform::automation::QueueFileChoice(kSound, u"Audio");
  Command(frame, composer_command::kInsertAudio);
  SendCommand(Strip(frame), record_toolbar::kPlay);
  ASSERT_EQ(EngineState(), engine_state::kPlaying);
  Command(frame, composer_command::kAddSlide);
  EXPECT_NE(EngineState(), engine_state::kPlaying) << "the new slide has no sound";
  EXPECT_TRUE(HasButton(frame, record_toolbar::kPlay));

  Command(frame, composer_command::kPreviousSlide);
  SendCommand(Strip(frame), record_toolbar::kPlay);
  ASSERT_EQ(EngineState(), engine_state::kPlaying);
  Command(frame, composer_command::kRemoveAudio);
  EXPECT_NE(EngineState(), engine_state::kPlaying) << "a removed sound stops";
}

TEST_F(RecordToolbarTest, RecordStopsThePlayingSoundBeforeTheRecorderOpens) {
  CComposerFrame* frame = OpenWithSound();
  ASSERT_NE(frame, nullptr);
  SendCommand(Strip(frame), record_toolbar::kPlay);
  ASSERT_EQ(EngineState(), engine_state::kPlaying);
  // The button is greyed while playing; the command can still come from a key or the host.
  int32_t stateInRecorder = -1;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND recorder) {
    stateInRecorder = EngineState();
    SendCommand(recorder, IDCANCEL);
  });
  SendCommand(Strip(frame), record_toolbar::kRecord);
  platform::automation::PumpUntilIdle();
  EXPECT_NE(stateInRecorder, engine_state::kPlaying);
  EXPECT_NE(stateInRecorder, -1) << "the recorder opened";
  EXPECT_TRUE(HasButton(frame, record_toolbar::kPlay));
}

TEST_F(RecordToolbarTest, TheAudioPickersRecordRowOpensTheRecorderAndItsCancelChangesNothing) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  // The picker is a dialog too: only the one with the cycling button is the recorder.
  bool record = false;
  int recorders = 0;
  platform::automation::OnWindowAppears(
      u"Dialog", u"",
      [&](HWND dialog) {
        if (GetDlgItem(dialog, recorder::kCycle) == nullptr) return;
        ++recorders;
        if (record) {
          SendCommand(dialog, recorder::kCycle);
          AdvanceClock(1000);
          SendCommand(dialog, recorder::kCycle);
          SendCommand(dialog, recorder::kInsert);
        } else {
          SendCommand(dialog, IDCANCEL);
        }
      },
      false);
  platform::automation::QueueFileChoice(media_picker::kCaptureChoice, u"Audio");
  Command(frame, composer_command::kInsertAudio);
  EXPECT_EQ(recorders, 1);
  EXPECT_FALSE(frame->Editor()->CurrentSlide().audio.has_value());
  const std::u16string folder(frame->Editor()->Model().partFolder.View());
  EXPECT_FALSE(std::filesystem::exists(m_device.Host(folder + u"record.amr"))) << "the cancelled clip is deleted";

  record = true;
  platform::automation::QueueFileChoice(media_picker::kCaptureChoice, u"Audio");
  Command(frame, composer_command::kInsertAudio);
  EXPECT_EQ(recorders, 2);
  const Slide& slide = frame->Editor()->CurrentSlide();
  ASSERT_TRUE(slide.audio && slide.audio->part);
  EXPECT_EQ(slide.audio->part->fileName, u"record.amr");
  EXPECT_FALSE(frame->IsBusy());
}

// Done (IDOK, the button the recorder's shell dialog carries) inserts only a clip that was
// recorded and stopped, as the insert button does; before that it leaves as cancel does, stopping
// a recording under way, and the clip's file is deleted. Playback of the clip stops either way.
TEST_F(RecordToolbarTest, DoneInsertsOnlyARecordedClipAndOtherwiseLeavesNothingBehind) {
  struct Case {
    const char* what;
    int cycles;  // presses of the cycling button before Done: record, stop, play
    bool inserts;
  };
  const Case cases[] = {
      {"before recording", 0, false},
      {"while recording", 1, false},
      {"after the recording stopped", 2, true},
      {"while the clip plays", 3, true},
  };
  for (const Case& each : cases) {
    CComposerFrame* frame = OpenWithSound();
    ASSERT_NE(frame, nullptr) << each.what;
    const std::u16string clip = std::u16string(frame->Editor()->Model().partFolder.View()) + u"record.amr";
    int32_t stateAtDone = -1;
    platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND recorder) {
      for (int press = 0; press < each.cycles; ++press) {
        SendCommand(recorder, recorder::kCycle);
        AdvanceClock(press == 0 ? 1000 : 200);  // a second of sound; playback stops short of its end
      }
      stateAtDone = EngineState();
      SendCommand(recorder, IDOK);
    });
    SendCommand(Strip(frame), record_toolbar::kRecord);
    platform::automation::PumpUntilIdle();
    EXPECT_EQ(stateAtDone == engine_state::kPlaying, each.cycles == 3) << each.what;
    const Slide& slide = frame->Editor()->CurrentSlide();
    ASSERT_TRUE(slide.audio && slide.audio->part) << each.what;
    EXPECT_EQ(slide.audio->part->fileName, each.inserts ? u"record.amr" : u"sweep.amr") << each.what;
    EXPECT_EQ(std::filesystem::exists(m_device.Host(clip)), each.inserts) << each.what;
    if (each.inserts) EXPECT_EQ(ReadFileBytes(m_device.Host(clip)).substr(0, 6), "#!AMR\n") << each.what;
    EXPECT_NE(EngineState(), engine_state::kPlaying) << each.what;
    EXPECT_FALSE(frame->IsBusy()) << each.what;
    CloseForm();
  }
}

}  // namespace
}  // namespace composer_test
