// Objects that reach the slide through the camera and through the sound-only question: the video
// time limit the camera is given for the room the message has left, the picker's capture row, and
// a video holding only sound going in as a video, as a sound, or not at all.
#include <filesystem>
#include <string>

#include "composer_frame_fixture.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/audio_only_dialog.h"
#include "forms/composer_recording.h"
#include "forms/media_picker.h"
#include "forms/message_size.h"
#include "platform/kernel/activity_log.h"
#include "platform/registry/registry.h"
#include "transport/mms_global.h"

namespace composer_test {
namespace {

using platform::automation::QueueAnswer;
using platform::automation::QueueFileChoice;

constexpr const char16_t* kProfiles = u"\\Software\\Microsoft\\Pictures\\Camera\\OEM\\VideoProfile\\1";
constexpr const char16_t* kVideo = u"\\Camera\\clip.3gp";
constexpr const char16_t* kSoundOnly = u"\\My Documents\\My Videos\\voice.3gp";

void SetString(const char16_t* keyPath, const char16_t* name, std::u16string_view value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
  const std::u16string text(value);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
  RegCloseKey(key);
}

void SetByteRate(DWORD bytesPerSecond) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProfiles, 0, nullptr, 0, 0, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegSetValueExW(key, u"VideoAudioFileSizePerSecond", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&bytesPerSecond),
                 sizeof bytesPerSecond);
  RegCloseKey(key);
}

// The camera's last word in the activity log.
std::string LastCameraEntry() {
  std::string last;
  for (const platform::ActivityEntry& entry : platform::ReadActivity()) {
    if (entry.kind == "camera") last = entry.detail;
  }
  return last;
}

// How many times the camera was asked.
std::size_t CameraEntries() {
  std::size_t count = 0;
  for (const platform::ActivityEntry& entry : platform::ReadActivity()) count += entry.kind == "camera" ? 1 : 0;
  return count;
}

class MediaCaptureTest : public ComposerFrameTest {
 protected:
  void TearDown() override {
    ComposerFrameTest::TearDown();
    // The engines the videos were looked at with.
    ULC_Global::GetGlobal()->UnloadEngineModule();
  }
  void Put(std::u16string_view devicePath, const char* corpusName) {
    std::filesystem::create_directories(m_device.Host(devicePath).parent_path());
    WriteFileBytes(m_device.Host(devicePath), ReadFileBytes(test_support::CorpusPath(corpusName)));
  }
  // The seconds the composer should allow for `budget`, at the byte rate and ratio configured.
  static DWORD Seconds(long long budget, DWORD rate, DWORD ratio) {
    return static_cast<DWORD>(budget * ratio / (static_cast<long long>(rate) * 100));
  }
};

TEST_F(MediaCaptureTest, TheVideoTimeLimitFollowsTheRoomLeftAndIsNeverZeroByAccident) {
  EXPECT_EQ(VideoCaptureSeconds(100000), DWORD{0}) << "no byte rate known: the camera keeps no limit";
  EXPECT_FALSE(VideoCaptureSeconds(0).has_value()) << "no room at all";
  EXPECT_FALSE(VideoCaptureSeconds(-4096).has_value()) << "a message over the limit";
  SetByteRate(1000);
  ASSERT_TRUE(SetConfigValue(numeric_setting::kVideoFileRatio, 50, FALSE));
  EXPECT_EQ(VideoCaptureSeconds(307200), DWORD{153});
  EXPECT_EQ(VideoCaptureSeconds(2000), DWORD{1}) << "exactly one second";
  EXPECT_FALSE(VideoCaptureSeconds(1999).has_value()) << "less than a second must not read as no limit";
  EXPECT_EQ(VideoCaptureSeconds(5'000'000'000LL), DWORD{2147483}) << "a budget past 32 bits is held at the largest";
  ASSERT_TRUE(SetConfigValue(numeric_setting::kVideoFileRatio, -1, FALSE));
  EXPECT_EQ(VideoCaptureSeconds(100000), DWORD{95}) << "an unset ratio counts as 95 %";
}

TEST_F(MediaCaptureTest, TheCameraIsGivenTheSecondsTheMessageStillHoldsForTheSlide) {
  Put(kVideo, "media/h263-qcif-amrnb.3gp");
  SetString(u"\\Platform\\Camera", u"VideoSource", kVideo);
  SetByteRate(1000);
  ASSERT_TRUE(SetConfigValue(numeric_setting::kVideoMode, 1, FALSE));
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  const long long emptyRoom = static_cast<long long>(MaxSendSize()) - MessageSizeOf(frame->Editor()->Model());
  Command(frame, composer_command::kCaptureVideo);
  EXPECT_NE(LastCameraEntry().find(", at most " + std::to_string(Seconds(emptyRoom, 1000, 95)) + " s"),
            std::string::npos)
      << LastCameraEntry();
  ASSERT_TRUE(frame->Editor()->CurrentSlide().video.has_value());

  // Again on the same slide: the video there is the one replaced, so its bytes are room.
  Command(frame, composer_command::kCaptureVideo);
  EXPECT_NE(LastCameraEntry().find(", at most " + std::to_string(Seconds(emptyRoom, 1000, 95)) + " s"),
            std::string::npos)
      << LastCameraEntry();

  // On a new slide the first video takes its share.
  Command(frame, composer_command::kAddSlide);
  const long long room = static_cast<long long>(MaxSendSize()) - MessageSizeOf(frame->Editor()->Model());
  ASSERT_LT(room, emptyRoom);
  Command(frame, composer_command::kCaptureVideo);
  EXPECT_NE(LastCameraEntry().find(", at most " + std::to_string(Seconds(room, 1000, 95)) + " s"), std::string::npos)
      << LastCameraEntry();

  // Other video modes pass no limit.
  ASSERT_TRUE(SetConfigValue(numeric_setting::kVideoMode, 2, FALSE));
  Command(frame, composer_command::kAddSlide);
  Command(frame, composer_command::kCaptureVideo);
  EXPECT_EQ(LastCameraEntry().find("at most"), std::string::npos) << LastCameraEntry();
}

TEST_F(MediaCaptureTest, WithoutRoomForOneSecondTheCameraIsNotOpened) {
  Put(kVideo, "media/h263-qcif-amrnb.3gp");
  SetString(u"\\Platform\\Camera", u"VideoSource", kVideo);
  // A profile so rich that not one second fits in the message.
  SetByteRate(100'000'000);
  ASSERT_TRUE(SetConfigValue(numeric_setting::kVideoMode, -1, FALSE));
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  QueueAnswer(IDOK, u"at most 300 KB");
  Command(frame, composer_command::kCaptureVideo);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u) << "the person is told why";
  EXPECT_EQ(LastCameraEntry(), "");
  EXPECT_FALSE(frame->Editor()->CurrentSlide().video.has_value());
  EXPECT_FALSE(frame->IsBusy());
}

TEST_F(MediaCaptureTest, ThePickersCaptureRowOpensTheCameraAndACancelledPickerChangesNothing) {
  SetConfigValue(numeric_setting::kCaptureEnable, 0x6, FALSE);
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  // No camera picture to take: the person is told, and the slide stays empty.
  QueueFileChoice(media_picker::kCaptureChoice, u"Picture or Video");
  QueueAnswer(IDOK, u"camera cannot be used");
  Command(frame, composer_command::kInsertVisual);
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u);
  EXPECT_FALSE(frame->Editor()->CurrentSlide().image.has_value());

  SetString(u"\\Platform\\Camera", u"StillSource", u"\\My Documents\\My Pictures\\dot.png");
  const std::size_t asked = CameraEntries();
  QueueFileChoice(u"");
  Command(frame, composer_command::kInsertVisual);
  EXPECT_EQ(CameraEntries(), asked) << "a cancelled picker opens no camera";
  EXPECT_FALSE(frame->Editor()->CurrentSlide().image.has_value());

  QueueFileChoice(media_picker::kCaptureChoice, u"Picture or Video");
  Command(frame, composer_command::kInsertVisual);
  EXPECT_NE(LastCameraEntry().find("picture \\My Documents\\My Pictures\\IMAGE001.png"), std::string::npos)
      << LastCameraEntry();
  const Slide& slide = frame->Editor()->CurrentSlide();
  ASSERT_TRUE(slide.image && slide.image->part);
  EXPECT_EQ(slide.image->part->fileName, u"IMAGE001.png");
  EXPECT_FALSE(frame->IsBusy());
}

class SoundOnlyQuestion : public MediaCaptureTest {
 protected:
  void SetUp() override {
    MediaCaptureTest::SetUp();
    Put(kSoundOnly, "media/amrnb-audio-only.3gp");
  }
  // Inserts the sound-only video with `answer` queued for the question; whether it was asked.
  bool InsertAnswering(CComposerFrame* frame, int answer) {
    QueueAnswer(answer);
    frame->SendMessage(composer_message::kAddObject, media_type::kNone, reinterpret_cast<LPARAM>(kSoundOnly));
    platform::automation::PumpUntilIdle();
    return platform::automation::PendingAnswers() == 0;
  }
  bool PartFolderHolds(CComposerFrame* frame, const char16_t* name) {
    return std::filesystem::exists(
        m_device.Host(std::u16string(frame->Editor()->Model().partFolder.View()) + name));
  }
};

TEST_F(SoundOnlyQuestion, EachAnswerDecidesWhatLandsInTheSlide) {
  // Sound makes it the slide's 3GPP sound, video keeps it a video, backing out inserts nothing.
  const struct {
    int answer;
    bool audio, video;
  } cases[] = {{kSendAsSoundButton, true, false}, {kKeepAsVideoButton, false, true}, {IDCANCEL, false, false}};
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    if (frame->Editor()->CurrentSlide().audio || frame->Editor()->CurrentSlide().video) {
      Command(frame, composer_command::kAddSlide);
    }
    const bool changedBefore = frame->Editor()->IsChanged();
    ASSERT_TRUE(InsertAnswering(frame, c.answer)) << "the question was asked";
    const Slide& slide = frame->Editor()->CurrentSlide();
    ASSERT_EQ(slide.audio.has_value(), c.audio);
    ASSERT_EQ(slide.video.has_value(), c.video);
    if (c.audio) {
      EXPECT_EQ(slide.audio->part->type, media_type::Make(media_type::kAudio, 11));
      EXPECT_EQ(frame->AudioItem()->Caption(), u"voice.3gp");
    }
    if (c.video) EXPECT_EQ(media_type::KindOf(slide.video->part->type), media_type::kVideo);
    if (!c.audio && !c.video) EXPECT_EQ(frame->Editor()->IsChanged(), changedBefore);
  }
}

TEST_F(SoundOnlyQuestion, BackingOutOfTheQuestionCopiesNothing) {
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(InsertAnswering(frame, IDCANCEL));
  EXPECT_FALSE(PartFolderHolds(frame, u"voice.3gp"));
  EXPECT_FALSE(frame->Editor()->IsChanged());
}

TEST_F(SoundOnlyQuestion, IsNotAskedOfAVideoWithPicturesNorOnACdmaPhone) {
  Put(u"\\My Documents\\My Videos\\moving.3gp", "media/h263-qcif-amrnb.3gp");
  CComposerFrame* frame = OpenNew();
  ASSERT_NE(frame, nullptr);
  frame->SendMessage(composer_message::kAddObject, media_type::kNone,
                     reinterpret_cast<LPARAM>(u"\\My Documents\\My Videos\\moving.3gp"));
  platform::automation::PumpUntilIdle();
  EXPECT_TRUE(frame->Editor()->CurrentSlide().video.has_value());

  SetConfigValue(numeric_setting::kIsSupportCDMA, 1, FALSE);
  Command(frame, composer_command::kAddSlide);
  frame->SendMessage(composer_message::kAddObject, media_type::kNone, reinterpret_cast<LPARAM>(kSoundOnly));
  platform::automation::PumpUntilIdle();
  EXPECT_TRUE(frame->Editor()->CurrentSlide().video.has_value()) << "goes in as it is";
  for (const auto& prompt : platform::automation::PromptLog()) EXPECT_NE(prompt.kind, u"Dialog") << "nothing asked";
}

}  // namespace
}  // namespace composer_test
