#include "ui/hyper_text_layout.h"

#include <algorithm>

#include "platform/gdi/line_breaks.h"

namespace {

bool IsLineEnd(char16_t c) { return c == '\r' || c == '\n' || c == 0x2028 || c == 0x2029 || c == 0x0B || c == 0x0C; }
bool IsTrailingSpace(char16_t c) { return c == ' ' || c == '\t' || IsLineEnd(c) || c == 0x3000; }

int Width(HDC hdc, std::u16string_view text, std::int32_t first, std::int32_t end) {
  if (end <= first) return 0;
  SIZE size{};
  GetTextExtentPoint32W(hdc, text.data() + first, end - first, &size);
  return size.cx;
}

}  // namespace

void HyperTextLayout::Clear() {
  m_lines.clear();
  m_runs.clear();
  m_nextLink = 0;
  m_nextPicture = 0;
}

void HyperTextLayout::SetPictures(std::vector<HyperTextPicture> pictures, int pictureWidth) {
  m_pictures = std::move(pictures);
  m_pictureWidth = std::max(pictureWidth, 0);
}

bool HyperTextLayout::InsidePicture(std::int32_t position) const {
  auto picture = std::upper_bound(m_pictures.begin(), m_pictures.end(), position,
                                  [](std::int32_t value, const HyperTextPicture& p) { return value < p.first; });
  if (picture == m_pictures.begin()) return false;
  --picture;
  return position > picture->first && position < picture->first + picture->count;
}

int HyperTextLayout::PieceWidth(HDC hdc, std::u16string_view text, std::int32_t first, std::int32_t end) const {
  int width = 0;
  std::int32_t at = first;
  auto picture = std::lower_bound(m_pictures.begin(), m_pictures.end(), first,
                                  [](const HyperTextPicture& p, std::int32_t value) { return p.first < value; });
  for (; picture != m_pictures.end() && picture->first + picture->count <= end; ++picture) {
    width += Width(hdc, text, at, picture->first) + m_pictureWidth;
    at = picture->first + picture->count;
  }
  return width + Width(hdc, text, at, end);
}

void HyperTextLayout::EndLine(int& top) {
  HyperTextLine& line = m_lines.back();
  line.runCount = static_cast<std::int32_t>(m_runs.size()) - line.firstRun;
  top = line.bottom;
  m_lines.push_back(HyperTextLine{top, top + m_lineHeight, static_cast<std::int32_t>(m_runs.size()), 0});
}

void HyperTextLayout::AddRuns(HDC hdc, std::u16string_view text, const std::vector<LinkRecord>& links,
                              std::int32_t first, std::int32_t end, int& x, int top) {
  while (m_nextLink < links.size() && links[m_nextLink].last < first) ++m_nextLink;
  std::int32_t at = first;
  while (at < end) {
    while (m_nextPicture < m_pictures.size() && m_pictures[m_nextPicture].first < at) ++m_nextPicture;
    std::int32_t pieceEnd = end;
    std::int32_t link = -1;
    if (m_nextLink < links.size()) {
      const LinkRecord& next = links[m_nextLink];
      if (next.first <= at) {
        link = static_cast<std::int32_t>(m_nextLink);
        pieceEnd = std::min(end, next.last + 1);
      } else {
        pieceEnd = std::min(end, next.first);
      }
    }
    // A picture takes its characters as a run of its own, when they all lie in this piece.
    std::int32_t picture = -1;
    if (m_nextPicture < m_pictures.size()) {
      const HyperTextPicture& next = m_pictures[m_nextPicture];
      if (next.first == at && next.first + next.count <= pieceEnd) {
        picture = next.picture;
        pieceEnd = next.first + next.count;
        ++m_nextPicture;
      } else if (next.first > at && next.first < pieceEnd) {
        pieceEnd = next.first;
      }
    }
    const int width = picture >= 0 ? m_pictureWidth : Width(hdc, text, at, pieceEnd);
    m_runs.push_back(HyperTextRun{at, pieceEnd - at, link, picture, RECT{x, top, x + width, top + m_lineHeight}});
    x += width;
    at = pieceEnd;
    if (link >= 0 && at > links[m_nextLink].last) ++m_nextLink;
  }
}

void HyperTextLayout::Build(HDC hdc, std::u16string_view text, const std::vector<LinkRecord>& links, int width) {
  Clear();
  TEXTMETRICW metrics{};
  GetTextMetricsW(hdc, &metrics);
  m_lineHeight = std::max<int>(1, metrics.tmHeight + metrics.tmExternalLeading);
  if (text.empty()) return;
  width = std::max(width, 1);
  int top = 0;
  int x = 0;
  m_lines.push_back(HyperTextLine{0, m_lineHeight, 0, 0});
  std::int32_t start = 0;
  for (const platform::gdi::LineBreak& opportunity : platform::gdi::LineBreakOpportunities(text)) {
    const auto end = static_cast<std::int32_t>(opportunity.position);
    // An emoticon is one picture: a break between its characters would leave it as text.
    if (!opportunity.mandatory && InsidePicture(end)) continue;
    std::int32_t visibleEnd = end;
    while (visibleEnd > start && IsTrailingSpace(text[visibleEnd - 1])) --visibleEnd;
    std::int32_t drawnEnd = end;
    while (drawnEnd > start && IsLineEnd(text[drawnEnd - 1])) --drawnEnd;
    int visible = PieceWidth(hdc, text, start, visibleEnd);
    if (x > 0 && x + visible > width) {
      EndLine(top);
      x = 0;
    }
    // A piece that no line can hold: as many characters as fit go on each line.
    while (visible > width && visibleEnd - start > 1) {
      INT fit = 0;
      SIZE size{};
      GetTextExtentExPointW(hdc, text.data() + start, visibleEnd - start, width, &fit, nullptr, &size);
      fit = std::clamp<INT>(fit, 1, visibleEnd - start - 1);
      // Keep a surrogate pair together.
      if (fit > 1 && text[start + fit - 1] >= 0xD800 && text[start + fit - 1] <= 0xDBFF) --fit;
      AddRuns(hdc, text, links, start, start + fit, x, top);
      EndLine(top);
      x = 0;
      start += fit;
      visible = PieceWidth(hdc, text, start, visibleEnd);
    }
    AddRuns(hdc, text, links, start, drawnEnd, x, top);
    if (opportunity.mandatory && end < static_cast<std::int32_t>(text.size())) {
      EndLine(top);
      x = 0;
    }
    start = end;
  }
  HyperTextLine& last = m_lines.back();
  last.runCount = static_cast<std::int32_t>(m_runs.size()) - last.firstRun;
}

int HyperTextLayout::RunAt(POINT point) const {
  auto line = std::upper_bound(m_lines.begin(), m_lines.end(), point.y,
                               [](int y, const HyperTextLine& l) { return y < l.bottom; });
  if (line == m_lines.end() || point.y < line->top) return -1;
  for (std::int32_t i = line->firstRun; i < line->firstRun + line->runCount; ++i) {
    const RECT& r = m_runs[i].rect;
    if (point.x >= r.left && point.x < r.right) return i;
  }
  return -1;
}

int HyperTextLayout::FirstRunOf(std::int32_t link) const {
  for (std::size_t i = 0; i < m_runs.size(); ++i) {
    if (m_runs[i].link == link) return static_cast<int>(i);
  }
  return -1;
}
