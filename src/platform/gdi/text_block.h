// Text laid out in a rectangle as DrawTextW lays it: paragraphs at line ends, lines wrapped at
// break opportunities (DT_WORDBREAK, with DT_EDITCONTROL also between clusters of a word too long
// for the line), ellipses, alignment. DrawTextW draws it; tools and tests read which glyph of which
// face went where.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/text_layout.h"

namespace platform::gdi {

struct BlockLine {
  std::shared_ptr<const Paragraph> paragraph;  // keeps `line` alive
  std::shared_ptr<const std::vector<LineLayout>> lines;
  const LineLayout* line = nullptr;
  std::uint32_t textOffset = 0;  // where the paragraph starts in the block's text
  std::uint32_t shown = UINT32_MAX;  // with an ellipsis: the units of the text before it
  int x = 0;                     // the line's left edge, from the rectangle's left
  int y = 0;                     // the line's top, from the rectangle's top
};

struct TextBlock {
  std::vector<BlockLine> lines;
  int width = 0;       // the widest line
  int height = 0;      // lines times the line height
  int lineHeight = 0;
};

// Lays out prepared text (prefixes and tabs already dealt with) in a rectangle `width` wide; only
// the layout flags of `format` count (single line, word break, edit-control breaking, ellipsis,
// centring, right alignment, right-to-left reading).
TextBlock LayOutBlock(FontSet& fonts, std::u16string_view text, int width, UINT format);

// A glyph as DrawTextW draws it, in device pixels (x at the pen, y at the baseline).
struct DrawnGlyph {
  std::uint32_t cluster = 0;  // UTF-16 index in the text of its cluster's first unit (for an
                              // ellipsis, of the first unit it stands for)
  std::filesystem::path font;
  std::uint32_t glyph = 0;
  int x = 0;
  int y = 0;
};

// What DrawTextW(hdc, text, -1, rect, format) draws, glyph by glyph, without drawing it; the text
// is taken as it stands (as with DT_NOPREFIX and no DT_EXPANDTABS).
std::vector<DrawnGlyph> DrawTextGlyphs(HDC hdc, std::u16string_view text, const RECT& rect, UINT format);

}  // namespace platform::gdi
