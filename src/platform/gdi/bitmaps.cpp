// Bitmaps and the blit calls: creation (compatible, monochrome, DIB sections) and BitBlt,
// StretchBlt, StretchDIBits and PatBlt over the raster-operation engine.
#include <cstring>
#include <optional>

#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/raster_ops.h"
#include "platform/kernel/last_error.h"

using namespace platform::gdi;

namespace {

HBITMAP AddBitmap(std::shared_ptr<Surface> surface, bool dibSection) {
  if (!surface->IsValid()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto object = std::make_unique<GdiObject>();
  object->kind = ObjectKind::kBitmap;
  object->surface = std::move(surface);
  object->dibSection = dibSection;
  return static_cast<HBITMAP>(AddObject(std::move(object)));
}

bool ValidSize(int width, int height) {
  return width > 0 && height > 0 && static_cast<std::int64_t>(width) * height <= kMaxSurfacePixels;
}

// Colours of a DIB's palette: the RGBQUADs after the header.
COLORREF PaletteColor(const BITMAPINFO* info, unsigned index, unsigned count) {
  if (index >= count) {
    return 0;
  }
  const RGBQUAD& q = info->bmiColors[index];
  return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

COLORREF DibPixel(const BITMAPINFO* info, const BYTE* row, int x, unsigned paletteSize) {
  switch (info->bmiHeader.biBitCount) {
    case 1: return PaletteColor(info, (row[x / 8] >> (7 - x % 8)) & 1, paletteSize);
    case 4: return PaletteColor(info, (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF, paletteSize);
    case 8: return PaletteColor(info, row[x], paletteSize);
    case 16: {
      unsigned v = row[x * 2] | (row[x * 2 + 1] << 8);
      return RGB(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31);
    }
    case 24: return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    default: return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
  }
}

// A packed DIB as a colour surface; nothing for headers this system does not draw.
std::optional<Surface> DecodeDib(const void* bits, const BITMAPINFO* info) {
  if (!bits || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) ||
      info->bmiHeader.biCompression != BI_RGB) {
    return std::nullopt;
  }
  const BITMAPINFOHEADER& h = info->bmiHeader;
  int depth = h.biBitCount;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
    return std::nullopt;
  }
  if (h.biHeight == INT32_MIN) {
    return std::nullopt;
  }
  int width = h.biWidth;
  int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  if (!ValidSize(width, height)) {
    return std::nullopt;
  }
  unsigned paletteSize = depth <= 8 ? (h.biClrUsed && h.biClrUsed < (1u << depth) ? h.biClrUsed : 1u << depth) : 0;
  Surface surface(width, height, false, false);
  std::size_t stride = ((static_cast<std::size_t>(width) * depth + 31) / 32) * 4;
  const BYTE* data = static_cast<const BYTE*>(bits);
  for (int y = 0; y < height; ++y) {
    int stored = h.biHeight > 0 ? height - 1 - y : y;
    const BYTE* row = data + stride * static_cast<std::size_t>(stored);
    BYTE* out = surface.Row(y);
    for (int x = 0; x < width; ++x) {
      COLORREF c = DibPixel(info, row, x, paletteSize);
      out[x * 3] = GetBValue(c);
      out[x * 3 + 1] = GetGValue(c);
      out[x * 3 + 2] = GetRValue(c);
    }
  }
  return surface;
}

// The source side of a blit from a device context, in the source's device coordinates.
bool SourceOf(HDC hdc, int x, int y, BlitSource* source, POINT* origin) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !dc->Target()) {
    return false;
  }
  source->surface = dc->Target();
  source->bkColor = dc->State().bkColor;
  *origin = dc->ToDevice(x, y);
  return true;
}

}  // namespace

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !ValidSize(width, height)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // Compatible with what the context draws on: a fresh memory context holds a monochrome bitmap.
  bool monochrome = dc->Target() && dc->Target()->IsMonochrome();
  return AddBitmap(std::make_shared<Surface>(width, height, false, monochrome), false);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (!ValidSize(width, height) || planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool monochrome = bitsPerPixel == 1;
  auto surface = std::make_shared<Surface>(width, height, false, monochrome);
  if (bits && surface->IsValid()) {
    // Device-dependent rows: top-down, each padded to a WORD.
    std::size_t stride = ((static_cast<std::size_t>(width) * bitsPerPixel + 15) / 16) * 2;
    const BYTE* data = static_cast<const BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
      const BYTE* row = data + stride * static_cast<std::size_t>(y);
      for (int x = 0; x < width; ++x) {
        COLORREF c = monochrome ? (((row[x / 8] >> (7 - x % 8)) & 1) ? RGB(255, 255, 255) : 0)
                                : RGB(row[x * (bitsPerPixel / 8) + 2], row[x * (bitsPerPixel / 8) + 1],
                                      row[x * (bitsPerPixel / 8)]);
        surface->SetPixel(x, y, c);
      }
    }
  }
  return AddBitmap(std::move(surface), false);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
  if (bits) {
    *bits = nullptr;
  }
  if (!info || usage != DIB_RGB_COLORS || section || info->bmiHeader.biBitCount != 24 ||
      info->bmiHeader.biCompression != BI_RGB || info->bmiHeader.biHeight == INT32_MIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  int width = info->bmiHeader.biWidth;
  int height = info->bmiHeader.biHeight;
  bool bottomUp = height > 0;
  height = bottomUp ? height : -height;
  if (!ValidSize(width, height)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto surface = std::make_shared<Surface>(width, height, bottomUp, false);
  BYTE* data = surface->Bits();
  HBITMAP bitmap = AddBitmap(std::move(surface), true);
  if (bitmap && bits) {
    *bits = data;
  }
  return bitmap;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
  return StretchBlt(dest, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop) {
  DeviceContext* target = CheckedDeviceContext(dest);
  if (!target) {
    return FALSE;
  }
  BlitSource from;
  POINT origin{0, 0};
  bool usesSource = RopUsesSource(rop);
  if (usesSource && !SourceOf(source, sourceX, sourceY, &from, &origin)) {
    return FALSE;
  }
  return Blit(*target, {x, y, width, height}, usesSource ? &from : nullptr,
              {origin.x, origin.y, sourceWidth, sourceHeight}, rop)
             ? TRUE
             : FALSE;
}

int StretchDIBits(HDC dest, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
                  int sourceHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  DeviceContext* target = CheckedDeviceContext(dest);
  if (!target || usage != DIB_RGB_COLORS) {
    return 0;
  }
  std::optional<Surface> decoded = DecodeDib(bits, info);
  if (!decoded) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // DIB source coordinates count from the bottom row of a bottom-up image.
  int top = info->bmiHeader.biHeight > 0 ? decoded->Height() - sourceY - sourceHeight : sourceY;
  BlitSource from{&*decoded, RGB(255, 255, 255)};
  if (!Blit(*target, {x, y, width, height}, &from, {sourceX, top, sourceWidth, sourceHeight}, rop)) {
    return 0;
  }
  return decoded->Height();
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || RopUsesSource(rop)) {
    return FALSE;
  }
  return Blit(*dc, {x, y, width, height}, nullptr, {}, rop) ? TRUE : FALSE;
}
