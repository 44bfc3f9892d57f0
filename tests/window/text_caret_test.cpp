// Caret, selection and taps on text wrapped as a multi-line edit wraps it: every place the caret
// can be is a cluster edge, a tap comes back to the place it was aimed at, lines are told apart,
// and right-to-left runs take their caret at the leading edge.
#include "window_test_support.h"

#include <cstring>

#include "platform/gdi/gdi_raii.h"
#include "platform/gdi/text_caret.h"
#include "platform/gdi/text_clusters.h"

namespace window_test {
namespace {

using platform::gdi::CaretPoint;
using platform::gdi::ClusterBoundaries;
using platform::gdi::MemoryDc;
using platform::gdi::PositionAtPoint;
using platform::gdi::SelectionRects;
using platform::gdi::UniqueFont;

constexpr UINT kWrapped = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
constexpr int kWidth = 120;

class TextCaretTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    LOGFONTW log{};
    log.lfHeight = -16;
    std::memcpy(log.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
    m_font.Reset(CreateFontIndirectW(&log));
    m_previous = SelectObject(m_dc.Get(), m_font.Get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(m_dc.Get(), &metrics);
    m_lineHeight = metrics.tmHeight;
  }
  void TearDown() override {
    SelectObject(m_dc.Get(), m_previous);
    WindowTest::TearDown();
  }

  MemoryDc m_dc{nullptr};
  UniqueFont m_font;
  HGDIOBJ m_previous = nullptr;
  int m_lineHeight = 0;
};

// Combining accents, an emoji family, a flag and a word too long for the line, wrapped over several
// lines and two paragraphs: a tap just inside the caret's place of every cluster edge finds that
// edge again, and taps never land inside a cluster.
TEST_F(TextCaretTest, TapsFindEveryClusterEdgeOfWrappedText) {
  const std::u16string text =
      u"Cafe\u0301 at ten \U0001F468\u200D\U0001F469\u200D\U0001F467 see \U0001F1EB\U0001F1EE "
      u"Supercalifragilisticexpialidocious\r\nnext paragraph";
  const std::vector<std::uint32_t> edges = ClusterBoundaries(text);
  int lastY = -1, lines = 0;
  for (std::uint32_t edge : edges) {
    if (edge < text.size() && (text[edge] == u'\n' || text[edge] == u' ')) continue;  // not a visible edge
    const POINT at = CaretPoint(m_dc.Get(), text, kWidth, kWrapped, edge);
    EXPECT_EQ(at.y % m_lineHeight, 0) << edge;
    EXPECT_LE(at.x, kWidth) << edge;
    if (at.y != lastY) ++lines, lastY = at.y;
    EXPECT_EQ(PositionAtPoint(m_dc.Get(), text, kWidth, kWrapped, {at.x + 1, at.y + m_lineHeight / 2}), edge)
        << "edge " << edge << " at " << at.x << "," << at.y;
  }
  EXPECT_GE(lines, 5);
  for (int y = -5; y < 8 * m_lineHeight; y += m_lineHeight / 3) {
    for (int x = -5; x < kWidth + 10; x += 3) {
      const std::size_t at = PositionAtPoint(m_dc.Get(), text, kWidth, kWrapped, {x, y});
      ASSERT_TRUE(std::binary_search(edges.begin(), edges.end(), at)) << x << "," << y << " gave " << at;
    }
  }
  // Above the text is the first line, below it the last.
  EXPECT_EQ(PositionAtPoint(m_dc.Get(), text, kWidth, kWrapped, {-3, -40}), 0u);
  EXPECT_EQ(PositionAtPoint(m_dc.Get(), text, kWidth, kWrapped, {kWidth + 40, 40 * m_lineHeight}), text.size());
}

// A wrapped line's trailing space belongs to it: the caret after it stays on that line (at its end)
// and the next word starts the line below.
TEST_F(TextCaretTest, WrapPointsAndTrailingSpaces) {
  const std::u16string text = u"alpha beta gamma delta epsilon";
  const POINT second = CaretPoint(m_dc.Get(), text, 70, kWrapped, text.find(u"beta"));
  EXPECT_EQ(second.y, m_lineHeight);
  EXPECT_EQ(second.x, 0);
  const POINT afterFirst = CaretPoint(m_dc.Get(), text, 70, kWrapped, text.find(u"beta") - 1);
  EXPECT_EQ(afterFirst.y, 0);
  EXPECT_GT(afterFirst.x, 0);
  // A selection over the wrap covers the end of one line and the start of the next.
  const std::vector<RECT> rects = SelectionRects(m_dc.Get(), text, 70, kWrapped, 2, text.find(u"beta") + 2);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0].top, 0);
  EXPECT_EQ(rects[1].top, m_lineHeight);
  EXPECT_EQ(rects[1].left, 0);
  EXPECT_GT(rects[0].right, afterFirst.x - 1);  // the trailing space is in it
  EXPECT_TRUE(SelectionRects(m_dc.Get(), text, 70, kWrapped, 5, 5).empty());
  // An empty text and an empty line take the caret at their left.
  EXPECT_EQ(CaretPoint(m_dc.Get(), u"", 70, kWrapped, 0).x, 0);
  const POINT empty = CaretPoint(m_dc.Get(), u"ab\r\n\r\ncd", 70, kWrapped, 4);
  EXPECT_EQ(empty.x, 0);
  EXPECT_EQ(empty.y, m_lineHeight);
}

// Hebrew inside Latin: its first letter is drawn rightmost, so a tap at the word's right edge is
// its logical start and one at its left edge its logical end; the selection of the word is one
// span over it whichever letters it holds.
TEST_F(TextCaretTest, RightToLeftRunsTakeTapsAtTheirLeadingEdge) {
  const std::u16string text = u"ab \u05E9\u05DC\u05D5\u05DD cd";
  const std::size_t start = 3, end = 7;
  const POINT leading = CaretPoint(m_dc.Get(), text, 200, kWrapped, start);
  const POINT last = CaretPoint(m_dc.Get(), text, 200, kWrapped, end - 1);
  EXPECT_GT(leading.x, last.x);
  EXPECT_EQ(PositionAtPoint(m_dc.Get(), text, 200, kWrapped, {leading.x - 1, 2}), start);
  const std::vector<RECT> word = SelectionRects(m_dc.Get(), text, 200, kWrapped, start, end);
  ASSERT_EQ(word.size(), 1u);
  EXPECT_EQ(word[0].right, leading.x);
  EXPECT_EQ(PositionAtPoint(m_dc.Get(), text, 200, kWrapped, {word[0].left + 1, 2}), end);
  // The single-line form measures the same way.
  EXPECT_EQ(PositionAtPoint(m_dc.Get(), text, 200, DT_SINGLELINE, {leading.x - 1, 30}), start);
}

}  // namespace
}  // namespace window_test
