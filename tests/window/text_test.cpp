// Text measured and drawn: extents cover the ink, word-break layout, alignment and ellipses.
#include "window_test_support.h"

#include <cstring>

#include "platform/gdi/gdi_raii.h"

namespace window_test {
namespace {

using platform::gdi::MemoryDc;
using platform::gdi::UniqueBitmap;
using platform::gdi::UniqueFont;

constexpr int kWidth = 200;
constexpr int kHeight = 120;

class TextTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    m_bitmap.Reset(CreateBitmap(kWidth, kHeight, 1, 24, nullptr));
    m_previous = SelectObject(m_dc.Get(), m_bitmap.Get());
    Clear();
  }
  void TearDown() override {
    SelectObject(m_dc.Get(), m_previous);
    WindowTest::TearDown();
  }
  void Clear() {
    RECT all{0, 0, kWidth, kHeight};
    FillRect(m_dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  HFONT Font(int pixels, LONG weight = FW_NORMAL) {
    LOGFONTW log{};
    log.lfHeight = -pixels;
    log.lfWeight = weight;
    std::memcpy(log.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
    m_fonts.emplace_back(CreateFontIndirectW(&log));
    return m_fonts.back().Get();
  }
  // The bounding box of every pixel that is not white; empty when nothing was drawn.
  RECT Ink() const {
    RECT box{kWidth, kHeight, 0, 0};
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (GetPixel(m_dc.Get(), x, y) != RGB(255, 255, 255)) {
          box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                 std::max<LONG>(box.bottom, y + 1)};
        }
      }
    }
    return box;
  }

  MemoryDc m_dc{nullptr};
  UniqueBitmap m_bitmap;
  HGDIOBJ m_previous = nullptr;
  std::vector<UniqueFont> m_fonts;
};

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

TEST_F(TextTest, MeasuredTextCoversWhatIsDrawn) {
  const std::vector<std::pair<int, const char16_t*>> cases = {
      {10, u"Hello"}, {12, u"Wj|gy Åäö"}, {16, u"MMS message"}, {24, u"Q"}, {13, u"\U0001F600 x"}};
  for (const auto& [pixels, text] : cases) {
    Clear();
    SelectObject(m_dc.Get(), Font(pixels));
    SIZE extent{};
    ASSERT_TRUE(GetTextExtentPoint32W(m_dc.Get(), text, static_cast<int>(std::u16string_view(text).size()), &extent));
    RECT measured{10, 10, 10, 10};
    DrawTextW(m_dc.Get(), text, -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(measured.right - measured.left, extent.cx);
    EXPECT_EQ(measured.bottom - measured.top, extent.cy);
    SetBkMode(m_dc.Get(), TRANSPARENT);
    RECT target = measured;
    DrawTextW(m_dc.Get(), text, -1, &target, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    RECT ink = Ink();
    ASSERT_LT(ink.left, ink.right) << "nothing drawn";
    EXPECT_TRUE(Inside(ink, measured)) << pixels << "px: ink " << ink.left << "," << ink.top << "," << ink.right
                                       << "," << ink.bottom;
  }
}

TEST_F(TextTest, MetricsGrowWithSizeAndWeight) {
  SelectObject(m_dc.Get(), Font(10));
  TEXTMETRICW small{};
  GetTextMetricsW(m_dc.Get(), &small);
  SIZE normal{};
  GetTextExtentPoint32W(m_dc.Get(), u"Message", 7, &normal);
  SelectObject(m_dc.Get(), Font(20));
  TEXTMETRICW large{};
  GetTextMetricsW(m_dc.Get(), &large);
  EXPECT_GT(large.tmHeight, small.tmHeight);
  EXPECT_EQ(large.tmHeight, large.tmAscent + large.tmDescent);
  SelectObject(m_dc.Get(), Font(10, FW_BOLD));
  SIZE bold{};
  GetTextExtentPoint32W(m_dc.Get(), u"Message", 7, &bold);
  EXPECT_GT(bold.cx, normal.cx);
  INT fit = 0;
  SIZE all{};
  GetTextExtentExPointW(m_dc.Get(), u"Message", 7, bold.cx / 2, &fit, nullptr, &all);
  EXPECT_GT(fit, 0);
  EXPECT_LT(fit, 7);
}

TEST_F(TextTest, WordBreakWrapsBetweenWordsWithinTheWidth) {
  SelectObject(m_dc.Get(), Font(12));
  TEXTMETRICW metrics{};
  GetTextMetricsW(m_dc.Get(), &metrics);
  struct Case {
    const char16_t* text;
    int width;
    UINT extra;
    int lines;
    bool fits;
  };
  const std::vector<Case> cases = {
      {u"one two three four five six", 60, 0, 0, true},
      {u"short", 150, 0, 1, true},
      {u"line one\nline two\r\nthree", 150, 0, 3, true},
      {u"Supercalifragilistic word", 40, 0, 2, false},           // a long word stays whole
      {u"Supercalifragilistic word", 40, DT_EDITCONTROL, 0, true},  // unless edit-control breaking
  };
  for (const Case& c : cases) {
    RECT r{0, 0, c.width, 0};
    int height = DrawTextW(m_dc.Get(), c.text, -1, &r, DT_WORDBREAK | DT_CALCRECT | c.extra);
    EXPECT_EQ(height % metrics.tmHeight, 0);
    int lines = height / metrics.tmHeight;
    if (c.lines) {
      EXPECT_EQ(lines, c.lines) << std::string(c.text, c.text + 5);
    } else {
      EXPECT_GT(lines, 1);
    }
    EXPECT_EQ(r.right <= c.width, c.fits);
  }
}

TEST_F(TextTest, AlignmentPlacesTheInk) {
  SelectObject(m_dc.Get(), Font(12));
  SetBkMode(m_dc.Get(), TRANSPARENT);
  RECT box{20, 20, 180, 100};
  struct Case {
    UINT format;
    bool nearLeft, nearRight, nearTop, nearBottom;
  };
  const std::vector<Case> cases = {
      {DT_SINGLELINE, true, false, true, false},
      {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, false, true, false, true},
      {DT_SINGLELINE | DT_CENTER | DT_VCENTER, false, false, false, false},
  };
  for (const Case& c : cases) {
    Clear();
    RECT r = box;
    DrawTextW(m_dc.Get(), u"Text", -1, &r, c.format);
    RECT ink = Ink();
    EXPECT_TRUE(Inside(ink, box));
    EXPECT_EQ(ink.left - box.left < 4, c.nearLeft);
    EXPECT_EQ(box.right - ink.right < 4, c.nearRight);
    EXPECT_EQ(ink.top - box.top < 6, c.nearTop);
    EXPECT_EQ(box.bottom - ink.bottom < 6, c.nearBottom);
  }
}

TEST_F(TextTest, EndEllipsisKeepsTheTextInsideItsRectangle) {
  SelectObject(m_dc.Get(), Font(12));
  SetBkMode(m_dc.Get(), TRANSPARENT);
  RECT box{10, 10, 80, 40};
  RECT r = box;
  DrawTextW(m_dc.Get(), u"A text far too long for the box", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
  RECT ink = Ink();
  EXPECT_TRUE(Inside(ink, box));
  EXPECT_GT(ink.right, box.right - 12);  // the dots reach towards the end
  RECT measured = box;
  DrawTextW(m_dc.Get(), u"A text far too long for the box", -1, &measured,
            DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_LE(measured.right, box.right);
}

TEST_F(TextTest, PrefixesOpaqueBackgroundsAndBadArguments) {
  SelectObject(m_dc.Get(), Font(12));
  SIZE plain{}, amp{};
  GetTextExtentPoint32W(m_dc.Get(), u"Save", 4, &plain);
  RECT r{0, 0, 0, 0};
  DrawTextW(m_dc.Get(), u"&Save", -1, &r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.right, plain.cx);  // the prefix mark takes no room
  GetTextExtentPoint32W(m_dc.Get(), u"&", 1, &amp);
  r = {0, 0, 0, 0};
  DrawTextW(m_dc.Get(), u"&&", -1, &r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(r.right, amp.cx);
  SetBkMode(m_dc.Get(), OPAQUE);
  SetBkColor(m_dc.Get(), RGB(0, 0, 255));
  RECT fill{5, 5, 50, 30};
  ExtTextOutW(m_dc.Get(), 0, 0, ETO_OPAQUE, &fill, nullptr, 0, nullptr);
  EXPECT_EQ(GetPixel(m_dc.Get(), 5, 5), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(m_dc.Get(), 50, 30), RGB(255, 255, 255));
  EXPECT_EQ(DrawTextW(m_dc.Get(), nullptr, 3, &fill, 0), 0);
  EXPECT_EQ(DrawTextW(m_dc.Get(), u"x", 1, nullptr, 0), 0);
  EXPECT_FALSE(GetTextExtentPoint32W(m_dc.Get(), u"x", -1, &plain));
  RECT empty{3, 3, 50, 50};
  EXPECT_EQ(DrawTextW(m_dc.Get(), u"", -1, &empty, DT_CALCRECT), 0);
  EXPECT_EQ(empty.right, 3);
}

}  // namespace
}  // namespace window_test
