// The raster-operation engine behind BitBlt, StretchBlt, StretchDIBits and PatBlt: any of the 256
// boolean combinations of pattern, source and destination, with the device's colour conversions
// between monochrome and colour surfaces and nearest-pixel stretching.
#pragma once

#include "platform/gdi/device_context.h"
#include "platform/gdi/surface.h"

namespace platform::gdi {

// Where source pixels come from, and how a monochrome or colour source converts.
struct BlitSource {
  const Surface* surface = nullptr;
  COLORREF bkColor = RGB(255, 255, 255);  // colour-to-monochrome: this colour becomes white
};

// Signed position and extent; a negative extent mirrors that axis.
struct BlitArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The boolean function of a raster operation, applied to one byte of pattern, source, destination.
BYTE ApplyRop3(BYTE code, BYTE pattern, BYTE source, BYTE dest);
// Whether the operation reads the source at all.
bool RopUsesSource(DWORD rop);

// Draws `source` (or none, for operations without one) over `dest` in logical coordinates.
bool Blit(DeviceContext& dest, BlitArea destArea, const BlitSource* source, BlitArea sourceArea,
          DWORD rop);

}  // namespace platform::gdi
