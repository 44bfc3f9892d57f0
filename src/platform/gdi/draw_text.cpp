// DrawTextW: formatted text in a rectangle. Lines break at line ends and, with DT_WORDBREAK, at the
// break opportunities of the text (between words, between CJK characters, at Thai word ends); long
// words break only with DT_EDITCONTROL, as on the device. Measuring (DT_CALCRECT) and
// drawing share one layout, so the measured rectangle is exactly the one drawn into.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/gdi_api.h"
#include "platform/gdi/text_block.h"
#include "platform/gdi/text_render.h"
#include "platform/kernel/last_error.h"

using namespace platform::gdi;

namespace {

constexpr std::u16string_view kEllipsis = u"...";
constexpr int kTabColumns = 8;

// Removes the '&' prefix marks ("&&" stands for one '&').
std::u16string StripPrefixes(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        out += u'&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

std::u16string ExpandTabs(std::u16string_view text) {
  std::u16string out;
  std::size_t lineStart = 0;
  for (char16_t c : text) {
    if (c == u'\t') {
      out.append(kTabColumns - (out.size() - lineStart) % kTabColumns, u' ');
    } else {
      out += c;
      if (c == u'\n') {
        lineStart = out.size();
      }
    }
  }
  return out;
}

std::vector<std::u16string_view> Paragraphs(std::u16string_view text) {
  std::vector<std::u16string_view> paragraphs;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      paragraphs.push_back(text.substr(start, i - start));
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
        ++i;
      }
      start = i + 1;
    }
  }
  paragraphs.push_back(text.substr(start));
  return paragraphs;
}

// A line cut to fit `width` with "..." at its end (a line of its own paragraph).
BlockLine WithEllipsis(FontSet& fonts, const BlockLine& line, int width, BaseDirection direction) {
  if (line.line->width <= width) {
    return line;
  }
  const Paragraph& paragraph = *line.paragraph;
  const int ellipsisWidth = AnalyseParagraph(fonts, kEllipsis)->Width(0, static_cast<std::uint32_t>(kEllipsis.size()));
  std::uint32_t kept = line.line->start;
  for (std::uint32_t at = kept + 1; at <= line.line->end; ++at) {
    if (!paragraph.IsBoundary(at)) continue;
    if (paragraph.Width(line.line->start, at) + ellipsisWidth > width) break;
    kept = at;
  }
  std::u16string cut = paragraph.Text().substr(line.line->start, kept - line.line->start);
  cut += kEllipsis;
  BlockLine shortened = line;
  shortened.paragraph = AnalyseParagraph(fonts, cut, direction);
  shortened.lines = shortened.paragraph->Lines(0, WrapMode::kNone);
  shortened.line = &shortened.lines->front();
  shortened.textOffset = line.textOffset + line.line->start;
  shortened.shown = kept - line.line->start;
  return shortened;
}

}  // namespace

namespace platform::gdi {

TextBlock LayOutBlock(FontSet& fonts, std::u16string_view text, int width, UINT format) {
  TextBlock block;
  block.lineHeight = fonts.Height();
  const BaseDirection direction = DirectionFor(format & DT_RTLREADING);
  const WrapMode mode = !(format & DT_WORDBREAK) || (format & DT_SINGLELINE) ? WrapMode::kNone
                        : (format & DT_EDITCONTROL)                        ? WrapMode::kWordsAndClusters
                                                                           : WrapMode::kWords;
  std::u16string flat;
  std::vector<std::pair<std::uint32_t, std::u16string_view>> paragraphs;
  if (format & DT_SINGLELINE) {
    for (char16_t c : text) {
      if (c != u'\r' && c != u'\n') {
        flat += c;
      }
    }
    paragraphs.push_back({0, flat});
  } else {
    for (std::u16string_view paragraph : Paragraphs(text)) {
      paragraphs.push_back({static_cast<std::uint32_t>(paragraph.data() - text.data()), paragraph});
    }
  }
  for (const auto& [offset, paragraphText] : paragraphs) {
    BlockLine line;
    line.paragraph = AnalyseParagraph(fonts, paragraphText, direction);
    line.lines = line.paragraph->Lines(width, mode);
    line.textOffset = offset;
    for (const LineLayout& laid : *line.lines) {
      line.line = &laid;
      block.lines.push_back(format & DT_END_ELLIPSIS ? WithEllipsis(fonts, line, width, direction) : line);
    }
  }
  int y = 0;
  for (BlockLine& line : block.lines) {
    const int lineWidth = line.line->width;
    if (format & DT_CENTER) {
      line.x = (width - lineWidth) / 2;
    } else if (format & DT_RIGHT) {
      line.x = width - lineWidth;
    }
    line.y = y;
    y += block.lineHeight;
    block.width = std::max(block.width, lineWidth);
  }
  block.height = y;
  return block;
}

std::vector<DrawnGlyph> DrawTextGlyphs(HDC hdc, std::u16string_view text, const RECT& rect, UINT format) {
  std::vector<DrawnGlyph> glyphs;
  DeviceContext* dc = FindDeviceContext(hdc);
  if (!dc || text.empty()) {
    return glyphs;
  }
  FontSet& fonts = SelectedFontSet(*dc);
  TextBlock block = LayOutBlock(fonts, text, rect.right - rect.left, format);
  for (const BlockLine& line : block.lines) {
    POINT origin = dc->ToDevice(rect.left + line.x, rect.top + line.y);
    for (const PlacedGlyph& placed : line.line->glyphs) {
      const std::uint32_t cluster = std::min<std::uint32_t>(line.textOffset + std::min(placed.cluster, line.shown),
                                                            static_cast<std::uint32_t>(text.size() - 1));
      glyphs.push_back({cluster, placed.font->Source().file, placed.index,
                        origin.x + placed.x, origin.y + fonts.Ascent() + placed.y});
    }
  }
  return glyphs;
}

}  // namespace platform::gdi

int DrawTextW(HDC hdc, LPCWSTR text, int count, RECT* rect, UINT format) {
  DeviceContext* dc = FindDeviceContext(hdc);
  if (!dc || !rect || (count != 0 && !text) || count < -1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::u16string_view raw = count < 0 ? std::u16string_view(text) : std::u16string_view(text, count);
  std::u16string prepared = format & DT_NOPREFIX ? std::u16string(raw) : StripPrefixes(raw);
  if (format & DT_EXPANDTABS) {
    prepared = ExpandTabs(prepared);
  }
  if (prepared.empty()) {
    if (format & DT_CALCRECT) {
      rect->right = rect->left;
      rect->bottom = rect->top;
    }
    return 0;
  }
  FontSet& fonts = SelectedFontSet(*dc);
  const int width = rect->right - rect->left;
  TextBlock block = LayOutBlock(fonts, prepared, width, format);
  const int lineHeight = block.lineHeight;
  const int total = block.height;
  if (format & DT_CALCRECT) {
    rect->right = rect->left + block.width;
    rect->bottom = rect->top + total;
    return total;
  }
  int top = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) {
      top = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
    } else if (format & DT_BOTTOM) {
      top = rect->bottom - lineHeight;
    }
  }
  const int result = (top - rect->top) + total;
  RECT clip = format & DT_NOCLIP ? dc->Clip() : Intersect(dc->ToDevice(*rect), dc->Clip());
  const DcState& state = dc->State();
  for (const BlockLine& line : block.lines) {
    POINT origin = dc->ToDevice(rect->left + line.x, top + line.y);
    if (origin.y >= clip.bottom) {
      break;
    }
    if (origin.y + lineHeight <= clip.top) {
      continue;
    }
    if (state.bkMode == OPAQUE) {
      RECT cell = Intersect({origin.x, origin.y, origin.x + line.line->width, origin.y + lineHeight}, clip);
      if (!IsEmpty(cell)) {
        dc->Target()->Fill(cell, state.bkColor);
      }
    }
    DrawLine(*dc, fonts, *line.line, origin.x, origin.y, clip);
  }
  return result;
}
