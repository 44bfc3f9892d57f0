#include "platform/gdi/text_caret.h"

#include <algorithm>
#include <climits>

#include "platform/gdi/device_context.h"
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

}  // namespace

int CaretOffset(HDC hdc, std::u16string_view text, std::size_t position) {
  LaidText laid;
  if (!Lay(hdc, text, laid)) return 0;
  const Paragraph& paragraph = *laid.paragraph;
  const auto size = static_cast<std::uint32_t>(text.size());
  const bool atEnd = position >= size;
  auto [start, end] = UnitAt(paragraph, atEnd ? size - 1 : static_cast<std::uint32_t>(position));
  int left = INT_MAX, right = INT_MIN, pen = 0;
  bool rightToLeft = paragraph.RightToLeft();
  for (const PlacedGlyph& glyph : laid.lines->front().glyphs) {
    if (glyph.cluster >= start && glyph.cluster < end) {
      left = std::min(left, pen);
      right = std::max(right, pen + glyph.advance);
      rightToLeft = glyph.rightToLeft;
    }
    pen += glyph.advance;
  }
  if (left > right) {  // the unit drew nothing (a joiner, a direction mark)
    return paragraph.WidthBefore(static_cast<std::uint32_t>(std::min<std::size_t>(position, size)));
  }
  return rightToLeft != atEnd ? right : left;
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
