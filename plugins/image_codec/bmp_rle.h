// Run-length decoding of RLE8 and RLE4 BMP pixel data into one palette index per pixel.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace image_codec {

// Decodes `data` into `indices` (width x height, bottom row first as stored). Pixels the data
// skips or never reaches keep index 0. Returns false on a malformed escape.
bool DecodeBmpRle(std::span<const uint8_t> data, bool fourBit, uint32_t width, uint32_t height,
                  std::vector<uint8_t>& indices);

}  // namespace image_codec
