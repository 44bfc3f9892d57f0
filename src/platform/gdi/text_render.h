// Drawing laid-out lines of text: the one place where glyphs meet pixels, shared by ExtTextOutW and
// DrawTextW so that measured and drawn text agree. Grey glyphs are blended in the text colour,
// colour glyphs (emoji) composed over what is below them.
#pragma once

#include <string_view>

#include "platform/gdi/device_context.h"
#include "platform/gdi/font_set.h"
#include "platform/gdi/text_layout.h"

namespace platform::gdi {

// The next character of UTF-16 text (surrogate pairs joined, lone halves as U+FFFD).
char32_t NextCodePoint(std::u16string_view text, std::size_t* index);

// Draws a line with its cell's top-left at (x, y) in device coordinates, within `clip`, in the
// context's text colour (no background), underlined or struck out as the selected font asks.
void DrawLine(DeviceContext& dc, const FontSet& fonts, const LineLayout& line, int x, int y, const RECT& clip);

// The font set selected in a context.
FontSet& SelectedFontSet(const DeviceContext& dc);

// The base direction that text drawn in a context takes: from its first strong character, or
// right to left when asked.
inline BaseDirection DirectionFor(bool rightToLeftReading) {
  return rightToLeftReading ? BaseDirection::kRightToLeft : BaseDirection::kAuto;
}

}  // namespace platform::gdi
