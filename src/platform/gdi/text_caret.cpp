#include "platform/gdi/text_caret.h"

#include <algorithm>
#include <climits>

#include "platform/gdi/device_context.h"
#include "platform/gdi/text_block.h"
#include "platform/gdi/text_render.h"

namespace platform::gdi {
namespace {

struct LaidText {
  std::shared_ptr<const Paragraph> paragraph;
  std::shared_ptr<const std::vector<LineLayout>> lines;
};

bool Lay(HDC hdc, std::u16string_view text, LaidText& laid) {
  DeviceContext* dc = FindDeviceContext(hdc);
  if (!dc || text.empty()) return false;
  laid.paragraph = AnalyseParagraph(SelectedFontSet(*dc), text);
  laid.lines = laid.paragraph->Lines(0, WrapMode::kNone);
  return true;
}

// The unit (cluster) holding `position`.
std::pair<std::uint32_t, std::uint32_t> UnitAt(const Paragraph& paragraph, std::uint32_t position) {
  const auto size = static_cast<std::uint32_t>(paragraph.Text().size());
  std::uint32_t start = std::min(position, size), end = start + 1;
  while (start > 0 && !paragraph.IsBoundary(start)) --start;
  while (end < size && !paragraph.IsBoundary(end)) ++end;
  return {start, end};
}

// The caret's x on a line, from its left edge, before the unit at paragraph position `position`;
// after the line's last unit at its end, and past it by the width of the spaces a wrapped line ends
// with when the position is among them.
int CaretX(const Paragraph& paragraph, const LineLayout& line, std::uint32_t position) {
  if (line.end <= line.start) return paragraph.RightToLeft() ? line.width : 0;
  const bool atEnd = position >= line.end;
  auto [start, end] = UnitAt(paragraph, atEnd ? line.end - 1 : position);
  int left = INT_MAX, right = INT_MIN, pen = 0;
  bool rightToLeft = paragraph.RightToLeft();
  for (const PlacedGlyph& glyph : line.glyphs) {
    if (glyph.cluster >= start && glyph.cluster < end) {
      left = std::min(left, pen);
      right = std::max(right, pen + glyph.advance);
      rightToLeft = glyph.rightToLeft;
    }
    pen += glyph.advance;
  }
  if (left > right) {  // the unit drew nothing (a joiner, a direction mark)
    return paragraph.Width(line.start, std::min(position, line.end));
  }
  int x = rightToLeft != atEnd ? right : left;
  if (position > line.end) {
    const int spaces = paragraph.Width(line.end, std::min<std::uint32_t>(position, paragraph.Text().size()));
    x = paragraph.RightToLeft() ? std::max(0, x - spaces) : x + spaces;
  }
  return x;
}

// Text laid out as DrawTextW lays it; a single line as one line of the text as it stands (CR and LF
// kept), as CaretOffset measures it.
bool LayBlock(HDC hdc, std::u16string_view text, int width, UINT format, TextBlock& block) {
  DeviceContext* dc = FindDeviceContext(hdc);
  if (!dc) return false;
  FontSet& fonts = SelectedFontSet(*dc);
  if (!(format & DT_SINGLELINE)) {
    block = LayOutBlock(fonts, text, width, format & ~static_cast<UINT>(DT_END_ELLIPSIS));
    return !block.lines.empty();
  }
  block.lineHeight = fonts.Height();
  BlockLine line;
  line.paragraph = AnalyseParagraph(fonts, text, DirectionFor(format & DT_RTLREADING));
  line.lines = line.paragraph->Lines(0, WrapMode::kNone);
  line.line = &line.lines->front();
  block.lines.push_back(line);
  return true;
}

// The line that shows `position`: the last one starting at or before it.
const BlockLine& LineOf(const TextBlock& block, std::size_t position) {
  auto after = std::upper_bound(block.lines.begin(), block.lines.end(), position,
                                [](std::size_t at, const BlockLine& line) { return at < line.textOffset + line.line->start; });
  return after == block.lines.begin() ? block.lines.front() : *(after - 1);
}

// Where the spaces after a line's content end: the next line's start in the same paragraph, else
// the paragraph's end.
std::uint32_t LineSpacesEnd(const TextBlock& block, std::size_t index) {
  const BlockLine& line = block.lines[index];
  if (index + 1 < block.lines.size() && block.lines[index + 1].paragraph == line.paragraph) {
    return block.lines[index + 1].line->start;
  }
  return static_cast<std::uint32_t>(line.paragraph->Text().size());
}

}  // namespace

int CaretOffset(HDC hdc, std::u16string_view text, std::size_t position) {
  LaidText laid;
  if (!Lay(hdc, text, laid)) return 0;
  const auto size = static_cast<std::uint32_t>(text.size());
  return CaretX(*laid.paragraph, laid.lines->front(), static_cast<std::uint32_t>(std::min<std::size_t>(position, size)));
}

POINT CaretPoint(HDC hdc, std::u16string_view text, int width, UINT format, std::size_t position) {
  TextBlock block;
  if (text.empty() || !LayBlock(hdc, text, width, format, block)) return {0, 0};
  position = std::min(position, text.size());
  const BlockLine& line = LineOf(block, position);
  const auto at = static_cast<std::uint32_t>(std::max<std::size_t>(position, line.textOffset) - line.textOffset);
  return {line.x + CaretX(*line.paragraph, *line.line, at), line.y};
}

std::vector<RECT> SelectionRects(HDC hdc, std::u16string_view text, int width, UINT format, std::size_t from,
                                 std::size_t to) {
  std::vector<RECT> rects;
  TextBlock block;
  if (from >= to || text.empty() || !LayBlock(hdc, text, width, format, block)) return rects;
  for (std::size_t i = 0; i < block.lines.size(); ++i) {
    const BlockLine& line = block.lines[i];
    const LineLayout& laid = *line.line;
    const std::size_t offset = line.textOffset;
    if (offset + LineSpacesEnd(block, i) <= from || offset + laid.start >= to) continue;
    auto add = [&](int left, int right) {
      if (left >= right) return;
      RECT rect{line.x + left, line.y, line.x + right, line.y + block.lineHeight};
      if (!rects.empty() && rects.back().top == rect.top && rects.back().right == rect.left) {
        rects.back().right = rect.right;
      } else {
        rects.push_back(rect);
      }
    };
    int pen = 0;
    for (const PlacedGlyph& glyph : laid.glyphs) {
      const std::size_t cluster = offset + glyph.cluster;
      if (cluster >= from && cluster < to) add(pen, pen + glyph.advance);
      pen += glyph.advance;
    }
    // The spaces a wrapped line ends with are selected where the caret passes over them.
    const std::size_t spacesFrom = std::max(from, offset + laid.end);
    const std::size_t spacesTo = std::min<std::size_t>(to, offset + LineSpacesEnd(block, i));
    if (spacesFrom < spacesTo) {
      const int a = CaretX(*line.paragraph, laid, static_cast<std::uint32_t>(spacesFrom - offset));
      const int b = CaretX(*line.paragraph, laid, static_cast<std::uint32_t>(spacesTo - offset));
      add(std::min(a, b), std::max(a, b));
    }
  }
  return rects;
}

std::size_t PositionAtPoint(HDC hdc, std::u16string_view text, int width, UINT format, POINT point) {
  TextBlock block;
  if (text.empty() || !LayBlock(hdc, text, width, format, block)) return 0;
  const int row = point.y < 0 || block.lineHeight <= 0 ? 0 : point.y / block.lineHeight;
  const BlockLine& line = block.lines[std::min<std::size_t>(static_cast<std::size_t>(row), block.lines.size() - 1)];
  const Paragraph& paragraph = *line.paragraph;
  const std::vector<PlacedGlyph>& glyphs = line.line->glyphs;
  const int x = point.x - line.x;
  std::uint32_t position = line.line->start;
  // Glyphs of one unit follow one another; the first unit whose right edge lies past the point (or
  // the last) takes it.
  int pen = 0;
  for (std::size_t g = 0; g < glyphs.size();) {
    auto [start, end] = UnitAt(paragraph, glyphs[g].cluster);
    const bool rightToLeft = glyphs[g].rightToLeft;
    const int left = pen;
    std::size_t next = g;
    while (next < glyphs.size() && glyphs[next].cluster >= start && glyphs[next].cluster < end) {
      pen += glyphs[next].advance;
      ++next;
    }
    if (next == g) {  // cannot happen: a glyph lies in its own unit; kept from looping regardless
      ++next;
    }
    g = next;
    if (pen <= left && g < glyphs.size()) continue;  // nothing drawn to tap
    if (x < pen || g == glyphs.size()) {
      const bool leftHalf = 2 * x < left + pen;
      position = leftHalf != rightToLeft ? start : end;
      break;
    }
  }
  return std::min<std::size_t>(line.textOffset + position, text.size());
}

std::vector<std::pair<int, int>> SelectionSpans(HDC hdc, std::u16string_view text, std::size_t from, std::size_t to) {
  std::vector<std::pair<int, int>> spans;
  LaidText laid;
  if (from >= to || !Lay(hdc, text, laid)) return spans;
  int pen = 0;
  for (const PlacedGlyph& glyph : laid.lines->front().glyphs) {
    if (glyph.cluster >= from && glyph.cluster < to) {
      if (!spans.empty() && spans.back().second == pen) {
        spans.back().second = pen + glyph.advance;
      } else if (glyph.advance > 0) {
        spans.emplace_back(pen, pen + glyph.advance);
      }
    }
    pen += glyph.advance;
  }
  return spans;
}

}  // namespace platform::gdi
