// Every question the forms ask of a sound or video file, on arbitrary bytes: the counted length,
// the container's, the displayed size, the first frame, and a quarter second of playback on the
// virtual clock (decoding into the null sink).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "engines/dib_image.h"
#include "engines/media_engine_adapter.h"
#include "frame_walkers.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/device.h"

namespace {

constexpr const char16_t* kNames[] = {u"\\Temp\\f.amr", u"\\Temp\\f.awb", u"\\Temp\\f.mp3", u"\\Temp\\f.aac",
                                      u"\\Temp\\f.mp4", u"\\Temp\\f.3gp", u"\\Temp\\f.wav", u"\\Temp\\f.qcp",
                                      u"\\Temp\\f.mid"};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  auto root = std::filesystem::temp_directory_path() / ("media-fuzz-" + std::to_string(getpid()));
  platform::OpenDevice(root, platform::RegistrySeed::kEmpty);
  std::filesystem::create_directories(root / "Temp");
  platform::UseVirtualClock(true);
  // The shared engines live as long as the process, as they do for the forms, and are released in
  // the shut-down order at its end.
  ULC_Global::GetGlobal()->InitAudioInstance();
  ULC_Global::GetGlobal()->InitVideoInstance();
  std::atexit([] { ULC_Global::GetGlobal()->UnloadEngineModule(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::span<const uint8_t> file(data + 1, size - 1);
  media_formats::CountedDurationMs(file);
  const char16_t* name = kNames[data[0] % std::size(kNames)];
  auto host = platform::HostPath(name);
  {
    std::ofstream out(*host, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  }
  ULC_Global* global = ULC_Global::GetGlobal();
  ULC_AudioEngine* audio = global->InitAudioInstance();
  ULC_VideoEngine* video = global->InitVideoInstance();
  if (audio == nullptr || video == nullptr) return 0;
  Audio_GetAudioFileDuration(audio, name);
  int32_t width = 0, height = 0, duration = 0;
  Video_GetVideoInfo(video, name, &width, &height, &duration, 0);
  SIZE box{48, 48};
  std::unique_ptr<DibImage, DibImageDeleter> frame(Video_LoadFirstFrame(video, name, &box));
  if (Audio_LoadFile(audio, name, nullptr, 0) > 0) {
    Audio_Play(audio, 0, -1, 1, 100);
    platform::automation::AdvanceClock(250);
  }
  Audio_UnloadFile(audio);
  return 0;
}
