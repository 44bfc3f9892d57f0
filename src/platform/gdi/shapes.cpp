// Filled rectangles, frames, lines with the selected pen, ellipses and single pixels, all clipped
// to the device context.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/last_error.h"

using namespace platform::gdi;

namespace {

// Shapes need a surface to draw on.
DeviceContext* Dc(HDC hdc) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (dc && !dc->Target()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return dc;
}

void FillDevice(DeviceContext& dc, const RECT& deviceRect, COLORREF color) {
  RECT r = Intersect(deviceRect, dc.Clip());
  if (!IsEmpty(r)) {
    dc.Target()->Fill(r, color);
  }
}

// One pixel through the line raster operation, in device coordinates.
void PlotPen(DeviceContext& dc, const RECT& clip, int x, int y, COLORREF color) {
  if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) {
    return;
  }
  Surface& s = *dc.Target();
  COLORREF current = s.Pixel(x, y);
  switch (dc.State().rop2) {
    case R2_BLACK: s.SetPixel(x, y, 0); break;
    case R2_WHITE: s.SetPixel(x, y, RGB(255, 255, 255)); break;
    case R2_NOT: s.SetPixel(x, y, ~current & 0xFFFFFF); break;
    case R2_XORPEN: s.SetPixel(x, y, (current ^ color) & 0xFFFFFF); break;
    case R2_NOP: break;
    default: s.SetPixel(x, y, color); break;
  }
}

void PlotWide(DeviceContext& dc, const RECT& clip, int x, int y, const GdiObject& pen) {
  int half = pen.penWidth / 2;
  for (int dy = 0; dy < pen.penWidth; ++dy) {
    for (int dx = 0; dx < pen.penWidth; ++dx) {
      PlotPen(dc, clip, x - half + dx, y - half + dy, pen.color);
    }
  }
}

// Bresenham from `from` up to, but not including, `to` (device coordinates).
void DrawLine(DeviceContext& dc, POINT from, POINT to, const GdiObject& pen) {
  RECT clip = dc.Clip();
  int dx = std::abs(to.x - from.x), sx = from.x < to.x ? 1 : -1;
  int dy = -std::abs(to.y - from.y), sy = from.y < to.y ? 1 : -1;
  int error = dx + dy;
  int x = from.x, y = from.y;
  for (int step = 0; x != to.x || y != to.y; ++step) {
    bool dashOn = pen.penStyle != PS_DASH || step % 9 < 6;
    if (dashOn) {
      PlotWide(dc, clip, x, y, pen);
    }
    int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y += sy;
    }
  }
}

// Horizontal extent [left, right) of an ellipse inscribed in `box` at row y; nothing outside.
std::optional<std::pair<int, int>> EllipseSpan(const RECT& box, int y) {
  double rx = (box.right - box.left) / 2.0, ry = (box.bottom - box.top) / 2.0;
  if (rx <= 0 || ry <= 0) {
    return std::nullopt;
  }
  double cx = box.left + rx, cy = box.top + ry;
  double t = (y + 0.5 - cy) / ry;
  if (t <= -1.0 || t >= 1.0) {
    return std::nullopt;
  }
  double half = rx * std::sqrt(1.0 - t * t);
  int left = static_cast<int>(std::lround(cx - half));
  int right = static_cast<int>(std::lround(cx + half));
  if (left >= right) {
    return std::nullopt;
  }
  return std::make_pair(left, right);
}

}  // namespace

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  DeviceContext* dc = Dc(hdc);
  if (!dc || !rect) {
    return 0;
  }
  std::optional<COLORREF> color = BrushColor(brush);
  if (!color) {
    return reinterpret_cast<std::uintptr_t>(brush) != 0 && FindObject(brush, ObjectKind::kBrush) ? 1 : 0;
  }
  FillDevice(*dc, dc->ToDevice(*rect), *color);
  return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  DeviceContext* dc = Dc(hdc);
  std::optional<COLORREF> color = BrushColor(brush);
  if (!dc || !rect || !color) {
    return 0;
  }
  RECT r = dc->ToDevice(*rect);
  if (IsEmpty(r)) {
    return 1;
  }
  FillDevice(*dc, {r.left, r.top, r.right, r.top + 1}, *color);
  FillDevice(*dc, {r.left, r.bottom - 1, r.right, r.bottom}, *color);
  FillDevice(*dc, {r.left, r.top, r.left + 1, r.bottom}, *color);
  FillDevice(*dc, {r.right - 1, r.top, r.right, r.bottom}, *color);
  return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rect) {
  return rect ? PatBlt(hdc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, DSTINVERT)
              : FALSE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = Dc(hdc);
  if (!dc) {
    return FALSE;
  }
  RECT r = dc->ToDevice(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                             std::max(top, bottom)});
  const GdiObject* pen = SelectedPen(*dc);
  int inset = pen ? pen->penWidth : 0;
  if (std::optional<COLORREF> fill = SelectedBrushColor(*dc)) {
    FillDevice(*dc, {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset}, *fill);
  }
  if (pen) {
    COLORREF c = pen->color;
    FillDevice(*dc, {r.left, r.top, r.right, r.top + inset}, c);
    FillDevice(*dc, {r.left, r.bottom - inset, r.right, r.bottom}, c);
    FillDevice(*dc, {r.left, r.top, r.left + inset, r.bottom}, c);
    FillDevice(*dc, {r.right - inset, r.top, r.right, r.bottom}, c);
  }
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = Dc(hdc);
  if (!dc) {
    return FALSE;
  }
  RECT outer = dc->ToDevice(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right),
                                 std::max(top, bottom)});
  const GdiObject* pen = SelectedPen(*dc);
  int inset = pen ? pen->penWidth : 0;
  RECT inner{outer.left + inset, outer.top + inset, outer.right - inset, outer.bottom - inset};
  std::optional<COLORREF> fill = SelectedBrushColor(*dc);
  for (int y = outer.top; y < outer.bottom; ++y) {
    auto o = EllipseSpan(outer, y);
    if (!o) {
      continue;
    }
    auto i = EllipseSpan(inner, y);
    if (i && fill) {
      FillDevice(*dc, {i->first, y, i->second, y + 1}, *fill);
    }
    if (pen) {
      int innerLeft = i ? i->first : o->second;
      int innerRight = i ? i->second : o->second;
      FillDevice(*dc, {o->first, y, innerLeft, y + 1}, pen->color);
      FillDevice(*dc, {innerRight, y, o->second, y + 1}, pen->color);
    }
  }
  return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* previous) {
  DeviceContext* dc = FindDeviceContext(hdc);
  if (!dc) {
    return FALSE;
  }
  if (previous) {
    *previous = dc->State().position;
  }
  dc->State().position = {x, y};
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  DeviceContext* dc = Dc(hdc);
  if (!dc) {
    return FALSE;
  }
  POINT from = dc->State().position;
  if (const GdiObject* pen = SelectedPen(*dc)) {
    DrawLine(*dc, dc->ToDevice(from.x, from.y), dc->ToDevice(x, y), *pen);
  }
  dc->State().position = {x, y};
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
  if (!points || count < 2 || !FindDeviceContext(hdc)) {
    return FALSE;
  }
  POINT saved{};
  MoveToEx(hdc, points[0].x, points[0].y, &saved);
  for (int i = 1; i < count; ++i) {
    LineTo(hdc, points[i].x, points[i].y);
  }
  MoveToEx(hdc, saved.x, saved.y, nullptr);
  return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  DeviceContext* dc = Dc(hdc);
  if (!dc) {
    return CLR_INVALID;
  }
  POINT p = dc->ToDevice(x, y);
  RECT clip = dc->Clip();
  if (p.x < clip.left || p.x >= clip.right || p.y < clip.top || p.y >= clip.bottom) {
    return CLR_INVALID;
  }
  dc->Target()->SetPixel(p.x, p.y, color);
  return dc->Target()->Pixel(p.x, p.y);
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  DeviceContext* dc = Dc(hdc);
  if (!dc) {
    return CLR_INVALID;
  }
  POINT p = dc->ToDevice(x, y);
  RECT clip = dc->Clip();
  if (p.x < clip.left || p.x >= clip.right || p.y < clip.top || p.y >= clip.bottom) {
    return CLR_INVALID;
  }
  return dc->Target()->Pixel(p.x, p.y);
}
