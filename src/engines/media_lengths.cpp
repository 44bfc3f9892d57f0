#include "engines/media_lengths.h"

#include <string>

#include "engines/image_info.h"
#include "engines/media_engine_adapter.h"

namespace {

constexpr MediaType kGif = 0x10002;

std::optional<DWORD> Positive(LONG milliseconds) {
  if (milliseconds <= 0) return std::nullopt;
  return static_cast<DWORD>(milliseconds);
}

class EngineLengths : public MediaLengthSource {
 public:
  std::optional<DWORD> LengthOf(std::u16string_view path, MediaType type) const override {
    std::u16string file(path);
    if (type == kGif) return Positive(GetGifDuration(file.c_str()));
    ULC_Global* global = ULC_Global::GetGlobal();
    if (media_type::KindOf(type) == media_type::kAudio) {
      ULC_AudioEngine* engine = global->InitAudioInstance();
      return engine == nullptr ? std::nullopt : Positive(Audio_GetAudioFileDuration(engine, file.c_str()));
    }
    if (media_type::KindOf(type) == media_type::kVideo) {
      ULC_VideoEngine* engine = global->InitVideoInstance();
      int32_t width = 0, height = 0, duration = 0;
      if (engine == nullptr || !Video_GetVideoInfo(engine, file.c_str(), &width, &height, &duration, 0)) {
        return std::nullopt;
      }
      return Positive(duration);
    }
    return std::nullopt;
  }
};

}  // namespace

const MediaLengthSource& EngineMediaLengths() {
  static const EngineLengths lengths;
  return lengths;
}
