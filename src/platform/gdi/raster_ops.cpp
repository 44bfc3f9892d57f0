#include "platform/gdi/raster_ops.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/gdi/gdi_objects.h"

namespace platform::gdi {
namespace {

BYTE RopCopy(BYTE, BYTE, BYTE s, BYTE) { return s; }
BYTE RopInvert(BYTE, BYTE, BYTE s, BYTE d) { return static_cast<BYTE>(s ^ d); }
BYTE RopAnd(BYTE, BYTE, BYTE s, BYTE d) { return static_cast<BYTE>(s & d); }
BYTE RopPaint(BYTE, BYTE, BYTE s, BYTE d) { return static_cast<BYTE>(s | d); }
BYTE RopPattern(BYTE, BYTE p, BYTE, BYTE) { return p; }
BYTE RopGeneric(BYTE code, BYTE p, BYTE s, BYTE d) { return ApplyRop3(code, p, s, d); }

using ChannelOp = BYTE (*)(BYTE code, BYTE pattern, BYTE source, BYTE dest);

ChannelOp OpFor(BYTE code) {
  switch (code) {
    case 0xCC: return RopCopy;
    case 0x66: return RopInvert;
    case 0x88: return RopAnd;
    case 0xEE: return RopPaint;
    case 0xF0: return RopPattern;
    default: return RopGeneric;
  }
}

// One axis of a blit after normalising mirrored extents and clipping the destination.
struct Axis {
  int destStart = 0;   // first destination pixel (device coordinates)
  int destEnd = 0;     // one past the last
  int destOrigin = 0;  // where the unclipped destination started
  int destExtent = 0;
  int sourceStart = 0;
  int sourceExtent = 0;
  bool mirrored = false;

  // The source pixel for a destination pixel: nearest sample, mirrored as asked.
  int SourceFor(int dest) const {
    int i = dest - destOrigin;
    int offset = destExtent == sourceExtent
                     ? i
                     : static_cast<int>((2LL * i + 1) * sourceExtent / (2LL * destExtent));
    return sourceStart + (mirrored ? sourceExtent - 1 - offset : offset);
  }
};

std::optional<Axis> MakeAxis(int destPos, int destExtent, int clipLow, int clipHigh, int sourcePos,
                             int sourceExtent) {
  Axis axis;
  // A negative extent runs from the given pixel backwards: x = 9, width = -10 covers 0 to 9.
  if (destExtent < 0) {
    destPos += destExtent + 1;
    destExtent = -destExtent;
    axis.mirrored = !axis.mirrored;
  }
  if (sourceExtent < 0) {
    sourcePos += sourceExtent + 1;
    sourceExtent = -sourceExtent;
    axis.mirrored = !axis.mirrored;
  }
  if (destExtent == 0 || sourceExtent == 0) {
    return std::nullopt;
  }
  axis.destOrigin = destPos;
  axis.destExtent = destExtent;
  axis.sourceStart = sourcePos;
  axis.sourceExtent = sourceExtent;
  axis.destStart = std::max(destPos, clipLow);
  axis.destEnd = std::min(destPos + destExtent, clipHigh);
  if (axis.destStart >= axis.destEnd) {
    return std::nullopt;
  }
  return axis;
}

// Source colours as the destination sees them: monochrome sources take the destination's text
// (black) and background (white) colours; colour sources onto monochrome compare with the
// source's background colour.
struct SourceConversion {
  bool monoToColor = false;
  bool colorToMono = false;
  BYTE black[3]{};
  BYTE white[3]{};
  BYTE sourceBk[3]{};
};

void ToBytes(COLORREF c, BYTE* out) {
  out[0] = GetBValue(c);
  out[1] = GetGValue(c);
  out[2] = GetRValue(c);
}

void FetchSource(const SourceConversion& conv, const BYTE* p, BYTE* out) {
  if (conv.monoToColor) {
    std::memcpy(out, p[0] ? conv.white : conv.black, 3);
  } else if (conv.colorToMono) {
    BYTE v = std::memcmp(p, conv.sourceBk, 3) == 0 ? 255 : 0;
    out[0] = out[1] = out[2] = v;
  } else {
    std::memcpy(out, p, 3);
  }
}

bool CopyRowsDirect(Surface& target, const Surface& source, const Axis& ax, const Axis& ay) {
  int bytes = (ax.destEnd - ax.destStart) * 3;
  int sx = ax.SourceFor(ax.destStart);
  for (int y = ay.destStart; y < ay.destEnd; ++y) {
    std::memmove(target.Row(y) + ax.destStart * 3, source.Row(ay.SourceFor(y)) + sx * 3,
                 static_cast<std::size_t>(bytes));
  }
  return true;
}

}  // namespace

BYTE ApplyRop3(BYTE code, BYTE pattern, BYTE source, BYTE dest) {
  BYTE result = 0;
  for (int i = 0; i < 8; ++i) {
    if (code & (1 << i)) {
      BYTE p = (i & 4) ? pattern : static_cast<BYTE>(~pattern);
      BYTE s = (i & 2) ? source : static_cast<BYTE>(~source);
      BYTE d = (i & 1) ? dest : static_cast<BYTE>(~dest);
      result |= static_cast<BYTE>(p & s & d);
    }
  }
  return result;
}

bool RopUsesSource(DWORD rop) {
  BYTE code = static_cast<BYTE>(rop >> 16);
  return ((code >> 2) ^ code) & 0x33;
}

bool Blit(DeviceContext& dest, BlitArea destArea, const BlitSource* source, BlitArea sourceArea,
          DWORD rop) {
  Surface* target = dest.Target();
  const BYTE code = static_cast<BYTE>(rop >> 16);
  const bool usesSource = RopUsesSource(rop);
  if (!target || (usesSource && (!source || !source->surface))) {
    return false;
  }
  if (!usesSource) {
    sourceArea = destArea;
  }
  POINT origin = dest.ToDevice(destArea.x, destArea.y);
  RECT clip = dest.Clip();
  auto ax = MakeAxis(origin.x, destArea.width, clip.left, clip.right, sourceArea.x, sourceArea.width);
  auto ay = MakeAxis(origin.y, destArea.height, clip.top, clip.bottom, sourceArea.y, sourceArea.height);
  if (!ax || !ay) {
    return true;  // nothing visible is not a failure
  }
  // Source pixels outside the source surface are skipped: narrow the destination to those inside.
  const Surface* from = usesSource ? source->surface : nullptr;
  SourceConversion conv;
  if (from) {
    conv.monoToColor = from->IsMonochrome() && !target->IsMonochrome();
    conv.colorToMono = !from->IsMonochrome() && target->IsMonochrome();
    ToBytes(dest.State().textColor, conv.black);
    ToBytes(dest.State().bkColor, conv.white);
    ToBytes(source->bkColor & 0xFFFFFF, conv.sourceBk);
  }
  const bool direct = from && code == 0xCC && !conv.monoToColor && !conv.colorToMono && !ax->mirrored &&
                      ax->destExtent == ax->sourceExtent && ay->destExtent == ay->sourceExtent &&
                      ax->SourceFor(ax->destStart) >= 0 && ax->SourceFor(ax->destEnd - 1) < from->Width() &&
                      from != target;
  if (direct) {
    bool rowsInside = ay->SourceFor(ay->destStart) >= 0 && ay->SourceFor(ay->destEnd - 1) < from->Height() &&
                      ay->SourceFor(ay->destEnd - 1) >= 0 && ay->SourceFor(ay->destStart) < from->Height();
    if (rowsInside) {
      return CopyRowsDirect(*target, *from, *ax, *ay);
    }
  }
  // A source that is also the destination is read from a copy, so overlapping areas come out right.
  std::optional<Surface> copy;
  if (from == target) {
    copy.emplace(*target);
    from = &*copy;
  }
  std::optional<COLORREF> brush = SelectedBrushColor(dest);
  BYTE pattern[3];
  ToBytes(target->Representable(brush.value_or(0)), pattern);
  ChannelOp op = OpFor(code);
  BYTE s[3] = {0, 0, 0};
  for (int y = ay->destStart; y < ay->destEnd; ++y) {
    int sy = from ? ay->SourceFor(y) : 0;
    if (from && (sy < 0 || sy >= from->Height())) {
      continue;
    }
    BYTE* d = target->Row(y);
    const BYTE* sourceRow = from ? from->Row(sy) : nullptr;
    for (int x = ax->destStart; x < ax->destEnd; ++x) {
      if (from) {
        int sx = ax->SourceFor(x);
        if (sx < 0 || sx >= from->Width()) {
          continue;
        }
        FetchSource(conv, sourceRow + sx * 3, s);
      }
      BYTE* px = d + x * 3;
      px[0] = op(code, pattern[0], s[0], px[0]);
      px[1] = op(code, pattern[1], s[1], px[1]);
      px[2] = op(code, pattern[2], s[2], px[2]);
    }
  }
  return true;
}

}  // namespace platform::gdi
