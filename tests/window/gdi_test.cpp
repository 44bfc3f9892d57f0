// Pixels drawn by the GDI: fills, lines, raster operations, colour conversions, clipping, blits
// and the lifetime of drawing objects.
#include "window_test_support.h"

#include <array>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/gdi/raster_ops.h"

namespace window_test {
namespace {

using platform::gdi::MemoryDc;
using platform::gdi::UniqueBitmap;
using platform::gdi::UniqueBrush;
using platform::gdi::UniquePen;

// A memory context holding a 24-bit bitmap filled with one colour.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255))
      : m_dc(nullptr), m_bitmap(CreateBitmap(width, height, 1, 24, nullptr)) {
    m_previous = SelectObject(m_dc.Get(), m_bitmap.Get());
    UniqueBrush brush(CreateSolidBrush(fill));
    RECT all{0, 0, width, height};
    FillRect(m_dc.Get(), &all, brush.Get());
  }
  ~Canvas() { Detach(); }
  // Gives the bitmap free for another context to select.
  void Detach() {
    if (m_previous) {
      SelectObject(m_dc.Get(), m_previous);
      m_previous = nullptr;
    }
  }
  HDC Dc() const { return m_dc.Get(); }
  HBITMAP Bitmap() const { return m_bitmap.Get(); }
  COLORREF At(int x, int y) const { return GetPixel(m_dc.Get(), x, y); }

 private:
  MemoryDc m_dc;
  UniqueBitmap m_bitmap;
  HGDIOBJ m_previous;
};

using GdiTest = WindowTest;

TEST_F(GdiTest, FillRectCoversLeftTopAndExcludesRightBottom) {
  Canvas canvas(10, 10);
  UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
  RECT r{2, 3, 5, 7};
  FillRect(canvas.Dc(), &r, red.Get());
  EXPECT_EQ(canvas.At(2, 3), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(4, 6), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(5, 6), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(4, 7), RGB(255, 255, 255));
  // A system colour value works as a brush, as window classes use it.
  RECT corner{0, 0, 1, 1};
  FillRect(canvas.Dc(), &corner, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_HIGHLIGHT + 1)));
  EXPECT_EQ(canvas.At(0, 0), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(canvas.At(10, 0), CLR_INVALID);
}

TEST_F(GdiTest, LinesStopBeforeTheirEndPoint) {
  struct Case {
    POINT from, to;
    std::vector<POINT> lit;
    POINT unlit;
  };
  const std::vector<Case> cases = {
      {{1, 1}, {5, 1}, {{1, 1}, {4, 1}}, {5, 1}},
      {{2, 0}, {2, 4}, {{2, 0}, {2, 3}}, {2, 4}},
      {{0, 0}, {4, 4}, {{0, 0}, {1, 1}, {3, 3}}, {4, 4}},
      {{6, 6}, {2, 6}, {{6, 6}, {3, 6}}, {2, 6}},
  };
  for (const Case& c : cases) {
    Canvas canvas(8, 8);
    MoveToEx(canvas.Dc(), c.from.x, c.from.y, nullptr);
    LineTo(canvas.Dc(), c.to.x, c.to.y);
    for (POINT p : c.lit) {
      EXPECT_EQ(canvas.At(p.x, p.y), RGB(0, 0, 0)) << p.x << "," << p.y;
    }
    EXPECT_EQ(canvas.At(c.unlit.x, c.unlit.y), RGB(255, 255, 255));
  }
}

TEST_F(GdiTest, RasterOperationsCombinePatternSourceAndDestination) {
  const COLORREF src = RGB(0xF0, 0x0F, 0x55);
  const COLORREF dst = RGB(0xCC, 0x33, 0xAA);
  const COLORREF pat = RGB(0x0F, 0xFF, 0x00);
  auto each = [](COLORREF a, COLORREF b, auto op) {
    return RGB(op(GetRValue(a), GetRValue(b)) & 0xFF, op(GetGValue(a), GetGValue(b)) & 0xFF,
               op(GetBValue(a), GetBValue(b)) & 0xFF);
  };
  struct Case {
    DWORD rop;
    COLORREF expected;
  };
  const std::vector<Case> cases = {
      {SRCCOPY, src},
      {SRCINVERT, each(src, dst, [](int s, int d) { return s ^ d; })},
      {SRCAND, each(src, dst, [](int s, int d) { return s & d; })},
      {SRCPAINT, each(src, dst, [](int s, int d) { return s | d; })},
      {NOTSRCCOPY, each(src, dst, [](int s, int) { return ~s; })},
      {SRCERASE, each(src, dst, [](int s, int d) { return s & ~d; })},
      {DSTINVERT, each(src, dst, [](int, int d) { return ~d; })},
      {MERGECOPY, each(src, pat, [](int s, int p) { return s & p; })},
      {PATCOPY, pat},
      {PATINVERT, each(pat, dst, [](int p, int d) { return p ^ d; })},
      {BLACKNESS, RGB(0, 0, 0)},
      {WHITENESS, RGB(255, 255, 255)},
  };
  for (const Case& c : cases) {
    Canvas source(2, 2, src);
    Canvas dest(2, 2, dst);
    UniqueBrush brush(CreateSolidBrush(pat));
    HGDIOBJ old = SelectObject(dest.Dc(), brush.Get());
    EXPECT_TRUE(BitBlt(dest.Dc(), 0, 0, 2, 2, source.Dc(), 0, 0, c.rop));
    SelectObject(dest.Dc(), old);
    EXPECT_EQ(dest.At(1, 1), c.expected) << std::hex << c.rop;
  }
  // The generic evaluator agrees with the boolean definition for every operation.
  for (int code = 0; code < 256; ++code) {
    BYTE p = 0xF0, s = 0xCC, d = 0xAA;
    EXPECT_EQ(platform::gdi::ApplyRop3(static_cast<BYTE>(code), p, s, d), code);
  }
}

TEST_F(GdiTest, MonochromeConversionsFollowTheContextColours) {
  Canvas colour(3, 1, RGB(0, 0, 255));
  SetPixel(colour.Dc(), 1, 0, RGB(9, 9, 9));
  MemoryDc maskDc(nullptr);
  UniqueBitmap mask(CreateBitmap(3, 1, 1, 1, nullptr));
  SelectObject(maskDc.Get(), mask.Get());
  SetBkColor(colour.Dc(), RGB(0, 0, 255));
  BitBlt(maskDc.Get(), 0, 0, 3, 1, colour.Dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(maskDc.Get(), 0, 0), RGB(255, 255, 255));  // background colour becomes white
  EXPECT_EQ(GetPixel(maskDc.Get(), 1, 0), RGB(0, 0, 0));
  Canvas target(3, 1);
  SetTextColor(target.Dc(), RGB(1, 2, 3));
  SetBkColor(target.Dc(), RGB(4, 5, 6));
  BitBlt(target.Dc(), 0, 0, 3, 1, maskDc.Get(), 0, 0, SRCCOPY);
  EXPECT_EQ(target.At(0, 0), RGB(4, 5, 6));  // white takes the background colour
  EXPECT_EQ(target.At(1, 0), RGB(1, 2, 3));  // black takes the text colour
  // A fresh memory context is monochrome, so a bitmap compatible with it is too.
  MemoryDc fresh(nullptr);
  UniqueBitmap compatible(CreateCompatibleBitmap(fresh.Get(), 4, 4));
  BITMAP info{};
  GetObjectW(compatible.Get(), sizeof(info), &info);
  EXPECT_EQ(info.bmBitsPixel, 1);
}

TEST_F(GdiTest, ClippingAndSavedStatesNest) {
  Canvas canvas(10, 10);
  UniqueBrush black(CreateSolidBrush(RGB(0, 0, 0)));
  RECT all{0, 0, 10, 10};
  int level = SaveDC(canvas.Dc());
  SetViewportOrgEx(canvas.Dc(), 2, 2, nullptr);
  IntersectClipRect(canvas.Dc(), 0, 0, 3, 3);  // device 2..5
  SetTextColor(canvas.Dc(), RGB(9, 9, 9));
  FillRect(canvas.Dc(), &all, black.Get());
  RECT box;
  EXPECT_EQ(GetClipBox(canvas.Dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 3);
  EXPECT_TRUE(RestoreDC(canvas.Dc(), level));
  EXPECT_EQ(GetTextColor(canvas.Dc()), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(1, 1), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(2, 2), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(4, 4), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(5, 5), RGB(255, 255, 255));
  EXPECT_FALSE(RestoreDC(canvas.Dc(), level));  // already popped
  RECT whole{0, 0, 10, 10};
  FillRect(canvas.Dc(), &whole, black.Get());
  EXPECT_EQ(canvas.At(9, 9), RGB(0, 0, 0));  // the clip went with the restore
}

TEST_F(GdiTest, StretchingUsesNearestPixelsAndNegativeExtentsMirror) {
  Canvas source(2, 1);
  SetPixel(source.Dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(source.Dc(), 1, 0, RGB(0, 0, 255));
  Canvas wide(4, 2);
  StretchBlt(wide.Dc(), 0, 0, 4, 2, source.Dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(wide.At(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(wide.At(2, 0), RGB(0, 0, 255));
  Canvas mirrored(2, 1);
  StretchBlt(mirrored.Dc(), 1, 0, -2, 1, source.Dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(mirrored.At(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(mirrored.At(1, 0), RGB(255, 0, 0));
}

TEST_F(GdiTest, DibRowsAreReadBottomUpAndBadHeadersAreRefused) {
  // 2 x 2, 24-bit, bottom-up: the first stored row is the bottom one.
  std::array<BYTE, 16> bits = {0, 0, 255, 0, 255, 0, 0, 0,      // bottom: red, green
                               255, 0, 0, 255, 255, 255, 0, 0};  // top: blue, white
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  Canvas canvas(2, 2);
  EXPECT_EQ(StretchDIBits(canvas.Dc(), 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY), 2);
  EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 255));
  EXPECT_EQ(canvas.At(0, 1), RGB(255, 0, 0));
  EXPECT_EQ(canvas.At(1, 1), RGB(0, 255, 0));
  for (BITMAPINFOHEADER bad : {BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 0, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0},
                               BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 7, BI_RGB, 0, 0, 0, 0, 0},
                               BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 100000, 100000, 1, 24, BI_RGB, 0, 0, 0, 0, 0},
                               BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, INT32_MIN, 1, 24, BI_RGB, 0, 0, 0, 0, 0},
                               BITMAPINFOHEADER{12, 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0}}) {
    info.bmiHeader = bad;
    EXPECT_EQ(StretchDIBits(canvas.Dc(), 0, 0, 2, 2, 0, 0, 2, 2, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY), 0);
  }
}

TEST_F(GdiTest, DibSectionBitsAreThePixelsDrawn) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  UniqueBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(dib && bits);
  auto* bytes = static_cast<BYTE*>(bits);
  bytes[2] = 255;  // first stored pixel: the bottom-left one, red
  MemoryDc dc(nullptr);
  SelectObject(dc.Get(), dib.Get());
  EXPECT_EQ(GetPixel(dc.Get(), 0, 1), RGB(255, 0, 0));
  BITMAP size{};
  ASSERT_EQ(GetObjectW(dib.Get(), sizeof(size), &size), static_cast<int>(sizeof(size)));
  EXPECT_EQ(size.bmWidth, 3);
  EXPECT_EQ(size.bmWidthBytes, 12);
  EXPECT_EQ(size.bmBits, bits);
  EXPECT_EQ(CreateCompatibleBitmap(dc.Get(), 0, 5), nullptr);
  EXPECT_EQ(CreateBitmap(70000, 70000, 1, 24, nullptr), nullptr);
}

TEST_F(GdiTest, ObjectsDeletedWhileSelectedLiveUntilDeselected) {
  Canvas canvas(4, 4);
  GetStockObject(BLACK_BRUSH);
  std::size_t before = platform::gdi::LiveObjectCount();
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(canvas.Dc(), pen);
  EXPECT_TRUE(DeleteObject(pen));
  MoveToEx(canvas.Dc(), 0, 0, nullptr);
  LineTo(canvas.Dc(), 3, 0);
  EXPECT_EQ(canvas.At(1, 0), RGB(255, 0, 0));  // still drawing with it
  EXPECT_EQ(SelectObject(canvas.Dc(), pen), nullptr);  // but no one else gets it
  SelectObject(canvas.Dc(), old);
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));  // stock objects stay
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), OBJ_BRUSH);
  // A bitmap is selected in one memory context at a time.
  MemoryDc other(nullptr);
  EXPECT_EQ(SelectObject(other.Get(), canvas.Bitmap()), nullptr);
  EXPECT_EQ(platform::gdi::LiveObjectCount(), before);  // the deleted pen is gone for good
}

}  // namespace
}  // namespace window_test
