// The headers of a BMP file: file header, the info header in any of its sizes (OS/2 12 bytes,
// Windows 40, 52, 56, 64, 108, 124), the colour masks and the palette.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "codec_io.h"

namespace image_codec {

enum class BmpCompression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

struct BmpHeader {
  int32_t width = 0;
  int32_t height = 0;  // always positive; topDown says the row order
  bool topDown = false;
  uint16_t bitCount = 0;
  BmpCompression compression = BmpCompression::kRgb;
  uint32_t pixelOffset = 0;
  uint32_t stride = 0;                   // bytes per stored row (uncompressed pictures)
  std::array<uint32_t, 3> masks{};       // red, green, blue (16- and 32-bit pictures)
  std::vector<uint8_t> palette;          // 4 bytes per entry: blue, green, red, 0
};

// Reads and checks the headers from the start of the stream. Fails on anything this decoder does
// not draw, and on pictures beyond the library's limits.
bool ReadBmpHeader(StreamIo& io, BmpHeader& header);

}  // namespace image_codec
