#include "platform/gdi/text_render.h"

#include <algorithm>

#include "platform/gdi/gdi_objects.h"

namespace platform::gdi {
namespace {

void BlendGlyph(Surface& surface, const Glyph& glyph, int originX, int baseline, COLORREF color,
                const RECT& clip) {
  int left = originX + glyph.left;
  int top = baseline - glyph.top;
  int x0 = std::max<int>(left, clip.left), x1 = std::min<int>(left + glyph.width, clip.right);
  int y0 = std::max<int>(top, clip.top), y1 = std::min<int>(top + glyph.height, clip.bottom);
  const int cb = GetBValue(color), cg = GetGValue(color), cr = GetRValue(color);
  const bool mono = surface.IsMonochrome();
  for (int y = y0; y < y1; ++y) {
    const BYTE* coverage = glyph.coverage.data() + static_cast<std::ptrdiff_t>(y - top) * glyph.width;
    BYTE* row = surface.Row(y);
    for (int x = x0; x < x1; ++x) {
      int a = coverage[x - left];
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

int MeasureRun(FontInstance& font, std::u16string_view text) {
  int width = 0;
  for (std::size_t i = 0; i < text.size();) {
    width += font.GlyphFor(NextCodePoint(text, &i)).advance;
  }
  return width;
}

void DrawRun(DeviceContext& dc, FontInstance& font, int x, int y, std::u16string_view text, const RECT& clip,
             const INT* advances) {
  Surface* surface = dc.Target();
  RECT area = Intersect(clip, dc.Clip());
  if (!surface || IsEmpty(area)) {
    return;
  }
  const int baseline = y + font.Ascent();
  const COLORREF color = dc.State().textColor;
  int pen = x;
  for (std::size_t i = 0, unit = 0; i < text.size(); ++unit) {
    const Glyph& glyph = font.GlyphFor(NextCodePoint(text, &i));
    if (pen >= area.right) {
      break;
    }
    if (!glyph.coverage.empty()) {
      BlendGlyph(*surface, glyph, pen, baseline, color, area);
    }
    pen += advances ? advances[unit] : glyph.advance;
  }
  const GdiObject* fontObject = SelectedFont(dc);
  if (fontObject && (fontObject->logFont.lfUnderline || fontObject->logFont.lfStrikeOut)) {
    int thickness = std::max(1, font.PixelSize() / 14);
    int lineY = fontObject->logFont.lfUnderline ? baseline + std::max(1, font.Descent() / 3)
                                                : baseline - font.Ascent() / 3;
    RECT line = Intersect({x, lineY, pen, lineY + thickness}, area);
    if (!IsEmpty(line)) {
      surface->Fill(line, color);
    }
  }
}

FontInstance& SelectedFontInstance(const DeviceContext& dc) { return *SelectedFont(dc)->font; }

}  // namespace platform::gdi
