#include "bmp_header.h"

namespace image_codec {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kOs2HeaderSize = 12;
constexpr uint32_t kMaxInfoHeaderSize = 124;

bool ValidCombination(uint16_t bitCount, BmpCompression compression) {
  switch (compression) {
    case BmpCompression::kRgb:
      return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
    case BmpCompression::kRle8:
      return bitCount == 8;
    case BmpCompression::kRle4:
      return bitCount == 4;
    case BmpCompression::kBitFields:
    case BmpCompression::kAlphaBitFields:
      return bitCount == 16 || bitCount == 32;
  }
  return false;
}

void SetDefaultMasks(BmpHeader& header) {
  if (header.bitCount == 16) header.masks = {0x7C00, 0x03E0, 0x001F};
  if (header.bitCount == 32) header.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
}

// The Windows info header (40 bytes or more) after its size field.
bool ParseInfoHeader(ByteCursor& cursor, uint32_t headerSize, BmpHeader& header, uint32_t& colorsUsed) {
  uint32_t width = 0, height = 0, compression = 0, unused = 0;
  uint16_t planes = 0;
  if (!cursor.ReadLe32(width) || !cursor.ReadLe32(height) || !cursor.ReadLe16(planes) ||
      !cursor.ReadLe16(header.bitCount) || !cursor.ReadLe32(compression) || !cursor.ReadLe32(unused) ||
      !cursor.ReadLe32(unused) || !cursor.ReadLe32(unused) || !cursor.ReadLe32(colorsUsed) ||
      !cursor.ReadLe32(unused)) {
    return false;
  }
  auto signedHeight = static_cast<int32_t>(height);
  header.width = static_cast<int32_t>(width);
  header.topDown = signedHeight < 0;
  header.height = signedHeight == INT32_MIN ? 0 : (signedHeight < 0 ? -signedHeight : signedHeight);
  header.compression = static_cast<BmpCompression>(compression);
  if (!ValidCombination(header.bitCount, header.compression)) return false;
  SetDefaultMasks(header);
  bool bitFields = header.compression == BmpCompression::kBitFields ||
                   header.compression == BmpCompression::kAlphaBitFields;
  // Version 2 and later headers carry the masks (a 40-byte header is followed by them instead).
  if (bitFields && headerSize >= 52) {
    for (uint32_t& mask : header.masks) {
      if (!cursor.ReadLe32(mask)) return false;
    }
  }
  return true;
}

bool ParseOs2Header(ByteCursor& cursor, BmpHeader& header) {
  uint16_t width = 0, height = 0, planes = 0;
  if (!cursor.ReadLe16(width) || !cursor.ReadLe16(height) || !cursor.ReadLe16(planes) ||
      !cursor.ReadLe16(header.bitCount)) {
    return false;
  }
  header.width = width;
  header.height = height;
  return ValidCombination(header.bitCount, BmpCompression::kRgb) && header.bitCount != 16 && header.bitCount != 32;
}

bool ReadPalette(StreamIo& io, uint32_t entries, uint32_t entrySize, BmpHeader& header) {
  std::vector<uint8_t> raw(static_cast<size_t>(entries) * entrySize);
  if (!io.Read(raw.data(), static_cast<uint32_t>(raw.size()))) return false;
  header.palette.assign(size_t{entries} * 4, 0);
  for (uint32_t i = 0; i < entries; ++i) std::memcpy(&header.palette[i * 4], &raw[i * entrySize], 3);
  return true;
}

}  // namespace

bool ReadBmpHeader(StreamIo& io, BmpHeader& header) {
  uint8_t bytes[kFileHeaderSize + kMaxInfoHeaderSize] = {};
  if (!io.Valid() || !io.Seek(0, kImageSeekBegin) || !io.Read(bytes, kFileHeaderSize + 4)) return false;
  if (bytes[0] != 'B' || bytes[1] != 'M') return false;
  ByteCursor fileHeader(std::span<const uint8_t>(bytes + 10, 8));
  uint32_t headerSize = 0;
  fileHeader.ReadLe32(header.pixelOffset);
  fileHeader.ReadLe32(headerSize);
  if (headerSize != kOs2HeaderSize && (headerSize < 40 || headerSize > kMaxInfoHeaderSize)) return false;
  if (!io.Read(bytes + kFileHeaderSize + 4, headerSize - 4)) return false;
  ByteCursor cursor(std::span<const uint8_t>(bytes + kFileHeaderSize + 4, headerSize - 4));
  uint32_t colorsUsed = 0;
  bool parsed = headerSize == kOs2HeaderSize ? ParseOs2Header(cursor, header)
                                             : ParseInfoHeader(cursor, headerSize, header, colorsUsed);
  if (!parsed || !WithinLimits(header.width, header.height)) return false;
  // A 40-byte header with bit fields has its masks right after it, before the palette.
  bool masksAfterHeader = headerSize == 40 && (header.compression == BmpCompression::kBitFields ||
                                                header.compression == BmpCompression::kAlphaBitFields);
  if (masksAfterHeader) {
    uint8_t maskBytes[12];
    if (!io.Read(maskBytes, sizeof maskBytes)) return false;
    ByteCursor masks(maskBytes);
    for (uint32_t& mask : header.masks) masks.ReadLe32(mask);
  }
  header.stride = static_cast<uint32_t>(((static_cast<uint64_t>(header.width) * header.bitCount + 31) / 32) * 4);
  if (header.bitCount <= 8) {
    uint32_t maxEntries = 1u << header.bitCount;
    uint32_t entries = colorsUsed == 0 || colorsUsed > maxEntries ? maxEntries : colorsUsed;
    if (!ReadPalette(io, entries, headerSize == kOs2HeaderSize ? 3 : 4, header)) return false;
    header.palette.resize(size_t{maxEntries} * 4, 0);
  }
  return header.pixelOffset >= kFileHeaderSize + headerSize;
}

}  // namespace image_codec
