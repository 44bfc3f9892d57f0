#include "model/media_length.h"

std::optional<DWORD> MediaLengthSource::LengthOf(std::u16string_view, MediaType) const { return std::nullopt; }

const MediaLengthSource& NoMediaLengths() {
  static const MediaLengthSource none;
  return none;
}
