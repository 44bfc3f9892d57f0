// Measuring and drawing runs of UTF-16 text with a font instance: the one place where glyphs
// meet pixels, shared by ExtTextOutW and DrawTextW so that measured and drawn text agree.
#pragma once

#include <string_view>

#include "platform/gdi/device_context.h"
#include "platform/gdi/font_engine.h"

namespace platform::gdi {

// The next character of UTF-16 text (surrogate pairs joined, lone halves as U+FFFD).
char32_t NextCodePoint(std::u16string_view text, std::size_t* index);

// Width of a run in pixels: the sum of the glyphs' whole-pixel advances.
int MeasureRun(FontInstance& font, std::u16string_view text);

// Draws a run with its cell's top-left at (x, y) in device coordinates, within `clip`, in the
// context's text colour (no background). `advances` (optional) replaces the glyph advances.
void DrawRun(DeviceContext& dc, FontInstance& font, int x, int y, std::u16string_view text, const RECT& clip,
             const INT* advances = nullptr);

// The font instance selected in a context.
FontInstance& SelectedFontInstance(const DeviceContext& dc);

}  // namespace platform::gdi
