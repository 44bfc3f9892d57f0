// How long a media file plays. The picture codec (animated GIFs) and the audio and video engines
// measure their own files; until one of them answers, a slide keeps its default duration.
#pragma once

#include <optional>
#include <string_view>

#include "model/media_types.h"
#include "platform/win_types.h"

class MediaLengthSource {
 public:
  virtual ~MediaLengthSource() = default;
  // The play time of the file in milliseconds, or nothing when it has none or it is unknown.
  virtual std::optional<DWORD> LengthOf(std::u16string_view path, MediaType type) const;
};

// A source that knows no lengths.
const MediaLengthSource& NoMediaLengths();
