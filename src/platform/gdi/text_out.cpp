// Fonts and single-line text: CreateFontIndirectW, ExtTextOutW, the extent and metric queries.
#include <algorithm>
#include <string_view>

#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text_render.h"
#include "platform/kernel/last_error.h"
#include "platform/window/screen.h"

using namespace platform::gdi;

namespace {

// Text of a call: a count of -1 (where allowed) runs to the null.
std::u16string_view TextOf(LPCWSTR text, int count) {
  if (!text || count == 0) {
    return {};
  }
  if (count < 0) {
    return std::u16string_view(text);
  }
  return {text, static_cast<std::size_t>(count)};
}

}  // namespace

HFONT CreateFontIndirectW(const LOGFONTW* font) {
  if (!font) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto object = std::make_unique<GdiObject>();
  object->kind = ObjectKind::kFont;
  object->logFont = *font;
  object->logFont.lfFaceName[LF_FACESIZE - 1] = 0;
  object->font = ResolveFont(object->logFont, platform::window::CurrentScreen().dpi);
  return static_cast<HFONT>(AddObject(std::move(object)));
}

namespace {

// A line with the caller's advances (one per UTF-16 unit) in place of the shaped ones: each
// unit's glyphs keep their places relative to one another.
LineLayout WithAdvances(const Paragraph& paragraph, const LineLayout& line, const INT* dx, UINT count) {
  auto unitAdvance = [&](std::uint32_t cluster) {
    std::uint32_t start = cluster, end = cluster + 1;
    while (start > 0 && !paragraph.IsBoundary(start)) --start;
    while (end < count && !paragraph.IsBoundary(end)) ++end;
    long long sum = 0;
    for (std::uint32_t i = start; i < end && i < count; ++i) sum += dx[i];
    return std::pair{start, static_cast<int>(sum)};
  };
  LineLayout spaced = line;
  int shapedPen = 0, pen = 0, groupShaped = 0, groupPen = 0;
  std::uint32_t group = UINT32_MAX;
  for (PlacedGlyph& glyph : spaced.glyphs) {
    auto [unit, advance] = unitAdvance(glyph.cluster);
    if (unit != group) {
      group = unit;
      groupShaped = shapedPen;
      groupPen = pen;
      pen += advance;
    }
    shapedPen += glyph.advance;
    glyph.x = groupPen + (glyph.x - groupShaped);
  }
  spaced.width = pen;
  return spaced;
}

}  // namespace

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const INT* dx) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !dc->Target() || (count > 0 && !text)) {
    return FALSE;
  }
  std::u16string_view run(text ? text : u"", count);
  FontSet& fonts = SelectedFontSet(*dc);
  const DcState& state = dc->State();
  RECT clip = dc->Clip();
  if (rect && (options & ETO_CLIPPED)) {
    clip = Intersect(clip, dc->ToDevice(*rect));
  }
  if (rect && (options & ETO_OPAQUE)) {
    RECT fill = Intersect(dc->ToDevice(*rect), dc->Clip());
    if (!IsEmpty(fill)) {
      dc->Target()->Fill(fill, state.bkColor);
    }
  }
  if (run.empty()) {
    return TRUE;
  }
  auto paragraph = AnalyseParagraph(fonts, run, DirectionFor(options & ETO_RTLREADING));
  auto lines = paragraph->Lines(0, WrapMode::kNone);
  LineLayout spaced;
  const LineLayout* line = &lines->front();
  if (dx) {
    spaced = WithAdvances(*paragraph, *line, dx, count);
    line = &spaced;
  }
  const int width = line->width;
  POINT origin = dc->ToDevice(x, y);
  UINT horizontal = state.textAlign & TA_CENTER;
  if (horizontal == TA_CENTER) {
    origin.x -= width / 2;
  } else if (horizontal == TA_RIGHT) {
    origin.x -= width;
  }
  if ((state.textAlign & TA_BASELINE) == TA_BASELINE) {
    origin.y -= fonts.Ascent();
  } else if (state.textAlign & TA_BOTTOM) {
    origin.y -= fonts.Height();
  }
  if (state.bkMode == OPAQUE) {
    RECT cell = Intersect({origin.x, origin.y, origin.x + width, origin.y + fonts.Height()}, clip);
    if (!IsEmpty(cell)) {
      dc->Target()->Fill(cell, state.bkColor);
    }
  }
  DrawLine(*dc, fonts, *line, origin.x, origin.y, clip);
  return TRUE;
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count) {
  if (count < 0) {
    return FALSE;
  }
  return ExtTextOutW(hdc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !size || count < 0 || (count > 0 && !text)) {
    return FALSE;
  }
  FontSet& fonts = SelectedFontSet(*dc);
  std::u16string_view run = TextOf(text, count);
  size->cx = run.empty() ? 0 : AnalyseParagraph(fonts, run)->Width(0, static_cast<std::uint32_t>(run.size()));
  size->cy = fonts.Height();
  return TRUE;
}

BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, INT* fit, INT* dx, SIZE* size) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !size || count < 0 || (count > 0 && !text)) {
    return FALSE;
  }
  FontSet& fonts = SelectedFontSet(*dc);
  std::u16string_view run = TextOf(text, count);
  size->cx = 0;
  size->cy = fonts.Height();
  int fitted = 0;
  if (!run.empty()) {
    auto paragraph = AnalyseParagraph(fonts, run);
    const auto length = static_cast<std::uint32_t>(run.size());
    // Units (clusters) fit whole or not at all; every UTF-16 unit of one gets its end's extent.
    std::uint32_t unitEnd = 0;
    bool fitting = true;
    for (std::uint32_t i = 0; i < length; ++i) {
      if (i >= unitEnd) {
        unitEnd = i + 1;
        while (unitEnd < length && !paragraph->IsBoundary(unitEnd)) ++unitEnd;
        const int extent = paragraph->Width(0, unitEnd);
        if (fitting && (maxExtent < 0 || extent <= maxExtent)) {
          fitted = static_cast<int>(unitEnd);
        } else {
          fitting = false;
        }
      }
      if (dx) {
        dx[i] = paragraph->Width(0, unitEnd);
      }
    }
    size->cx = paragraph->Width(0, length);
  }
  if (fit) {
    *fit = fitted;
  }
  return TRUE;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !metrics) {
    return FALSE;
  }
  const GdiObject* fontObject = SelectedFont(*dc);
  const FontSet& font = *fontObject->font;
  *metrics = TEXTMETRICW{};
  metrics->tmHeight = font.Height();
  metrics->tmAscent = font.Ascent();
  metrics->tmDescent = font.Descent();
  metrics->tmInternalLeading = std::max(0, font.Height() - font.PixelSize());
  metrics->tmAveCharWidth = AnalyseParagraph(*fontObject->font, u"x")->Width(0, 1);
  metrics->tmMaxCharWidth = font.Primary().MaxWidth();
  metrics->tmWeight = fontObject->logFont.lfWeight ? fontObject->logFont.lfWeight : FW_NORMAL;
  metrics->tmDigitizedAspectX = metrics->tmDigitizedAspectY = platform::window::CurrentScreen().dpi;
  metrics->tmFirstChar = 0x20;
  metrics->tmLastChar = 0xFFFC;
  metrics->tmDefaultChar = 0x1F;
  metrics->tmBreakChar = 0x20;
  metrics->tmItalic = fontObject->logFont.lfItalic;
  metrics->tmUnderlined = fontObject->logFont.lfUnderline;
  metrics->tmStruckOut = fontObject->logFont.lfStrikeOut;
  metrics->tmPitchAndFamily = fontObject->logFont.lfPitchAndFamily;
  metrics->tmCharSet = DEFAULT_CHARSET;
  return TRUE;
}
