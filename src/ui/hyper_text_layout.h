// The hypertext control's text layout: the text cut at its line-break opportunities into pieces
// that fill lines of a given width, each piece split again where a link begins or ends, so that
// every run of characters is either plain text or part of one link, wherever the line breaks.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "device/link_record.h"
#include "platform/gdi/gdi_api.h"

struct HyperTextRun {
  std::int32_t first = 0;  // text index
  std::int32_t count = 0;
  std::int32_t link = -1;  // index in the link list, -1 for plain text
  std::int32_t picture = -1;  // the emoticon drawn instead of the characters, -1 for none
  RECT rect{};             // in layout coordinates: (0, 0) is the top left of the first line
};

// Characters shown as one picture (an emoticon) of the layout's picture width.
struct HyperTextPicture {
  std::int32_t first = 0;
  std::int32_t count = 0;
  std::int32_t picture = 0;  // the emoticon's number in its set
};

struct HyperTextLine {
  int top = 0;
  int bottom = 0;
  std::int32_t firstRun = 0;
  std::int32_t runCount = 0;
};

class HyperTextLayout {
 public:
  // Lays `text` out for `width` pixels with the font selected into `hdc`. A piece wider than a
  // whole line is cut where the characters stop fitting, since no break opportunity lets it fit.
  void Build(HDC hdc, std::u16string_view text, const std::vector<LinkRecord>& links, int width);
  // Shows these characters as pictures `pictureWidth` wide in the next Build (sorted, apart).
  void SetPictures(std::vector<HyperTextPicture> pictures, int pictureWidth);
  void Clear();

  bool IsEmpty() const { return m_lines.empty(); }
  int Height() const { return m_lines.empty() ? 0 : m_lines.back().bottom; }
  int LineHeight() const { return m_lineHeight; }
  const std::vector<HyperTextLine>& Lines() const { return m_lines; }
  const std::vector<HyperTextRun>& Runs() const { return m_runs; }

  // The run whose rectangle holds the point (layout coordinates), or -1.
  int RunAt(POINT point) const;
  // The first run of link `link`, or -1.
  int FirstRunOf(std::int32_t link) const;

 private:
  void AddRuns(HDC hdc, std::u16string_view text, const std::vector<LinkRecord>& links, std::int32_t first,
               std::int32_t end, int& x, int top);
  void EndLine(int& top);
  // The width of characters [first, end), pictures standing in for the characters they cover.
  int PieceWidth(HDC hdc, std::u16string_view text, std::int32_t first, std::int32_t end) const;
  // Whether a position lies between the characters of one picture.
  bool InsidePicture(std::int32_t position) const;

  std::vector<HyperTextLine> m_lines;
  std::vector<HyperTextRun> m_runs;
  int m_lineHeight = 0;
  std::size_t m_nextLink = 0;  // the first link that may still overlap what is laid out next
  std::vector<HyperTextPicture> m_pictures;
  int m_pictureWidth = 0;
  std::size_t m_nextPicture = 0;
};
