// Font fallback: for a character the primary (DejaVu) face lacks, the installed face that
// fontconfig ranks first for the style and that has the character. Colour faces can be preferred
// (emoji); a character that no installed face has gets none, and is drawn by the primary face.
#pragma once

#include <optional>
#include <string>

#include "platform/gdi/font_engine.h"

namespace platform::gdi {

struct FallbackStyle {
  std::string family;  // a generic family: "sans-serif", "serif" or "monospace"
  bool bold = false;
  bool italic = false;
  bool operator==(const FallbackStyle&) const = default;
};

// The generic family, weight and slant of a logical font.
FallbackStyle FallbackStyleOf(const LOGFONTW& font);

// The first face in fontconfig's order for `style` that has `c`; with `colour`, colour faces are
// tried before the others.
std::optional<FaceSource> FallbackFaceFor(char32_t c, const FallbackStyle& style, bool colour);

}  // namespace platform::gdi
