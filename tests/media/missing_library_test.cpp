// Without the engine, QCP or SVG library every adapter call gives its specified failure and the
// slides keep their default lengths; putting the library back makes them work again.
#include <memory>

#include "engines/dib_image.h"
#include "engines/image_decode.h"
#include "engines/image_info.h"
#include "engines/media_engine_adapter.h"
#include "engines/media_lengths.h"
#include "engines/media_shutdown.h"
#include "engines/qcp_format.h"
#include "engines/svg_library.h"
#include "media_fixture.h"

namespace media_test {
namespace {

class MissingLibrary : public MediaTest {
 protected:
  // Moves a library of the device away for the rest of the test.
  void Remove(const std::u16string& name) {
    std::filesystem::path library = m_device.Host(u"\\windows\\" + name);
    std::filesystem::rename(library, library.string() + ".away");
    m_removed.push_back(library);
  }
  void Restore() {
    for (const auto& library : m_removed) std::filesystem::rename(library.string() + ".away", library);
    m_removed.clear();
  }
  std::vector<std::filesystem::path> m_removed;
};

TEST_F(MissingLibrary, EngineCallsFailQuietly) {
  std::u16string sound = Put("amrnb-122-sweep.amr");
  std::u16string video = Put("h263-qcif-amrnb.3gp");
  Remove(u"MediaEngine.dll");
  ULC_Global* global = ULC_Global::GetGlobal();
  EXPECT_EQ(global->GetEngineDll(), nullptr);
  EXPECT_EQ(global->InitAudioInstance(), nullptr);
  EXPECT_EQ(global->InitVideoInstance(), nullptr);
  ULC_AudioEngine audio{nullptr};
  ULC_VideoEngine engine{nullptr};
  EXPECT_EQ(Audio_GetAudioFileDuration(&audio, sound.c_str()), -1);
  EXPECT_EQ(Audio_LoadFile(&audio, sound.c_str(), nullptr, 0), 0);
  EXPECT_EQ(Audio_IsUseVideoPlayer(&audio), 0);
  EXPECT_EQ(Audio_Stop(&audio), 0);
  EXPECT_EQ(Video_GetEngineType(), 0);
  EXPECT_EQ(Video_ResetRegion(&engine, nullptr, 0, 0, 1, 1), 0);
  EXPECT_EQ(Video_SetConfig(&engine, 0, 0), 0);
  RecordEngineHolder holder;
  EXPECT_FALSE(StartRecording(&holder, u"\\My Documents\\x.amr", nullptr, 1000, 1));
  StopRecording(&holder);
  DestroyRecording(&holder);
  // Pictures and slide lengths of videos and sounds fall back to nothing.
  SIZE size{};
  EXPECT_FALSE(GetImageInfo(video.c_str(), &size, nullptr, media_type::kNone));
  SIZE box{100, 100};
  EXPECT_EQ(DecodeImage(video.c_str(), &box, media_type::kNone, 0), nullptr);
  EXPECT_FALSE(EngineMediaLengths().LengthOf(sound, 0x20003));
  EXPECT_FALSE(EngineMediaLengths().LengthOf(video, 0x40005));
  global->UninitAudioInstance();
  global->UninitAudioNotifyInstance();
  global->UninitVideoInstance();
  global->UnloadEngineModule();
  Restore();
  EXPECT_EQ(EngineMediaLengths().LengthOf(sound, 0x20003), 3200u);
  EXPECT_EQ(EngineMediaLengths().LengthOf(video, 0x40005), 3000u);
}

TEST_F(MissingLibrary, QcpFormatIsTheFailureValue) {
  std::u16string evrc = Put("evrc-eighth.qcp");
  EXPECT_EQ(GetQcpFormat(evrc.c_str()), 48);
  Remove(u"qcp_reader.dll");
  EXPECT_EQ(GetQcpFormat(evrc.c_str()), 32);
  EXPECT_EQ(PlayableAudioType(evrc.c_str(), 0x20006), 0x20006u);
  Restore();
  EXPECT_EQ(PlayableAudioType(evrc.c_str(), 0x20006), 0x20007u);
}

TEST_F(MissingLibrary, SvgGivesNoPictureAndIsTriedAgainLater) {
  std::u16string svg = Put("shapes.svg");
  Remove(u"svgplayback.dll");
  EXPECT_EQ(AS_CreatePlayer(), nullptr);
  EXPECT_EQ(AS_Play(nullptr), 0);
  EXPECT_EQ(AS_Stop(nullptr, 0), -1);
  EXPECT_EQ(RenderSvgFirstFrame(svg.c_str(), 100, 100, 0), nullptr);
  SIZE size{};
  EXPECT_FALSE(GetImageInfo(svg.c_str(), &size, nullptr, media_type::kNone));
  Restore();
  std::unique_ptr<DibImage, DibImageDeleter> image(RenderSvgFirstFrame(svg.c_str(), 100, 100, 0));
  EXPECT_TRUE(image);
}

TEST_F(MediaTest, SharedEnginesLiveUntilReleasedInOrder) {
  ULC_Global* global = ULC_Global::GetGlobal();
  ULC_AudioEngine* audio = global->InitAudioInstance();
  ASSERT_NE(audio, nullptr);
  EXPECT_EQ(global->InitAudioInstance(), audio);
  ULC_VideoEngine* video = global->InitVideoInstance();
  ASSERT_NE(video, nullptr);
  EXPECT_NE(video->handle, audio->handle);
  ASSERT_GT(Audio_LoadFile(audio, Put("pcm16-8k-mono.wav").c_str(), nullptr, 0), 0);
  global->UninitAudioInstance();
  EXPECT_EQ(global->audioEngine, nullptr);
  global->UninitAudioNotifyInstance();
  global->UninitVideoInstance();
  EXPECT_EQ(global->videoEngine, nullptr);
  EXPECT_NE(global->engineModule, nullptr);
  global->UnloadEngineModule();
  EXPECT_EQ(global->engineModule, nullptr);
  ULC_AudioEngine* again = global->InitAudioInstance();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(Audio_GetState(again), engine_state::kIdle);
}

}  // namespace
}  // namespace media_test

namespace media_test {
namespace {

TEST_F(MediaTest, ShutDownReleasesEveryMediaLibraryAndALaterUseStartsAgain) {
  ULC_Global* global = ULC_Global::GetGlobal();
  ULC_AudioEngine* audio = global->InitAudioInstance();
  ASSERT_NE(audio, nullptr);
  ASSERT_GT(Audio_LoadFile(audio, Put("amrnb-122-sweep.amr").c_str(), nullptr, 0), 0);
  ASSERT_NE(global->InitVideoInstance(), nullptr);
  SvgPlayerHandle player = AS_CreatePlayer();
  ASSERT_NE(player, nullptr);
  AS_ReleasePlayer(player);
  ShutDownMediaEngines();
  EXPECT_EQ(global->audioEngine, nullptr);
  EXPECT_EQ(global->videoEngine, nullptr);
  EXPECT_EQ(global->engineModule, nullptr);
  EXPECT_EQ(global->audioNotifyHandle, nullptr);
  // The libraries come back on the next request.
  EXPECT_EQ(Audio_GetState(global->InitAudioInstance()), engine_state::kIdle);
  player = AS_CreatePlayer();
  EXPECT_NE(player, nullptr);
  AS_ReleasePlayer(player);
}

}  // namespace
}  // namespace media_test
