#include "platform/gdi/text_render.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/gdi/gdi_objects.h"

namespace platform::gdi {
namespace {

// Calls `paint(x, y, pixel, surfaceRow)` for every pixel of a glyph inside `clip`, `pixel` pointing
// at the glyph's bytes for it (one byte of coverage, or four of colour).
template <typename Paint>
void ForEachPixel(Surface& surface, const Glyph& glyph, int originX, int baseline, const RECT& clip, Paint paint) {
  const int left = originX + glyph.left, top = baseline - glyph.top;
  const int x0 = std::max<int>(left, clip.left), x1 = std::min<int>(left + glyph.width, clip.right);
  const int y0 = std::max<int>(top, clip.top), y1 = std::min<int>(top + glyph.height, clip.bottom);
  const int bytes = glyph.colour ? 4 : 1;
  for (int y = y0; y < y1; ++y) {
    const BYTE* source = glyph.coverage.data() + static_cast<std::ptrdiff_t>(y - top) * glyph.width * bytes;
    BYTE* row = surface.Row(y);
    for (int x = x0; x < x1; ++x) {
      paint(x, y, source + (x - left) * bytes, row);
    }
  }
}

// The step a blend takes from the old channel value p towards the text's c at coverage a,
// ((c - p) * a + 127) / 255, for every difference c - p and coverage: looked up rather than divided
// three times a pixel. One table for every colour (256 KB), made once.
class BlendSteps {
 public:
  BlendSteps() {
    for (int d = -255; d <= 255; ++d) {
      for (int a = 0; a < 256; ++a) m_steps[Index(d, a)] = static_cast<std::int16_t>((d * a + 127) / 255);
    }
  }
  static std::size_t Index(int difference, unsigned coverage) {
    return static_cast<std::size_t>(difference + 255) << 8 | coverage;
  }
  BYTE Blend(BYTE old, int colour, unsigned coverage) const {
    return static_cast<BYTE>(old + m_steps[Index(colour - old, coverage)]);
  }

 private:
  std::array<std::int16_t, 511 * 256> m_steps{};
};

const BlendSteps& Steps() {
  static const BlendSteps steps;
  return steps;
}

// Grey coverage blended in the text colour; premultiplied colour composed over the surface. A
// monochrome surface takes the text colour where the glyph is mostly opaque.
void PaintGlyph(Surface& surface, const Glyph& glyph, int originX, int baseline, COLORREF color, const RECT& clip) {
  if (surface.IsMonochrome()) {
    const int alpha = glyph.colour ? 3 : 0;
    ForEachPixel(surface, glyph, originX, baseline, clip, [&](int x, int y, const BYTE* source, BYTE*) {
      if (source[alpha] >= 128) surface.SetPixel(x, y, color);
    });
  } else if (glyph.colour) {
    ForEachPixel(surface, glyph, originX, baseline, clip, [](int x, int, const BYTE* s, BYTE* row) {
      const int a = s[3];
      if (a == 0) return;
      BYTE* p = row + x * 3;
      p[0] = static_cast<BYTE>(std::min(255, s[0] + (p[0] * (255 - a) + 127) / 255));
      p[1] = static_cast<BYTE>(std::min(255, s[1] + (p[1] * (255 - a) + 127) / 255));
      p[2] = static_cast<BYTE>(std::min(255, s[2] + (p[2] * (255 - a) + 127) / 255));
    });
  } else {
    const int cb = GetBValue(color), cg = GetGValue(color), cr = GetRValue(color);
    const BlendSteps& steps = Steps();
    ForEachPixel(surface, glyph, originX, baseline, clip, [=, &steps](int x, int, const BYTE* s, BYTE* row) {
      const unsigned a = s[0];
      if (a == 0) return;
      BYTE* p = row + x * 3;
      p[0] = steps.Blend(p[0], cb, a);
      p[1] = steps.Blend(p[1], cg, a);
      p[2] = steps.Blend(p[2], cr, a);
    });
  }
}

}  // namespace

char32_t NextCodePoint(std::u16string_view text, std::size_t* index) {
  char16_t c = text[(*index)++];
  if (c >= 0xD800 && c <= 0xDBFF) {
    if (*index < text.size() && text[*index] >= 0xDC00 && text[*index] <= 0xDFFF) {
      char16_t low = text[(*index)++];
      return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (low - 0xDC00);
    }
    return 0xFFFD;
  }
  if (c >= 0xDC00 && c <= 0xDFFF) {
    return 0xFFFD;
  }
  return c;
}

void DrawLine(DeviceContext& dc, const FontSet& fonts, const LineLayout& line, int x, int y, const RECT& clip) {
  Surface* surface = dc.Target();
  RECT area = Intersect(clip, dc.Clip());
  if (!surface || IsEmpty(area)) {
    return;
  }
  const int baseline = y + fonts.Ascent();
  const COLORREF color = dc.State().textColor;
  // Glyphs reach at most a line's height beyond their pen position (marks, wide emoji).
  const int reach = fonts.Height() * 2 + fonts.PixelSize();
  for (const PlacedGlyph& placed : line.glyphs) {
    const int pen = x + placed.x;
    if (pen + reach < area.left || pen - reach >= area.right) {
      continue;
    }
    const Glyph& glyph = *placed.bitmap;
    if (glyph.coverage.empty()) {
      continue;
    }
    PaintGlyph(*surface, glyph, pen, baseline + placed.y, color, area);
  }
  const GdiObject* fontObject = SelectedFont(dc);
  if (fontObject && (fontObject->logFont.lfUnderline || fontObject->logFont.lfStrikeOut)) {
    int thickness = std::max(1, fonts.PixelSize() / 14);
    int lineY = fontObject->logFont.lfUnderline ? baseline + std::max(1, fonts.Descent() / 3)
                                                : baseline - fonts.Ascent() / 3;
    RECT rule = Intersect({x, lineY, x + line.width, lineY + thickness}, area);
    if (!IsEmpty(rule)) {
      surface->Fill(rule, color);
    }
  }
}

FontSet& SelectedFontSet(const DeviceContext& dc) { return *SelectedFont(dc)->font; }

}  // namespace platform::gdi
