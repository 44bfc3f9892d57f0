// Where the caret and the selection of a single line of text go when it is drawn as DrawTextW and
// ExtTextOutW draw it (shaped, in visual order): edit controls place them with these calls.
#pragma once

#include <cstddef>
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

// The same for text laid out as DrawTextW lays it in a rectangle `width` wide with `format`
// (DT_WORDBREAK | DT_EDITCONTROL for multi-line edits; the text taken as with DT_NOPREFIX), points
// and rectangles from the rectangle's top left. A position at a wrap goes to the start of the
// line below; one in the spaces a line ends with stays on that line.
POINT CaretPoint(HDC hdc, std::u16string_view text, int width, UINT format, std::size_t position);
std::vector<RECT> SelectionRects(HDC hdc, std::u16string_view text, int width, UINT format, std::size_t from,
                                 std::size_t to);
// The cluster boundary nearest a point: the line under it (the first or last above or below the
// text), then the edge of the cluster under it that is nearer.
std::size_t PositionAtPoint(HDC hdc, std::u16string_view text, int width, UINT format, POINT point);

}  // namespace platform::gdi
