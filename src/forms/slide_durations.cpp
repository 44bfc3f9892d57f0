#include "forms/slide_durations.h"

#include <algorithm>
#include <optional>

#include "engines/media_lengths.h"
#include "presentation/slide_builder.h"
#include "ui/spin_bar.h"

namespace {

DWORD Measured(const std::optional<MediaRef>& reference, const CString& partFolder, const MediaLengthSource& lengths) {
  if (!reference || reference->part == nullptr || reference->part->fileName.IsEmpty()) return 0;
  return lengths.LengthOf(PartPath(partFolder.View(), *reference->part), reference->part->type).value_or(0);
}

}  // namespace

DWORD NaturalSlideDuration(const Slide& slide, const CString& partFolder) {
  return NaturalSlideDuration(slide, partFolder, EngineMediaLengths());
}

DWORD NaturalSlideDuration(const Slide& slide, const CString& partFolder, const MediaLengthSource& lengths) {
  DWORD longest = kShortestNaturalDuration;
  // A slide with a video plays neither its picture nor its audio, so only the video counts then.
  if (slide.video) return std::max(longest, Measured(slide.video, partFolder, lengths));
  longest = std::max(longest, Measured(slide.audio, partFolder, lengths));
  return std::max(longest, Measured(slide.image, partFolder, lengths));
}

DWORD LongestOfferedDuration(DWORD natural) { return std::max(LongestSlideDuration(), natural); }
