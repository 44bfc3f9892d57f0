// Shaping one run of text (one face, one direction, one script) with HarfBuzz: glyphs in visual
// order with their clusters, advances and offsets in whole pixels. Results are cached per face,
// direction, script and text with its context, so that text drawn again is not shaped again.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gdi/font_engine.h"

namespace platform::gdi {

struct ShapedGlyph {
  FontInstance* font = nullptr;
  std::uint32_t index = 0;    // glyph index in `font`
  std::uint32_t cluster = 0;  // UTF-16 index of the first unit of the glyph's cluster
  int advance = 0;            // pixels
  int xOffset = 0;            // pixels, right
  int yOffset = 0;            // pixels, up
  bool unsafeToBreak = false; // the text cannot be cut before this glyph's cluster without reshaping
};

// Shapes text[start, end) with the text around it as context (joining across a cut stays right);
// clusters are indices into `text`. `script` is a HarfBuzz script tag.
std::vector<ShapedGlyph> ShapeRun(FontInstance& font, std::u16string_view text, std::uint32_t start,
                                  std::uint32_t end, bool rightToLeft, std::uint32_t script);

// The script HarfBuzz assigns to a character (a script tag; Common and Inherited included).
std::uint32_t ScriptOf(char32_t c);
bool IsRealScript(std::uint32_t script);

// Forgets every shaped run (benchmarks measure shaping cold with it).
void ClearShapingCache();

}  // namespace platform::gdi
