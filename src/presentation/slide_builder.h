// The slide builders: a received presentation turned into the message layout and one slide per
// top-level `par`, each media element linked to the part its `src` names; and the default builder,
// one slide per picture, sound, text or video part, for messages without a usable presentation.
#pragma once

#include <string_view>

#include "model/media_length.h"
#include "model/message_model.h"
#include "presentation/smil_presentation.h"

// Why a presentation could not be turned into slides. Every status but kOk sends the loader to the
// default builder.
enum class SlideBuildStatus {
  kOk,
  kNoPresentation,   // the file is missing, too large or not XML
  kTooManyRegions,   // more than two regions
  kRegionWithoutId,
  kBodyNodeNotPar,   // a top-level body node that is not a `par` (media directly in the body, a seq)
  kTooManyChildren,  // a `par` with more than three children
  kNestedContainer,  // a `par` holding a time container
  kSourceNotFound,   // a `src` that names no part
  kSlotTaken,        // two elements of one `par` for the same kind of media
  kNoPartFolder,     // a `par` without dur, and no folder to measure its media in
  kOutOfMemory,
};

// A short English description of the status, for reports.
std::string_view DescribeSlideBuildStatus(SlideBuildStatus status);

// Fills the layout and appends slides from the presentation file; part use counts and text styles
// are set on the way. On failure the caller resets the model (ResetModel without its parts).
// `partFolder` holds the part files (with or without a trailing "\"); media lengths come from
// `lengths` when a `par` has no dur.
SlideBuildStatus BuildSlides(std::u16string_view smilPath, MessageLayout& layout, SlideList& slides, PartList& parts,
                             std::u16string_view partFolder, const MediaLengthSource& lengths = NoMediaLengths());

// The same from a presentation already parsed.
SlideBuildStatus BuildSlidesFromPresentation(const SmilPresentation& presentation, MessageLayout& layout,
                                             SlideList& slides, PartList& parts, std::u16string_view partFolder,
                                             const MediaLengthSource& lengths = NoMediaLengths());

// A 100 x 100 layout with the default Image and Text regions, and one slide per image, audio, text or
// video part in part order, lasting the default duration or the media's length when that is longer.
// On failure the layout and the slides it made are cleared and the result is false.
bool BuildDefaultSlides(std::u16string_view partFolder, MessageLayout& layout, SlideList& slides, PartList& parts,
                        const MediaLengthSource& lengths = NoMediaLengths());

// The two regions of a layout without regions of its own: Image over the top two thirds, Text below.
void SetDefaultRegions(MessageLayout& layout);

// The path of a part's file in the folder.
std::u16string PartPath(std::u16string_view partFolder, const MediaPart& part);
