// Every sound and video of the media corpus through the engine adapter, against what independent
// tools found: true durations (counted from frames and headers where FFmpeg only estimates),
// displayed sizes after rotation, and first frames by PSNR. Broken files fail or give partial
// values, within bounded time.
#include <cmath>
#include <memory>

#include "engines/dib_image.h"
#include "engines/media_engine_adapter.h"
#include "media_fixture.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"

namespace media_test {
namespace {

constexpr int kToleranceMs = 30;

using DibPointer = std::unique_ptr<DibImage, DibImageDeleter>;

class CorpusMedia : public MediaTest {
 protected:
  ULC_AudioEngine* Audio() { return ULC_Global::GetGlobal()->InitAudioInstance(); }
  ULC_VideoEngine* Video() { return ULC_Global::GetGlobal()->InitVideoInstance(); }
};

TEST_F(CorpusMedia, DurationsAreTheTrueLengths) {
  int checked = 0;
  for (const std::string& name : CorpusMediaFiles()) {
    json_test::Value summary = Expected(name)["summary"];
    const std::string group = summary["group"].text;
    if ((group != "audio" && group != "video") || summary["duration_seconds"].IsNull()) continue;
    SCOPED_TRACE(name);
    std::u16string path = Put(name);
    int expected = static_cast<int>(std::lround(summary["duration_seconds"].number * 1000));
    EXPECT_NEAR(Audio_GetAudioFileDuration(Audio(), path.c_str()), expected, kToleranceMs);
    ++checked;
  }
  EXPECT_EQ(checked, 23);
}

TEST_F(CorpusMedia, EstimatesAreNotTaken) {
  // Files where FFmpeg's guess from the bit rate is far from the counted length.
  for (const char* name : {"amrnb-dtx-modes.amr", "qcelp13k-eighth.qcp", "evrc-eighth.qcp", "qcelp13k-blank-mixed.qcp",
                           "mp3-cbr-44k-stereo.mp3", "mp3-vbr-22k-mono.mp3"}) {
    SCOPED_TRACE(name);
    json_test::Value candidates = Expected(name)["summary"]["duration_candidates"];
    int estimate = static_cast<int>(std::lround(candidates["ffprobe_format"].number * 1000));
    int duration = Audio_GetAudioFileDuration(Audio(), Put(name).c_str());
    EXPECT_GT(std::abs(duration - estimate), kToleranceMs);
  }
}

TEST_F(CorpusMedia, VideoSizesAreAsDisplayedAndCarryTheDuration) {
  for (const std::string& name : CorpusMediaFiles()) {
    json_test::Value summary = Expected(name)["summary"];
    if (summary["group"].text != "video") continue;
    SCOPED_TRACE(name);
    std::u16string path = Put(name);
    int32_t width = 0, height = 0, duration = 0;
    ASSERT_TRUE(Video_GetVideoInfo(Video(), path.c_str(), &width, &height, &duration, 0));
    EXPECT_EQ(width, summary["video"]["display_size"].items[0].number);
    EXPECT_EQ(height, summary["video"]["display_size"].items[1].number);
    EXPECT_NEAR(duration, summary["duration_seconds"].number * 1000, kToleranceMs);
  }
}

TEST_F(CorpusMedia, FirstFramesMatchTheReferenceDecoder) {
  int checked = 0;
  for (const std::string& name : CorpusMediaFiles()) {
    std::filesystem::path reference = test_support::CorpusPath("media/expected/" + name + ".first.png");
    if (!std::filesystem::exists(reference)) continue;
    SCOPED_TRACE(name);
    int width = 0, height = 0;
    std::vector<uint8_t> expected = ReadPngOverWhite(reference, width, height);
    ASSERT_FALSE(expected.empty());
    SIZE box{0, 0};
    DibPointer frame(Video_LoadFirstFrame(Video(), Put(name).c_str(), &box));
    ASSERT_TRUE(frame);
    ASSERT_NE(frame.get(), reinterpret_cast<DibImage*>(static_cast<intptr_t>(-1)));
    EXPECT_EQ(box.cx, width);
    EXPECT_EQ(box.cy, height);
    EXPECT_GE(Psnr(RgbOf(frame.get()), expected), 35.0);
    ++checked;
  }
  EXPECT_EQ(checked, 5);
}

TEST_F(CorpusMedia, FirstFrameFitsTheBoxWithoutGrowing) {
  std::u16string path = Put("h264-rotate90cw-aac.mp4");
  struct Case {
    SIZE box;
    SIZE produced;
  } cases[] = {
      {{72, 200}, {72, 88}},    // 144 x 176 halved
      {{1000, 1000}, {144, 176}},  // never enlarged
      {{144, 88}, {72, 88}},
  };
  for (const Case& c : cases) {
    SIZE box = c.box;
    DibPointer frame(Video_LoadFirstFrame(Video(), path.c_str(), &box));
    ASSERT_TRUE(frame);
    EXPECT_EQ(box.cx, c.produced.cx);
    EXPECT_EQ(box.cy, c.produced.cy);
    EXPECT_EQ(frame->header.biWidth, c.produced.cx);
  }
}

TEST_F(CorpusMedia, SoundOnlyVideoGivesTheNoStillMarker) {
  SIZE box{176, 144};
  DibImage* frame = Video_LoadFirstFrame(Video(), Put("amrnb-audio-only.3gp").c_str(), &box);
  EXPECT_EQ(frame, reinterpret_cast<DibImage*>(static_cast<intptr_t>(-1)));
  int32_t width = 0, height = 0;
  EXPECT_FALSE(Video_GetVideoInfo(Video(), Put("amrnb-audio-only.3gp").c_str(), &width, &height, nullptr, 0));
}

// Broken files: whatever the engine says, it says it soon, and nothing it loads plays forever.
TEST_F(CorpusMedia, BrokenFilesFailOrGivePartialValues) {
  platform::UseVirtualClock(true);
  for (const std::string& name : CorpusMediaFiles()) {
    json_test::Value summary = Expected(name)["summary"];
    if (summary["group"].text != "broken") continue;
    SCOPED_TRACE(name);
    std::u16string path = Put(name);
    int32_t duration = Audio_GetAudioFileDuration(Audio(), path.c_str());
    EXPECT_GE(duration, -1);
    if (!summary["duration_seconds"].IsNull()) {
      EXPECT_LE(duration, summary["duration_seconds"].number * 1000 + kToleranceMs);
    }
    SIZE box{64, 64};
    DibPointer frame(Video_LoadFirstFrame(Video(), path.c_str(), &box));
    int32_t width = 0, height = 0;
    Video_GetVideoInfo(Video(), path.c_str(), &width, &height, nullptr, 0);
    EXPECT_LE(static_cast<int64_t>(width) * height, 4096 * 2304);
    int32_t loaded = Audio_LoadFile(Audio(), path.c_str(), nullptr, 0);
    if (loaded > 0) {
      Audio_Play(Audio(), 0, -1, 1, 100);
      for (int step = 0; step < 1000 && Audio_GetState(Audio()) == engine_state::kPlaying; ++step) {
        platform::automation::AdvanceClock(30);
      }
      EXPECT_EQ(Audio_GetState(Audio()), engine_state::kStopped);
    }
    Audio_UnloadFile(Audio());
  }
  platform::UseVirtualClock(false);
}

// Headers that claim a length no file holds: the arithmetic must not wrap round into a length that
// looks plausible.
TEST_F(CorpusMedia, LengthsPastWhatCountsHoldAreNotTaken) {
  auto be32 = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  // MPEG-1 Layer III 128 kbit/s 44.1 kHz stereo frames (417 bytes); the first is a Xing frame whose
  // count, 164416908 frames, is 4294972290 ms: 4994 ms once wrapped to 32 bits.
  std::string frame(417, '\0');
  frame.replace(0, 4, "\xFF\xFB\x90\x00", 4);
  std::string xing = frame;
  xing.replace(36, 12, "Xing" + be32(1) + be32(164416908));
  std::string mp3 = xing;
  for (int i = 0; i < 5; ++i) mp3 += frame;
  EXPECT_EQ(Audio_GetAudioFileDuration(Audio(), PutBytes("xing-lies.mp3", mp3).c_str()), -1);
  // A format 0 MIDI file, one tick a quarter note, tempo 2^23 us: 2^14 events 2^27 ticks apart and
  // an End of Track 1000 ticks later make 2^41 + 1000 quarters, whose microseconds wrap to 64 bits.
  std::string track = std::string("\x00\xFF\x51\x03\x80\x00\x00", 7);
  for (int i = 0; i < 1 << 14; ++i) track += std::string("\xC0\x80\x80\x00\xFF\x01\x00", 7);
  track += std::string("\x87\x68\xFF\x2F\x00", 5);
  std::string midi = "MThd" + be32(6) + std::string("\x00\x00\x00\x01\x00\x01", 6) + "MTrk" +
                     be32(static_cast<uint32_t>(track.size())) + track;
  EXPECT_EQ(Audio_GetAudioFileDuration(Audio(), PutBytes("tempo-wraps.mid", midi).c_str()), -1);
}

TEST_F(CorpusMedia, EmptyAndMissingFilesHaveNoLength) {
  EXPECT_EQ(Audio_GetAudioFileDuration(Audio(), Put("empty.mp3").c_str()), -1);
  EXPECT_EQ(Audio_GetAudioFileDuration(Audio(), u"\\My Documents\\missing.amr"), -1);
  EXPECT_EQ(Audio_GetAudioFileDuration(Audio(), u""), -1);
  EXPECT_EQ(Audio_LoadFile(Audio(), Put("empty.mp3").c_str(), nullptr, 0), 0);
  EXPECT_EQ(Audio_GetState(Audio()), engine_state::kIdle);
}

}  // namespace
}  // namespace media_test
