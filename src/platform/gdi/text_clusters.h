// Grapheme clusters (UAX #29, extended): what a person sees as one character. The caret and the
// selection of edit controls stop only at their boundaries, and lines never break inside one.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform::gdi {

// Every cluster boundary of `text` in increasing order, 0 and text.size() included.
std::vector<std::uint32_t> ClusterBoundaries(std::u16string_view text);

// The nearest boundary after `position` (text.size() at the end), and before it (0 at the start).
std::size_t NextClusterBoundary(std::u16string_view text, std::size_t position);
std::size_t PreviousClusterBoundary(std::u16string_view text, std::size_t position);

// `position` itself when it is a boundary, else the boundary before it.
std::size_t ClusterStartAt(std::u16string_view text, std::size_t position);

}  // namespace platform::gdi
