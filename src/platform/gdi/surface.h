// A pixel surface: 24-bit rows (blue, green, red) with 4-byte aligned stride, top-down or
// bottom-up as a DIB lays them out. Monochrome bitmaps keep the same layout with only black and
// white pixels, so that every raster operation works on one format.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace platform::gdi {

// Limits a surface's pixel count, so that a bad size fails cleanly instead of exhausting memory.
constexpr std::int64_t kMaxSurfacePixels = 64LL * 1024 * 1024;

class Surface {
 public:
  // Fails (IsValid false) for sizes below 1 or above kMaxSurfacePixels.
  Surface(int width, int height, bool bottomUp, bool monochrome);

  bool IsValid() const { return !m_bits.empty(); }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int Stride() const { return m_stride; }
  bool IsBottomUp() const { return m_bottomUp; }
  bool IsMonochrome() const { return m_monochrome; }
  int BitsPerPixel() const { return m_monochrome ? 1 : 24; }
  BYTE* Bits() { return m_bits.data(); }
  const BYTE* Bits() const { return m_bits.data(); }
  RECT Bounds() const { return {0, 0, m_width, m_height}; }

  BYTE* Row(int y) { return m_bits.data() + static_cast<std::size_t>(RowIndex(y)) * m_stride; }
  const BYTE* Row(int y) const {
    return m_bits.data() + static_cast<std::size_t>(RowIndex(y)) * m_stride;
  }
  // Pixels outside the surface read as CLR_INVALID and are not written.
  COLORREF Pixel(int x, int y) const;
  void SetPixel(int x, int y, COLORREF color);
  // Fills a rectangle already clipped to the surface.
  void Fill(const RECT& rect, COLORREF color);
  // What a colour becomes on this surface: itself, or black or white on a monochrome one.
  COLORREF Representable(COLORREF color) const;

 private:
  int RowIndex(int y) const { return m_bottomUp ? m_height - 1 - y : y; }

  int m_width = 0;
  int m_height = 0;
  int m_stride = 0;
  bool m_bottomUp = false;
  bool m_monochrome = false;
  std::vector<BYTE> m_bits;
};

}  // namespace platform::gdi
