// The value grammars of SMIL attributes as messages use them: times, colours, lengths, numbers.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/win_types.h"

// The decimal integer at the start of the text (after spaces, with an optional sign), held to the
// range of LONG; 0 when there is none.
LONG LeadingInteger(std::string_view text);

// Milliseconds: "500ms"; "1.5s" (at most three fraction digits count); a bare number is seconds.
// Clock values and words read their leading integer as seconds. Negative times read as 0 (not given),
// and times beyond the LONG range are held to it.
LONG ParseSmilTime(std::string_view text);

// A colour as 0x00BBGGRR: "#rrggbb" or one of the sixteen HTML 4 keywords (any case). Missing, short
// or unknown text gives white. Characters that are not hexadecimal digits count as 0.
COLORREF ParseSmilColor(std::string_view text);

// The colour of a `text` element's style: leading `#` skipped, then six hexadecimal digits, a missing
// or foreign character counting as 0. A keyword (not starting with `#`) gives its colour.
COLORREF ParseTextStyleColor(std::string_view text);

// A region length: the number in the low 14 bits, kPixelLength set for pixels and clear for a
// percentage ("50%").
constexpr std::uint16_t kPixelLength = 0x4000;
constexpr std::uint16_t kLengthNumberMask = 0x3FFF;
std::uint16_t ParseSmilLength(std::string_view text);
// Pixels of a length inside `total` pixels: a percentage is number x total / 100.
LONG ResolveLength(std::uint16_t length, LONG total);

enum class SmilFill : std::uint8_t { kNone, kRemove, kFreeze, kHold, kTransition, kAuto, kDefault };
SmilFill ParseSmilFill(std::string_view text);

enum class SmilFit : std::uint8_t { kHidden, kFill, kMeet, kSlice, kScroll };
// A missing fit is hidden; an unknown one is meet.
SmilFit ParseSmilFit(std::string_view text);
