// The voice recorder on the virtual clock with a WAV file as the microphone: the cycling button
// through recording, playback and its end, the stop on rotation and deactivation, the size limit,
// the record type without an engine, and the longest clip a limit holds.
#include "forms/recorder_dialog.h"

#include <climits>

#include "media_fixture.h"
#include "platform/automation/automation.h"
#include "platform/dialog/dialog_api.h"
#include "platform/kernel/clock.h"
#include "platform/registry/registry.h"
#include "platform/window/window_api.h"
#include "platform/window/window_system.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/oriented_dialog.h"

namespace media_test {
namespace {

constexpr const char16_t* kClip = u"\\My Documents\\Voice\\clip.amr";

TEST(RecorderLimit, TheLongestClipALimitHolds) {
  EXPECT_EQ(MaximumRecordDuration(100000, 0), 57000);
  EXPECT_EQ(MaximumRecordDuration(100000, 1), 62500) << "32 bytes of AMR for each 20 ms";
  EXPECT_EQ(MaximumRecordDuration(1000, 1), 1000) << "625 ms, raised to a second";
  EXPECT_EQ(MaximumRecordDuration(INT_MAX, 1), 1342177279) << "no overflow on the way";
  // QCELP: a limit inside the 229-byte head holds nothing, rather than a negative time.
  EXPECT_EQ(MaximumRecordDuration(264, 0), 20);
  EXPECT_EQ(MaximumRecordDuration(229, 0), 0);
  EXPECT_EQ(MaximumRecordDuration(100, 0), 0);
  EXPECT_EQ(MaximumRecordDuration(0, 0), 0);
  EXPECT_EQ(MaximumRecordDuration(-5, 1), 1000);
}

class Recorder : public MediaTest {
 protected:
  void SetUp() override {
    MediaTest::SetUp();
    platform::UseVirtualClock(true);
    platform::window::ResetWindowSystem();
    platform::automation::Reset();
    const std::u16string microphone = Put("pcm16-8k-mono.wav");
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Audio", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, u"Microphone", 0, REG_SZ, reinterpret_cast<const BYTE*>(microphone.c_str()),
                   static_cast<DWORD>((microphone.size() + 1) * 2));
    RegCloseKey(key);
  }
  void TearDown() override {
    m_dialog.reset();
    platform::window::ResetWindowSystem();
    ULC_Global::GetGlobal()->UnloadEngineModule();
    platform::automation::Reset();
    MediaTest::TearDown();
    platform::UseVirtualClock(false);
  }
  void Open(int limit, int recordType) {
    m_dialog = std::make_unique<CRecorderDialog>(kClip, limit, recordType);
    ASSERT_TRUE(m_dialog->CreateModeless(transport::ResourceInstance(), nullptr, recorder::kDialog));
    platform::automation::PumpUntilIdle();
  }
  void Cycle() { platform::automation::SendCommand(m_dialog->GetHandle(), recorder::kCycle); }
  std::u16string ButtonText() {
    WCHAR text[64] = {};
    GetDlgItemTextW(m_dialog->GetHandle(), recorder::kCycle, text, 64);
    return text;
  }
  bool InsertEnabled() { return IsWindowEnabled(GetDlgItem(m_dialog->GetHandle(), recorder::kInsert)) != FALSE; }

  std::unique_ptr<CRecorderDialog> m_dialog;
};

TEST_F(Recorder, RecordsStopsPlaysToTheEndAndPlaysAgain) {
  Open(100000, 1);
  EXPECT_EQ(m_dialog->State(), RecorderState::kReady);
  EXPECT_EQ(ButtonText(), u"Record");
  EXPECT_FALSE(InsertEnabled()) << "nothing recorded yet";
  ASSERT_NE(m_dialog->Progress(), nullptr);
  WCHAR className[64] = {};
  GetClassNameW(m_dialog->Progress()->GetHandle(), className, 64);
  EXPECT_EQ(std::u16string(className), u"RECORDER_PROGRESSBAR_CLASS");
  EXPECT_EQ(m_dialog->Progress()->Duration(), 62500);

  Cycle();
  ASSERT_EQ(m_dialog->State(), RecorderState::kRecording);
  EXPECT_EQ(ButtonText(), u"Stop");
  EXPECT_FALSE(InsertEnabled());
  platform::automation::AdvanceClock(2000);
  EXPECT_GE(m_dialog->Progress()->Position(), 1900);
  EXPECT_LE(m_dialog->Progress()->Position(), 2000);

  Cycle();
  ASSERT_EQ(m_dialog->State(), RecorderState::kRecorded);
  EXPECT_EQ(ButtonText(), u"Play");
  EXPECT_TRUE(InsertEnabled());
  EXPECT_NEAR(m_dialog->Duration(), 2000, 40);
  EXPECT_EQ(m_dialog->Progress()->Position(), 0);
  EXPECT_EQ(m_dialog->Progress()->Duration(), m_dialog->Duration());

  Cycle();
  ASSERT_EQ(m_dialog->State(), RecorderState::kPlaying);
  EXPECT_EQ(ButtonText(), u"Stop");
  platform::automation::AdvanceClock(1000);
  EXPECT_GT(m_dialog->Progress()->Position(), 0);
  platform::automation::AdvanceClock(3000);
  EXPECT_EQ(m_dialog->State(), RecorderState::kPlaybackStopped) << "the end of the clip stops playback";
  EXPECT_EQ(m_dialog->Progress()->Position(), m_dialog->Duration());

  Cycle();
  EXPECT_EQ(m_dialog->State(), RecorderState::kPlaying) << "played again from the start";
  // Another application taking over stops playback.
  SendMessageW(m_dialog->GetHandle(), WM_ACTIVATE, WA_INACTIVE, 0);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(m_dialog->State(), RecorderState::kPlaybackStopped);
}

TEST_F(Recorder, RotatingOrCancellingModeWhileRecordingStopsTheRecordingFirst) {
  Open(100000, 1);
  Cycle();
  platform::automation::AdvanceClock(500);
  SendMessageW(m_dialog->GetHandle(), WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(m_dialog->State(), RecorderState::kRecorded);
  EXPECT_TRUE(InsertEnabled());
  Cycle();
  SendMessageW(m_dialog->GetHandle(), WM_CANCELMODE, 0, 0);
  platform::automation::PumpUntilIdle();
  EXPECT_EQ(m_dialog->State(), RecorderState::kPlaybackStopped);
}

TEST_F(Recorder, TheEngineStoppingAtTheLimitEndsTheRecording) {
  // The AMR head and ten frames of 20 ms.
  Open(6 + 10 * 32, 1);
  Cycle();
  ASSERT_EQ(m_dialog->State(), RecorderState::kRecording);
  platform::automation::AdvanceClock(2000);
  EXPECT_EQ(m_dialog->State(), RecorderState::kRecorded);
  EXPECT_NEAR(m_dialog->Duration(), 200, 20);
  EXPECT_LE(std::filesystem::file_size(m_device.Host(kClip)), 6u + 10 * 32);
}

TEST_F(Recorder, ALimitOfNothingRecordsNothingToInsert) {
  Open(0, 1);
  Cycle();
  platform::automation::AdvanceClock(1000);
  if (m_dialog->State() == RecorderState::kRecording) Cycle();
  EXPECT_NE(m_dialog->State(), RecorderState::kRecording);
  EXPECT_EQ(m_dialog->Duration(), 0);
  EXPECT_FALSE(InsertEnabled());
  platform::automation::SendCommand(m_dialog->GetHandle(), recorder::kInsert);
  EXPECT_TRUE(IsWindow(m_dialog->GetHandle())) << "no clip, no insertion";
}

TEST_F(Recorder, QcelpHasNoEngineAndTheRecorderStaysReady) {
  Open(100000, 0);
  EXPECT_EQ(m_dialog->Progress()->Duration(), 57000);
  Cycle();
  EXPECT_EQ(m_dialog->State(), RecorderState::kReady);
  EXPECT_EQ(ButtonText(), u"Record");
  EXPECT_FALSE(InsertEnabled());
}

TEST_F(Recorder, RunningTheRecorderGivesTheClipOnlyThroughInsert) {
  platform::automation::OnWindowAppears(u"Dialog", u"", [](HWND dialog) {
    platform::automation::SendCommand(dialog, recorder::kCycle);
    platform::automation::AdvanceClock(1000);
    // Insert waits for the recording to be stopped.
    platform::automation::SendCommand(dialog, recorder::kInsert);
    platform::automation::SendCommand(dialog, recorder::kCycle);
    platform::automation::SendCommand(dialog, recorder::kInsert);
  });
  std::optional<CString> clip = RecordVoiceClip(nullptr, kClip, 100000);
  ASSERT_TRUE(clip.has_value());
  EXPECT_EQ(*clip, kClip);
  EXPECT_GT(std::filesystem::file_size(m_device.Host(kClip)), 6u + 40 * 32);

  platform::automation::OnWindowAppears(u"Dialog", u"", [](HWND dialog) {
    platform::automation::SendCommand(dialog, recorder::kCycle);
    platform::automation::AdvanceClock(500);
    platform::automation::SendCommand(dialog, IDCANCEL);
  });
  EXPECT_FALSE(RecordVoiceClip(nullptr, kClip, 100000).has_value());
  EXPECT_FALSE(std::filesystem::exists(m_device.Host(kClip))) << "a clip not inserted is deleted";
}

}  // namespace
}  // namespace media_test
