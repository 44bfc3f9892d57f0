#include "platform/gdi/surface.h"

#include <algorithm>
#include <cstring>

namespace platform::gdi {

Surface::Surface(int width, int height, bool bottomUp, bool monochrome)
    : m_bottomUp(bottomUp), m_monochrome(monochrome) {
  if (width < 1 || height < 1 || static_cast<std::int64_t>(width) * height > kMaxSurfacePixels) {
    return;
  }
  m_width = width;
  m_height = height;
  m_stride = (width * 3 + 3) & ~3;
  // A new bitmap starts black, as on the device.
  m_bits.assign(static_cast<std::size_t>(m_stride) * height, 0);
}

COLORREF Surface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
    return CLR_INVALID;
  }
  const BYTE* p = Row(y) + x * 3;
  return RGB(p[2], p[1], p[0]);
}

void Surface::SetPixel(int x, int y, COLORREF color) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
    return;
  }
  color = Representable(color);
  BYTE* p = Row(y) + x * 3;
  p[0] = GetBValue(color);
  p[1] = GetGValue(color);
  p[2] = GetRValue(color);
}

void Surface::Fill(const RECT& rect, COLORREF color) {
  int left = std::max<int>(rect.left, 0);
  int right = std::min<int>(rect.right, m_width);
  int top = std::max<int>(rect.top, 0);
  int bottom = std::min<int>(rect.bottom, m_height);
  if (left >= right || top >= bottom) {
    return;
  }
  color = Representable(color);
  const BYTE b = GetBValue(color), g = GetGValue(color), r = GetRValue(color);
  const int span = (right - left) * 3;
  BYTE* first = Row(top) + left * 3;
  for (int x = 0; x < right - left; ++x) {
    first[x * 3] = b;
    first[x * 3 + 1] = g;
    first[x * 3 + 2] = r;
  }
  for (int y = top + 1; y < bottom; ++y) {
    std::memcpy(Row(y) + left * 3, first, static_cast<std::size_t>(span));
  }
}

COLORREF Surface::Representable(COLORREF color) const {
  if (!m_monochrome) {
    return color & 0xFFFFFF;
  }
  int sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
  return sum >= 384 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

}  // namespace platform::gdi
