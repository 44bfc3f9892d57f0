#include "engines/media_lengths.h"

#include <string>

#include "engines/image_info.h"

namespace {

constexpr MediaType kGif = 0x10002;

class EngineLengths : public MediaLengthSource {
 public:
  std::optional<DWORD> LengthOf(std::u16string_view path, MediaType type) const override {
    if (type != kGif) return std::nullopt;
    LONG duration = GetGifDuration(std::u16string(path).c_str());
    if (duration <= 0) return std::nullopt;
    return static_cast<DWORD>(duration);
  }
};

}  // namespace

const MediaLengthSource& EngineMediaLengths() {
  static const EngineLengths lengths;
  return lengths;
}
