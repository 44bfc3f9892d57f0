#include "platform/gdi/text_render.h"

#include <algorithm>

#include "platform/gdi/gdi_objects.h"

namespace platform::gdi {
namespace {

struct Placement {
  int left, top;
  int x0, x1, y0, y1;  // the part inside the clip
};

Placement Place(const Glyph& glyph, int originX, int baseline, const RECT& clip) {
  Placement p{};
  p.left = originX + glyph.left;
  p.top = baseline - glyph.top;
  p.x0 = std::max<int>(p.left, clip.left), p.x1 = std::min<int>(p.left + glyph.width, clip.right);
  p.y0 = std::max<int>(p.top, clip.top), p.y1 = std::min<int>(p.top + glyph.height, clip.bottom);
  return p;
}

void BlendGlyph(Surface& surface, const Glyph& glyph, int originX, int baseline, COLORREF color, const RECT& clip) {
  const Placement at = Place(glyph, originX, baseline, clip);
  const int cb = GetBValue(color), cg = GetGValue(color), cr = GetRValue(color);
  const bool mono = surface.IsMonochrome();
  for (int y = at.y0; y < at.y1; ++y) {
    const BYTE* coverage = glyph.coverage.data() + static_cast<std::ptrdiff_t>(y - at.top) * glyph.width;
    BYTE* row = surface.Row(y);
    for (int x = at.x0; x < at.x1; ++x) {
      int a = coverage[x - at.left];
      if (a == 0) {
        continue;
      }
      if (mono) {
        if (a >= 128) {
          surface.SetPixel(x, y, color);
        }
        continue;
      }
      BYTE* p = row + x * 3;
      p[0] = static_cast<BYTE>(p[0] + ((cb - p[0]) * a + 127) / 255);
      p[1] = static_cast<BYTE>(p[1] + ((cg - p[1]) * a + 127) / 255);
      p[2] = static_cast<BYTE>(p[2] + ((cr - p[2]) * a + 127) / 255);
    }
  }
}

// Premultiplied colour over the surface; a monochrome surface takes the text colour where the
// glyph is mostly opaque.
void ComposeGlyph(Surface& surface, const Glyph& glyph, int originX, int baseline, COLORREF color,
                  const RECT& clip) {
  const Placement at = Place(glyph, originX, baseline, clip);
  const bool mono = surface.IsMonochrome();
  for (int y = at.y0; y < at.y1; ++y) {
    const BYTE* source = glyph.coverage.data() + static_cast<std::ptrdiff_t>(y - at.top) * glyph.width * 4;
    BYTE* row = surface.Row(y);
    for (int x = at.x0; x < at.x1; ++x) {
      const BYTE* s = source + (x - at.left) * 4;
      const int a = s[3];
      if (a == 0) {
        continue;
      }
      if (mono) {
        if (a >= 128) {
          surface.SetPixel(x, y, color);
        }
        continue;
      }
      BYTE* p = row + x * 3;
      for (int c = 0; c < 3; ++c) {
        p[c] = static_cast<BYTE>(std::min(255, s[c] + (p[c] * (255 - a) + 127) / 255));
      }
    }
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
    const Glyph& glyph = placed.font->GlyphAt(placed.index);
    if (glyph.coverage.empty()) {
      continue;
    }
    if (glyph.colour) {
      ComposeGlyph(*surface, glyph, pen, baseline + placed.y, color, area);
    } else {
      BlendGlyph(*surface, glyph, pen, baseline + placed.y, color, area);
    }
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
