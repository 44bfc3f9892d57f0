// How long a slide of the composer plays by itself and how long the slide sorter lets it play.
#pragma once

#include "model/media_length.h"
#include "model/message_model.h"
#include "platform/text/cstring.h"

// The shortest natural duration of a slide, so that a slide without timed media still shows.
constexpr DWORD kShortestNaturalDuration = 2000;

// The longest play time of the slide's audio, video and animated picture as the engines measure
// their files in `partFolder`, and at least kShortestNaturalDuration.
DWORD NaturalSlideDuration(const Slide& slide, const CString& partFolder);
// The same with the lengths told by `lengths`.
DWORD NaturalSlideDuration(const Slide& slide, const CString& partFolder, const MediaLengthSource& lengths);

// The longest duration the sorter offers for a slide of that natural duration: the configured
// longest duration (999000 ms when none is set), raised to the natural duration.
DWORD LongestOfferedDuration(DWORD natural);
