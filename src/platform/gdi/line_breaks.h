// Where a line of text may be broken: the Unicode line-breaking rules (UAX #14) with the
// dictionaries for scripts written without spaces (Thai, Lao, Khmer, Burmese). DrawTextW's word
// break and the hypertext control's wrapping both break only at these positions.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform::gdi {

struct LineBreak {
  std::uint32_t position;  // UTF-16 index of the first unit of the next line
  bool mandatory;          // a hard break (line feed, paragraph separator), not just a chance
};

// Break opportunities of `text` in increasing order. Position 0 is never one; text.size() always
// is (the end of the text), so the result is empty only for an empty text. Lone surrogates and
// unassigned characters are taken as they come, never as a cause of failure.
std::vector<LineBreak> LineBreakOpportunities(std::u16string_view text);

}  // namespace platform::gdi
