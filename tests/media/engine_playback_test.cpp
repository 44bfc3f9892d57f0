// Playback on the virtual clock: the 30 ms progress, the end notice at the true length while the
// state still reads 3, what the null sink wrote, pause, a second sound, looping, and video frames.
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "engines/dib_image.h"
#include "engines/media_engine_adapter.h"
#include "media_fixture.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/registry/registry.h"
#include "platform/window/window_api.h"

namespace media_test {
namespace {

struct Notice {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD tick;
  int32_t state;  // the engine's state while the notice was handled
};

std::vector<Notice> g_notices;
ULC_AudioEngine* g_audio = nullptr;
ULC_VideoEngine* g_video = nullptr;
// What the end handler does, when set: the views' stop path, or nothing.
void (*g_onEnd)() = nullptr;

LRESULT NoticeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == engine_message::kAudioProgress || message == engine_message::kVideoEnd ||
      message == engine_message::kVideoProgress || message == engine_message::kVideoState) {
    int32_t state = message == engine_message::kAudioProgress ? Audio_GetState(g_audio) : Video_GetState(g_video);
    g_notices.push_back({message, wParam, lParam, GetTickCount(), state});
    bool end = (message == engine_message::kAudioProgress && static_cast<int32_t>(wParam) == -1) ||
               message == engine_message::kVideoEnd;
    if (end && g_onEnd != nullptr) g_onEnd();
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class Playback : public MediaTest {
 protected:
  void SetUp() override {
    MediaTest::SetUp();
    platform::UseVirtualClock(true);
    WNDCLASSW info{};
    info.lpfnWndProc = NoticeProc;
    info.lpszClassName = u"MediaNoticeWindow";
    RegisterClassW(&info);
    m_window = CreateWindowExW(0, u"MediaNoticeWindow", u"", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                               nullptr, nullptr);
    g_audio = ULC_Global::GetGlobal()->InitAudioInstance();
    g_video = ULC_Global::GetGlobal()->InitVideoInstance();
    g_notices.clear();
    g_onEnd = nullptr;
    SetPlayedFile(u"\\Temp\\played.wav");
  }
  void TearDown() override {
    DestroyWindow(m_window);
    MediaTest::TearDown();
    platform::UseVirtualClock(false);
  }
  void SetPlayedFile(const std::u16string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Audio", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, u"PlayedFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * 2));
    RegCloseKey(key);
  }
  // Advances the clock in 10 ms steps until an end notice or the bound.
  void RunToEnd(int boundMs = 20000) {
    for (int elapsed = 0; elapsed < boundMs && !Ended(); elapsed += 10) platform::automation::AdvanceClock(10);
  }
  bool Ended() const {
    for (const Notice& notice : g_notices) {
      if ((notice.message == engine_message::kAudioProgress && static_cast<int32_t>(notice.wParam) == -1) ||
          notice.message == engine_message::kVideoEnd) {
        return true;
      }
    }
    return false;
  }
  const Notice& Last() const { return g_notices.back(); }
  // The samples the null sink wrote, after the 44-byte header.
  std::string PlayedData() {
    std::string wav = test_support::ReadFileBytes(m_device.Host(u"\\Temp\\played.wav"));
    return wav.size() < 44 ? std::string() : wav.substr(44);
  }

  HWND m_window = nullptr;
};

TEST_F(Playback, EndNoticeArrivesAtTheTrueLengthWhileTheStateStillReadsPlaying) {
  std::u16string path = Put("amrnb-122-sweep.amr");
  ASSERT_EQ(Audio_GetState(g_audio), engine_state::kIdle);
  ASSERT_EQ(Audio_LoadFile(g_audio, path.c_str(), m_window, 0), 3200);
  DWORD start = GetTickCount();
  Audio_Play(g_audio, 0, -1, 1, 100);
  EXPECT_EQ(Audio_GetState(g_audio), engine_state::kPlaying);
  RunToEnd();
  ASSERT_TRUE(Ended());
  EXPECT_EQ(Last().tick - start, 3200u);
  EXPECT_EQ(Last().state, engine_state::kPlaying);
  EXPECT_EQ(Audio_GetState(g_audio), engine_state::kStopped);
  // Progress every 30 ms of the clock, in this state only, with the position and the length.
  ASSERT_EQ(g_notices.size(), 3200u / 30 + 1);
  for (size_t i = 0; i + 1 < g_notices.size(); ++i) {
    EXPECT_EQ(g_notices[i].wParam, (i + 1) * 30);
    EXPECT_EQ(g_notices[i].lParam, 3200);
    EXPECT_EQ(g_notices[i].tick - start, (i + 1) * 30);
    EXPECT_EQ(g_notices[i].state, engine_state::kPlaying);
  }
}

TEST_F(Playback, NullSinkWritesExactlyThePcmThatPlayed) {
  ASSERT_EQ(Audio_LoadFile(g_audio, Put("pcm16-8k-mono.wav").c_str(), m_window, 0), 2000);
  Audio_Play(g_audio, 0, -1, 1, 100);
  RunToEnd();
  std::string source = test_support::ReadFileBytes(test_support::CorpusPath("media/pcm16-8k-mono.wav")).substr(44);
  EXPECT_EQ(PlayedData(), source);
}

// Comfort-noise frames and blank packets play for their 20 ms each, so the sound lasts its length.
TEST_F(Playback, FramesFfmpegDropsStillPlayTheirTime) {
  struct Case {
    const char* name;
    size_t samples;
  } cases[] = {{"amrnb-dtx-modes.amr", 24000}, {"qcelp13k-blank-mixed.qcp", 24000}, {"evrc-eighth.qcp", 24000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_notices.clear();
    ASSERT_GT(Audio_LoadFile(g_audio, Put(c.name).c_str(), m_window, 0), 0);
    Audio_Play(g_audio, 0, -1, 1, 100);
    RunToEnd();
    Audio_UnloadFile(g_audio);
    std::string data = PlayedData();
    EXPECT_EQ(data.size(), c.samples * 2);
  }
}

TEST_F(Playback, DtxSpeechIsNotSilence) {
  ASSERT_EQ(Audio_LoadFile(g_audio, Put("amrnb-dtx-modes.amr").c_str(), m_window, 0), 3000);
  Audio_Play(g_audio, 0, -1, 1, 100);
  RunToEnd();
  std::string data = PlayedData();
  ASSERT_EQ(data.size(), 48000u);
  auto energy = [&](size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) {
      int16_t sample;
      std::memcpy(&sample, data.data() + i * 2, 2);
      sum += double(sample) * sample;
    }
    return sum / double(to - from);
  };
  EXPECT_GT(energy(0, 4000), 1000.0);  // the first half second is speech
}

TEST_F(Playback, PauseHoldsThePositionAndResumeContinues) {
  ASSERT_EQ(Audio_LoadFile(g_audio, Put("pcm16-8k-mono.wav").c_str(), m_window, 0), 2000);
  DWORD start = GetTickCount();
  Audio_Play(g_audio, 0, -1, 1, 100);
  platform::automation::AdvanceClock(600);
  Audio_Pause(g_audio);
  EXPECT_EQ(Audio_GetState(g_audio), engine_state::kPaused);
  size_t before = g_notices.size();
  platform::automation::AdvanceClock(5000);
  EXPECT_EQ(g_notices.size(), before);
  Audio_Play(g_audio, 0, -1, 1, 100);
  RunToEnd();
  EXPECT_EQ(Last().tick - start, 7000u);
  std::string source = test_support::ReadFileBytes(test_support::CorpusPath("media/pcm16-8k-mono.wav")).substr(44);
  EXPECT_EQ(PlayedData(), source);
}

TEST_F(Playback, ASecondSoundWhileOnePlaysLeavesTheFirstPlaying) {
  std::u16string first = Put("pcm16-8k-mono.wav");
  std::u16string second = Put("amrnb-122-sweep.amr");
  ASSERT_EQ(Audio_LoadFile(g_audio, first.c_str(), m_window, 0), 2000);
  DWORD start = GetTickCount();
  Audio_Play(g_audio, 0, -1, 1, 100);
  platform::automation::AdvanceClock(300);
  // The second view finds the state not 1 and plays directly: the first sound goes on.
  ASSERT_NE(Audio_GetState(g_audio), engine_state::kIdle);
  Audio_Play(g_audio, 0, -1, 1, 100);
  RunToEnd();
  EXPECT_EQ(Last().tick - start, 2000u);
  // A view that wants its own file stops and unloads first.
  g_notices.clear();
  Audio_Stop(g_audio);
  Audio_UnloadFile(g_audio);
  ASSERT_EQ(Audio_GetState(g_audio), engine_state::kIdle);
  EXPECT_EQ(Audio_LoadFile(g_audio, second.c_str(), m_window, 0), 3200);
}

TEST_F(Playback, AnEndHandlerThatStopsKeepsTheStateItSet) {
  g_onEnd = [] {
    Audio_Stop(g_audio);
    Audio_UnloadFile(g_audio);
  };
  ASSERT_GT(Audio_LoadFile(g_audio, Put("pcm16-44k-stereo.wav").c_str(), m_window, 0), 0);
  Audio_Play(g_audio, 0, -1, 1, 100);
  RunToEnd();
  ASSERT_TRUE(Ended());
  EXPECT_EQ(Audio_GetState(g_audio), engine_state::kIdle);
}

TEST_F(Playback, ALoopingPlayerRestartsWhenTheStateReadsStopped) {
  ASSERT_EQ(Audio_LoadFile(g_audio, Put("pcm16-44k-stereo.wav").c_str(), m_window, 0), 500);
  DWORD start = GetTickCount();
  Audio_Play(g_audio, 0, -1, 1, 100);
  RunToEnd();
  ASSERT_EQ(Audio_GetState(g_audio), engine_state::kStopped);
  g_notices.clear();
  Audio_Play(g_audio, 0, -1, 1, 100);
  RunToEnd();
  ASSERT_TRUE(Ended());
  EXPECT_EQ(Last().tick - start, 1000u);
  // The second round starts from the beginning: its first progress is 30 ms in.
  EXPECT_EQ(g_notices.front().wParam, 30u);
  EXPECT_EQ(PlayedData().size(), 22050u * 2 * 2);
}

TEST_F(Playback, MidiPlaysForItsTempoMappedLength) {
  ASSERT_EQ(Audio_LoadFile(g_audio, Put("midi-format1.mid").c_str(), m_window, 0), 4800);
  DWORD start = GetTickCount();
  Audio_Play(g_audio, 0, -1, 1, 100);
  RunToEnd();
  EXPECT_EQ(Last().tick - start, 4800u);
  std::string data = PlayedData();
  ASSERT_EQ(data.size(), size_t(4800) * 22050 / 1000 * 4);
  bool sound = false;
  for (size_t i = 0; i + 1 < data.size() && !sound; i += 2) sound = data[i] != 0 || data[i + 1] != 0;
  EXPECT_TRUE(sound);
}

TEST_F(Playback, VideoDrawsFramesIntoItsRegionAndEndsWithItsNotice) {
  std::u16string path = Put("h264-qvga-aac.mp4");
  ASSERT_TRUE(Video_SetEngine(g_video, m_window, 0, 0, 240, 320));
  ASSERT_GT(Video_LoadFile(g_video, path.c_str(), 0), 0);
  EXPECT_EQ(Video_GetState(g_video), engine_state::kLoading);
  DWORD start = GetTickCount();
  Video_Play(g_video, 100);
  EXPECT_EQ(Video_GetState(g_video), engine_state::kPlaying);
  platform::automation::AdvanceClock(1000);
  std::unique_ptr<DibImage, DibImageDeleter> frame(Video_CaptureCurrentFrame(g_video));
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->header.biWidth, 240);  // 320 x 240 fitted into 240 x 320
  EXPECT_EQ(frame->header.biHeight, 180);
  int32_t finished = -1;
  ASSERT_TRUE(Video_GetFlag(g_video, engine_config::kFlagFinished, &finished));
  EXPECT_EQ(finished, 0);
  RunToEnd();
  ASSERT_TRUE(Ended());
  EXPECT_EQ(Last().message, engine_message::kVideoEnd);
  EXPECT_EQ(Last().tick - start, 2534u);
  EXPECT_EQ(Last().state, engine_state::kPlaying);
  EXPECT_EQ(Video_GetState(g_video), engine_state::kIdle);
  ASSERT_TRUE(Video_GetFlag(g_video, engine_config::kFlagFinished, &finished));
  EXPECT_EQ(finished, 1);
  // The start was posted as a state notice, then progress came every 30 ms.
  EXPECT_EQ(g_notices.front().message, engine_message::kVideoState);
  EXPECT_EQ(g_notices.front().wParam, static_cast<WPARAM>(engine_state::kPlaying));
  EXPECT_EQ(g_notices[1].message, engine_message::kVideoProgress);
  // The sound of the video went to the sink: 2.534 s of 44.1 kHz stereo.
  EXPECT_EQ(PlayedData().size(), size_t(2534) * 44100 / 1000 * 4);
}

// A pause between two ticks holds the frame due at the paused position, as a later tick at that
// position would have drawn it, not the frame of the tick before.
TEST_F(Playback, APausedVideoShowsTheFrameDueAtItsPosition) {
  const std::u16string path = Put("h264-qvga-aac.mp4");
  auto frameAt = [&](DWORD ms, bool pause) {
    EXPECT_TRUE(Video_SetEngine(g_video, m_window, 0, 0, 240, 320));
    EXPECT_GT(Video_LoadFile(g_video, path.c_str(), 0), 0);
    Video_Play(g_video, 100);
    platform::automation::AdvanceClock(ms);
    if (pause) Video_Pause(g_video, 0);
    std::unique_ptr<DibImage, DibImageDeleter> frame(Video_CaptureCurrentFrame(g_video));
    Video_Stop(g_video);
    Video_UnloadFile(g_video);
    return frame ? RgbOf(frame.get()) : std::vector<uint8_t>();
  };
  // Ticks come every 30 ms: 990 and 1020 are ticks, 1010 falls between; frames come every 33 ms,
  // and a new one is due at 1000.
  const std::vector<uint8_t> tickBefore = frameAt(990, false);
  const std::vector<uint8_t> tickAfter = frameAt(1020, false);
  ASSERT_FALSE(tickBefore.empty());
  ASSERT_NE(tickBefore, tickAfter);
  EXPECT_EQ(frameAt(1010, true), tickAfter);
}

// Paused and resumed between two ticks, a video still ends at its true length of play.
TEST_F(Playback, AVideoPausedBetweenTicksEndsAtItsTrueLength) {
  for (DWORD pauseAt : {600u, 607u, 1000u}) {
    SCOPED_TRACE(pauseAt);
    g_notices.clear();
    ASSERT_TRUE(Video_SetEngine(g_video, m_window, 0, 0, 240, 320));
    ASSERT_GT(Video_LoadFile(g_video, Put("h264-qvga-aac.mp4").c_str(), 0), 0);
    const DWORD start = GetTickCount();
    Video_Play(g_video, 100);
    platform::automation::AdvanceClock(pauseAt);
    Video_Pause(g_video, 0);
    platform::automation::AdvanceClock(500);
    Video_Play(g_video, 100);
    RunToEnd();
    ASSERT_TRUE(Ended());
    EXPECT_EQ(Last().tick - start, 2534u + 500u);
  }
}

// Protected video is decrypted in memory by the DRM service for its sound as for its pictures: what
// the sink hears is what the same video unprotected gives.
TEST_F(Playback, ProtectedVideoPlaysItsSound) {
  auto playedSound = [&](const std::u16string& path) {
    g_notices.clear();
    std::filesystem::remove(m_device.Host(u"\\Temp\\played.wav"));
    EXPECT_TRUE(Video_SetEngine(g_video, m_window, 0, 0, 240, 320));
    EXPECT_GT(Video_LoadFile(g_video, path.c_str(), 0), 0);
    Video_Play(g_video, 100);
    RunToEnd();
    EXPECT_TRUE(Ended());
    return PlayedData();
  };
  const std::string plain = playedSound(Put("h264-qvga-aac.mp4"));
  ASSERT_EQ(plain.size(), size_t(2534) * 44100 / 1000 * 4);
  bool sound = false;
  for (size_t i = 0; i + 1 < plain.size() && !sound; i += 2) sound = plain[i] != 0 || plain[i + 1] != 0;
  ASSERT_TRUE(sound);
  struct Case {
    const char* name;
    int plays;  // 0: forward-lock; else combined delivery with this many plays
  } cases[] = {{"locked", 0}, {"counted", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string played = playedSound(PutProtectedVideo(c.name, c.plays));
    EXPECT_EQ(played.size(), plain.size());
    EXPECT_TRUE(played == plain);
  }
  // Nothing decrypted was written anywhere in the device but the unprotected copy.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(m_device.root())) {
    if (!entry.is_regular_file() || entry.path().filename() == "h264-qvga-aac.mp4") continue;
    EXPECT_NE(test_support::ReadFileBytes(entry.path()).find("ftypisom"), 4u) << entry.path();
  }
}

// MPEG audio may change its channel mode from one frame to the next: a stream that starts in
// stereo and goes on in mono plays its whole length, the mono frames as they come or as silence.
TEST_F(Playback, MpegAudioThatTurnsMonoHalfwayPlaysItsLength) {
  // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, no padding: 417 bytes, silent (empty side information).
  auto frames = [](uint8_t mode, int count) {
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = static_cast<char>(mode << 6);
    std::string out;
    for (int i = 0; i < count; ++i) out += frame;
    return out;
  };
  std::u16string path = PutBytes("turns-mono.mp3", frames(0, 20) + frames(3, 20));
  ASSERT_EQ(Audio_LoadFile(g_audio, path.c_str(), m_window, 0), 40 * 1152 * 1000 / 44100);
  Audio_Play(g_audio, 0, -1, 1, 100);
  RunToEnd();
  EXPECT_TRUE(Ended());
  EXPECT_EQ(PlayedData().size(), 46040u * 2 * 2) << "1044 ms of 44.1 kHz stereo";
}

// A movie header whose length does not fit 31 bits of milliseconds (here 4294970 s, 2704 ms once
// cut to 32 bits) is refused, protected or not.
TEST_F(Playback, AVideoLengthPastWhatMillisecondsHoldIsRefused) {
  std::string video = test_support::ReadFileBytes(test_support::CorpusPath("media/h264-qvga-aac.mp4"));
  size_t mvhd = video.find("mvhd");
  ASSERT_NE(mvhd, std::string::npos);
  video.replace(mvhd + 16, 8, std::string("\x00\x00\x00\x01\x00\x41\x89\x3A", 8));  // timescale 1, 4294970
  ASSERT_TRUE(Video_SetEngine(g_video, m_window, 0, 0, 240, 320));
  EXPECT_EQ(Video_LoadFile(g_video, PutBytes("long.mp4", video).c_str(), 0), 0);
  EXPECT_EQ(Video_LoadFile(g_video, PutProtectedVideo("long", 0, video).c_str(), 0), 0);
  EXPECT_EQ(Video_GetState(g_video), engine_state::kIdle);
}

TEST_F(Playback, VideoLoadFailsCleanlyOnBrokenFiles) {
  ASSERT_TRUE(Video_SetEngine(g_video, m_window, 0, 0, 240, 320));
  for (const char* name : {"truncated-3000.mp4", "empty.mp3", "amrnb-audio-only.3gp"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Video_LoadFile(g_video, Put(name).c_str(), 0), 0);
    EXPECT_EQ(Video_GetState(g_video), engine_state::kIdle);
    Video_Play(g_video, 100);
    EXPECT_EQ(Video_GetState(g_video), engine_state::kIdle);
  }
}

// The kind of video engine is the library's, not one engine's: set through the shared engine, it
// is what every caller reads; a key or value that names no kind, or a handle the library did not
// make, leaves it as it was.
TEST_F(Playback, TheVideoEngineKindIsChosenForTheWholeLibraryAndOnlyByItsKey) {
  using namespace video_engine_type;
  EXPECT_EQ(Video_GetEngineType(), kPlaysWithoutStill) << "it plays protected videos it makes no still of";
  int foreign = 0;
  ULC_VideoEngine stranger{&foreign};
  struct Step {
    const char* what;
    ULC_VideoEngine* engine;
    int32_t key;
    intptr_t value;
    int32_t reported;
  };
  const Step steps[] = {
      {"needs a still", g_video, engine_config::kEngineKind, kNeedsStill, kNeedsStill},
      {"a value between the kinds", g_video, engine_config::kEngineKind, 3, kNeedsStill},
      {"no kind at all", g_video, engine_config::kEngineKind, 0, kNeedsStill},
      {"the thumbnail's key", g_video, engine_config::kThumbnailOwner, kOwnPlayer, kNeedsStill},
      {"a handle not made here", &stranger, engine_config::kEngineKind, kOwnPlayer, kNeedsStill},
      {"own player", g_video, engine_config::kEngineKind, kOwnPlayer, kOwnPlayer},
      {"back to its own kind", g_video, engine_config::kEngineKind, kPlaysWithoutStill, kPlaysWithoutStill},
  };
  for (const Step& step : steps) {
    Video_SetConfig(step.engine, step.key, step.value);
    EXPECT_EQ(Video_GetEngineType(), step.reported) << step.what;
  }
}

}  // namespace
}  // namespace media_test
