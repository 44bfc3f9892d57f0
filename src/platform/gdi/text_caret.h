// Where the caret and the selection of a single line of text go when it is drawn as DrawTextW and
// ExtTextOutW draw it (shaped, in visual order): edit controls place them with these calls.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace platform::gdi {

// The caret's x, from the line's left edge, before the cluster at `position` (after the last one at
// the end): at the cluster's left edge in left-to-right text, at its right edge in right-to-left text.
int CaretOffset(HDC hdc, std::u16string_view text, std::size_t position);

// The pixel spans [left, right), from the line's left edge and left to right, that the clusters of
// [from, to) cover; right-to-left text inside makes one logical selection several spans.
std::vector<std::pair<int, int>> SelectionSpans(HDC hdc, std::u16string_view text, std::size_t from, std::size_t to);

}  // namespace platform::gdi
