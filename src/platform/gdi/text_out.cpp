// Fonts and single-line text: CreateFontIndirectW, ExtTextOutW, the extent and metric queries.
#include <algorithm>
#include <string_view>

#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text_render.h"
#include "platform/last_error.h"
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

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const INT* dx) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !dc->Target() || (count > 0 && !text)) {
    return FALSE;
  }
  std::u16string_view run(text ? text : u"", count);
  FontInstance& font = SelectedFontInstance(*dc);
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
  int width = 0;
  if (dx) {
    for (UINT i = 0; i < count; ++i) {
      width += dx[i];
    }
  } else {
    width = MeasureRun(font, run);
  }
  POINT origin = dc->ToDevice(x, y);
  UINT horizontal = state.textAlign & TA_CENTER;
  if (horizontal == TA_CENTER) {
    origin.x -= width / 2;
  } else if (horizontal == TA_RIGHT) {
    origin.x -= width;
  }
  if ((state.textAlign & TA_BASELINE) == TA_BASELINE) {
    origin.y -= font.Ascent();
  } else if (state.textAlign & TA_BOTTOM) {
    origin.y -= font.Height();
  }
  if (state.bkMode == OPAQUE) {
    RECT cell = Intersect({origin.x, origin.y, origin.x + width, origin.y + font.Height()}, clip);
    if (!IsEmpty(cell)) {
      dc->Target()->Fill(cell, state.bkColor);
    }
  }
  DrawRun(*dc, font, origin.x, origin.y, run, clip, dx);
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
  FontInstance& font = SelectedFontInstance(*dc);
  size->cx = MeasureRun(font, TextOf(text, count));
  size->cy = font.Height();
  return TRUE;
}

BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, INT* fit, INT* dx, SIZE* size) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !size || count < 0 || (count > 0 && !text)) {
    return FALSE;
  }
  FontInstance& font = SelectedFontInstance(*dc);
  std::u16string_view run = TextOf(text, count);
  int width = 0;
  int fitted = 0;
  bool fitting = true;
  for (std::size_t i = 0; i < run.size();) {
    std::size_t start = i;
    width += font.GlyphFor(NextCodePoint(run, &i)).advance;
    for (std::size_t unit = start; unit < i; ++unit) {
      if (dx) {
        dx[unit] = width;
      }
    }
    if (fitting && (maxExtent < 0 || width <= maxExtent)) {
      fitted = static_cast<int>(i);
    } else {
      fitting = false;
    }
  }
  if (fit) {
    *fit = fitted;
  }
  size->cx = width;
  size->cy = font.Height();
  return TRUE;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !metrics) {
    return FALSE;
  }
  const GdiObject* fontObject = SelectedFont(*dc);
  FontInstance& font = *fontObject->font;
  *metrics = TEXTMETRICW{};
  metrics->tmHeight = font.Height();
  metrics->tmAscent = font.Ascent();
  metrics->tmDescent = font.Descent();
  metrics->tmInternalLeading = std::max(0, font.Height() - font.PixelSize());
  metrics->tmAveCharWidth = font.AverageWidth();
  metrics->tmMaxCharWidth = font.MaxWidth();
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
