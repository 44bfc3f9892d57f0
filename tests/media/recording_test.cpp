// Recording through the adapter: AMR-NB from a WAV microphone on the virtual clock, the size limit
// and its notice, the null engine for QCELP, and the adapter's rules on a library without
// Record_Stop.
#include <cmath>
#include <cstring>

#include "engines/media_engine_adapter.h"
#include "frame_walkers.h"
#include "media_fixture.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/module_api.h"
#include "platform/registry/registry.h"
#include "platform/window/window_api.h"

namespace media_test {
namespace {

std::vector<UINT> g_messages;

LRESULT RecordProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == engine_message::kRecordProgress || message == engine_message::kRecordLimit) {
    g_messages.push_back(message);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class Recording : public MediaTest {
 protected:
  void SetUp() override {
    MediaTest::SetUp();
    platform::UseVirtualClock(true);
    WNDCLASSW info{};
    info.lpfnWndProc = RecordProc;
    info.lpszClassName = u"MediaRecordWindow";
    RegisterClassW(&info);
    m_window = CreateWindowExW(0, u"MediaRecordWindow", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    g_messages.clear();
  }
  void TearDown() override {
    DestroyWindow(m_window);
    MediaTest::TearDown();
    platform::UseVirtualClock(false);
  }
  void SetMicrophone(const std::u16string& path) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Audio", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, u"Microphone", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * 2));
    RegCloseKey(key);
  }
  std::string Recorded() { return test_support::ReadFileBytes(m_device.Host(u"\\My Documents\\clip.amr")); }
  uint32_t Frames(const std::string& bytes) {
    auto stream = media_formats::WalkAmr(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    return stream ? stream->frames : 0;
  }

  HWND m_window = nullptr;
  RecordEngineHolder m_holder;
};

TEST_F(Recording, RecordsAmrFromTheMicrophoneForAsLongAsTheClockRan) {
  SetMicrophone(Put("pcm16-8k-mono.wav"));
  ASSERT_TRUE(StartRecording(&m_holder, u"\\My Documents\\clip.amr", m_window, 100000, record_type::kAmr));
  ASSERT_NE(m_holder.handle, nullptr);
  platform::automation::AdvanceClock(1000);
  StopRecording(&m_holder);
  DestroyRecording(&m_holder);
  EXPECT_EQ(m_holder.handle, nullptr);
  std::string clip = Recorded();
  ASSERT_GE(clip.size(), 6u);
  EXPECT_EQ(clip.substr(0, 6), "#!AMR\n");
  EXPECT_EQ(Frames(clip), 50u);
  EXPECT_EQ(clip.size(), 6 + Frames(clip) * 32u);  // 12.2 kbit/s frames
  EXPECT_FALSE(g_messages.empty());
  for (const auto& entry : std::filesystem::directory_iterator(m_device.Host(u"\\My Documents"))) {
    EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos);  // no temporary file left
  }
  // The clip plays back for its length.
  ULC_AudioEngine* audio = ULC_Global::GetGlobal()->InitAudioInstance();
  EXPECT_NEAR(Audio_GetAudioFileDuration(audio, u"\\My Documents\\clip.amr"), 1000, 40);
}

// The clip decodes back to the microphone's sound: AMR at 12.2 kbit/s keeps its waveform closely
// (allowing for the codec's delay).
TEST_F(Recording, TheClipSoundsLikeTheMicrophone) {
  SetMicrophone(Put("pcm16-8k-mono.wav"));
  ASSERT_TRUE(StartRecording(&m_holder, u"\\My Documents\\clip.amr", m_window, 100000, record_type::kAmr));
  platform::automation::AdvanceClock(1000);
  StopRecording(&m_holder);
  DestroyRecording(&m_holder);
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Audio", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  const std::u16string played = u"\\Temp\\played.wav";
  RegSetValueExW(key, u"PlayedFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(played.c_str()),
                 static_cast<DWORD>((played.size() + 1) * 2));
  RegCloseKey(key);
  ULC_AudioEngine* audio = ULC_Global::GetGlobal()->InitAudioInstance();
  ASSERT_EQ(Audio_LoadFile(audio, u"\\My Documents\\clip.amr", nullptr, 0), 1000);
  Audio_Play(audio, 0, -1, 1, 100);
  platform::automation::AdvanceClock(1100);
  std::string decoded = test_support::ReadFileBytes(m_device.Host(played)).substr(44);
  std::string source = test_support::ReadFileBytes(test_support::CorpusPath("media/pcm16-8k-mono.wav")).substr(44, 16000);
  ASSERT_EQ(decoded.size(), source.size());
  auto sample = [](const std::string& bytes, size_t i) {
    int16_t value;
    std::memcpy(&value, bytes.data() + i * 2, 2);
    return double(value);
  };
  double best = 0;
  for (size_t delay = 0; delay < 120; ++delay) {
    double product = 0, a = 0, b = 0;
    for (size_t i = 400; i + delay < 8000; ++i) {
      double x = sample(source, i), y = sample(decoded, i + delay);
      product += x * y;
      a += x * x;
      b += y * y;
    }
    if (a > 0 && b > 0) best = std::max(best, product / std::sqrt(a * b));
  }
  EXPECT_GT(best, 0.8);
}

TEST_F(Recording, StopsByItselfAtTheSizeLimit) {
  SetMicrophone(Put("pcm16-8k-mono.wav"));
  const int32_t limit = 6 + 32 * 10 + 5;
  ASSERT_TRUE(StartRecording(&m_holder, u"\\My Documents\\clip.amr", m_window, limit, record_type::kAmr));
  platform::automation::AdvanceClock(2000);
  platform::automation::PumpUntilIdle();
  std::string clip = Recorded();
  EXPECT_LE(clip.size(), static_cast<size_t>(limit));
  EXPECT_EQ(Frames(clip), 10u);
  ASSERT_FALSE(g_messages.empty());
  EXPECT_EQ(g_messages.back(), engine_message::kRecordLimit);
  StopRecording(&m_holder);
  DestroyRecording(&m_holder);
}

// A microphone slower than one sample a frame (here 10 Hz) still records, its frames held or silent.
TEST_F(Recording, AMicrophoneOfFewSamplesASecondStillRecords) {
  std::string samples;
  for (int i = 0; i < 20; ++i) samples += std::string(i % 2 ? "\x00\x10" : "\x00\xF0", 2);
  auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  std::string wav = "RIFF" + le32(36 + samples.size()) + "WAVEfmt " + le32(16) + std::string("\x01\x00\x01\x00", 4) +
                    le32(10) + le32(20) + std::string("\x02\x00\x10\x00", 4) + "data" + le32(samples.size()) + samples;
  SetMicrophone(PutBytes("slow.wav", wav));
  ASSERT_TRUE(StartRecording(&m_holder, u"\\My Documents\\clip.amr", m_window, 100000, record_type::kAmr));
  platform::automation::AdvanceClock(1000);
  StopRecording(&m_holder);
  DestroyRecording(&m_holder);
  EXPECT_EQ(Frames(Recorded()), 50u);
}

// A destination taken by a folder cannot receive the clip: the folder stays as it was and no
// half-made clip is left beside it.
TEST_F(Recording, AClipThatCannotBePutInPlaceLeavesNoTemporaryFile) {
  SetMicrophone(Put("pcm16-8k-mono.wav"));
  std::filesystem::create_directories(m_device.Host(u"\\My Documents\\clip.amr") / "inside");
  ASSERT_TRUE(StartRecording(&m_holder, u"\\My Documents\\clip.amr", m_window, 100000, record_type::kAmr));
  platform::automation::AdvanceClock(200);
  StopRecording(&m_holder);
  DestroyRecording(&m_holder);
  EXPECT_TRUE(std::filesystem::is_directory(m_device.Host(u"\\My Documents\\clip.amr") / "inside"));
  for (const auto& entry : std::filesystem::directory_iterator(m_device.Host(u"\\My Documents"))) {
    EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
  }
}

TEST_F(Recording, QcelpHasNoEncoderAndGivesANullEngine) {
  SetMicrophone(Put("pcm16-8k-mono.wav"));
  EXPECT_FALSE(StartRecording(&m_holder, u"\\My Documents\\clip.qcp", m_window, 100000, record_type::kQcelp));
  EXPECT_EQ(m_holder.handle, nullptr);
  EXPECT_FALSE(std::filesystem::exists(m_device.Host(u"\\My Documents\\clip.qcp")));
}

TEST_F(Recording, WithoutAMicrophoneNothingStarts) {
  EXPECT_FALSE(StartRecording(&m_holder, u"\\My Documents\\clip.amr", m_window, 100000, record_type::kAmr));
  DestroyRecording(&m_holder);
  EXPECT_FALSE(std::filesystem::exists(m_device.Host(u"\\My Documents\\clip.amr")));
}

// The adapter's own rules, seen through a library that counts what it is asked.
class FakeEngineLibrary : public MediaTest {
 protected:
  using CountersFn = void (*)(int32_t*, int32_t*, int32_t*);
  using ResetFn = void (*)(int32_t);
  void SetUp() override {
    MediaTest::SetUp();
    std::filesystem::path engine = m_device.Host(u"\\windows\\MediaEngine.dll");
    std::filesystem::remove(engine);
    std::filesystem::copy_file(test_support::BinaryPath("test-plugins/FakeEngine.dll"), engine);
    HMODULE module = ULC_Global::GetGlobal()->GetEngineDll();
    ASSERT_NE(module, nullptr);
    m_counters = reinterpret_cast<CountersFn>(GetProcAddressW(module, u"Fake_Counters"));
    m_reset = reinterpret_cast<ResetFn>(GetProcAddressW(module, u"Fake_Reset"));
    ASSERT_TRUE(m_counters && m_reset);
    m_reset(0);
  }
  int32_t Created() {
    int32_t created = 0, destroyed = 0, started = 0;
    m_counters(&created, &destroyed, &started);
    return created;
  }
  int32_t Destroyed() {
    int32_t created = 0, destroyed = 0, started = 0;
    m_counters(&created, &destroyed, &started);
    return destroyed;
  }

  CountersFn m_counters = nullptr;
  ResetFn m_reset = nullptr;
  RecordEngineHolder m_holder;
};

TEST_F(FakeEngineLibrary, ALimitBelowOneFailsWithoutMakingAnEngine) {
  for (int32_t limit : {0, -1}) {
    EXPECT_FALSE(StartRecording(&m_holder, u"\\My Documents\\clip.amr", nullptr, limit, 1));
  }
  EXPECT_FALSE(StartRecording(&m_holder, nullptr, nullptr, 1000, 1));
  EXPECT_EQ(Created(), 0);
  EXPECT_EQ(Destroyed(), 0);
}

TEST_F(FakeEngineLibrary, ANullEngineClearsTheHolderThroughDestroy) {
  m_reset(1);
  EXPECT_FALSE(StartRecording(&m_holder, u"\\My Documents\\clip.amr", nullptr, 1000, 1));
  EXPECT_EQ(Created(), 1);
  EXPECT_GE(Destroyed(), 1);
  EXPECT_EQ(m_holder.handle, nullptr);
}

TEST_F(FakeEngineLibrary, WithoutRecordStopRecordingEndsThroughDestroy) {
  ASSERT_TRUE(StartRecording(&m_holder, u"\\My Documents\\clip.amr", nullptr, 1000, 1));
  ASSERT_NE(m_holder.handle, nullptr);
  int32_t before = Destroyed();
  StopRecording(&m_holder);
  EXPECT_EQ(Destroyed(), before + 1);
  EXPECT_EQ(m_holder.handle, nullptr);
}

TEST_F(FakeEngineLibrary, EveryPlaybackCallTheLibraryLacksReturnsItsFailureValue) {
  ULC_AudioEngine audio{nullptr};
  ULC_VideoEngine video{nullptr};
  EXPECT_EQ(Audio_GetEngineType(), 0);
  EXPECT_EQ(Audio_GetAudioFileDuration(&audio, u"\\x.amr"), -1);
  EXPECT_EQ(Audio_LoadFile(&audio, u"\\x.amr", nullptr, 0), 0);
  EXPECT_EQ(Audio_Play(&audio, 0, -1, 1, 100), 0);
  EXPECT_EQ(Audio_GetState(&audio), 0);
  SIZE box{10, 10};
  EXPECT_EQ(Video_LoadFirstFrame(&video, u"\\x.mp4", &box), nullptr);
  EXPECT_EQ(Video_SetEngine(&video, nullptr, 0, 0, 1, 1), 0);
  EXPECT_EQ(Video_LoadFile(&video, u"\\x.mp4", 0), 0);
  EXPECT_EQ(Video_CaptureCurrentFrame(&video), nullptr);
  int32_t flag = 5;
  EXPECT_EQ(Video_GetFlag(&video, 1, &flag), 0);
  EXPECT_EQ(flag, 5);
}

}  // namespace
}  // namespace media_test
