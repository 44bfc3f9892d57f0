#include "engines/jpeg_segments.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "engines/exif_reader.h"
#include "engines/tiff_parser.h"

namespace {

using namespace jpeg_marker;

bool IsCopied(uint8_t code) {
  return code == 0xE0 || code == 0xE1 || code == 0xE2 || code == 0xED || code == 0xEE || code == 0xFE;
}

// Markers without a length field: TEM and the restart markers.
bool IsStandalone(uint8_t code) { return code == 0x01 || (code >= 0xD0 && code <= 0xD7); }

// Walks the segments from after SOI to SOS or EOI; copied segments go to `block`.
int WalkSegments(ImageStream& stream, std::vector<uint8_t>& block) {
  bool first = true;
  for (;;) {
    uint8_t marker[2];
    if (!stream.ReadExact(marker, 2) || marker[0] != 0xFF) return exif_error::kReadOrSeek;
    uint8_t code = marker[1];
    while (code == 0xFF) {
      if (!stream.ReadExact(&code, 1)) return exif_error::kReadOrSeek;
    }
    if (first && code == kDqt) return 0;
    first = false;
    if (code == kSos || code == kEoi) return 0;
    if (IsStandalone(code)) continue;
    uint8_t lengthBytes[2];
    if (!stream.ReadExact(lengthBytes, 2)) return exif_error::kReadOrSeek;
    size_t length = (size_t{lengthBytes[0]} << 8) | lengthBytes[1];
    if (length < 2) return exif_error::kReadOrSeek;
    if (!IsCopied(code)) {
      if (stream.Seek(static_cast<LONG>(length - 2), 2) != 0) return exif_error::kReadOrSeek;
      continue;
    }
    if (block.size() + length + 2 > kMaxAppSegmentBytes) return exif_error::kOutOfMemory;
    block.insert(block.end(), {0xFF, code, lengthBytes[0], lengthBytes[1]});
    size_t payload = block.size();
    block.resize(payload + length - 2);
    if (!stream.ReadExact(block.data() + payload, static_cast<DWORD>(length - 2))) return exif_error::kReadOrSeek;
  }
}

// Overwrites the 4-byte value field of `tag` in the directory at `offset`.
void WriteTagValue(std::span<uint8_t> tiff, const TiffCursor& cursor, uint32_t offset, uint16_t tag, uint32_t value) {
  std::optional<uint16_t> count = cursor.U16(offset);
  if (!count) return;
  for (uint32_t i = 0; i < *count; ++i) {
    uint64_t at = uint64_t{offset} + 2 + uint64_t{i} * 12;
    if (!cursor.Contains(at, 12)) return;
    if (*cursor.U16(at) != tag) continue;
    // A SHORT entry keeps its value in the first two bytes of the field; writing 32 bits there
    // would read back as 0 in big-endian data.
    bool isShort = *cursor.U16(at + 2) == 3 && value <= 0xFFFF;
    int bytes = isShort ? 2 : 4;
    uint8_t* field = tiff.data() + at + 8;
    std::fill(field, field + 4, 0);
    for (int b = 0; b < bytes; ++b) {
      int shift = cursor.bigEndian() ? 8 * (bytes - 1 - b) : 8 * b;
      field[b] = static_cast<uint8_t>(value >> shift);
    }
    return;
  }
}

std::optional<uint32_t> FindExifIfd(const TiffCursor& cursor) {
  std::optional<uint32_t> ifd0 = cursor.U32(4);
  if (!ifd0) return std::nullopt;
  std::optional<uint16_t> count = cursor.U16(*ifd0);
  for (uint32_t i = 0; count && i < *count; ++i) {
    uint64_t at = uint64_t{*ifd0} + 2 + uint64_t{i} * 12;
    if (!cursor.Contains(at, 12)) return std::nullopt;
    if (*cursor.U16(at) == 34665) return cursor.U32(at + 8);
  }
  return std::nullopt;
}

}  // namespace

int CopyAppSegments(ImageStream& stream, std::vector<uint8_t>& block) {
  block.clear();
  uint8_t soi[2];
  if (stream.Seek(0, 0) != 0 || !stream.ReadExact(soi, 2)) return exif_error::kReadOrSeek;
  if (soi[0] != 0xFF || soi[1] != kSoi) return exif_error::kNotJpeg;
  int result = WalkSegments(stream, block);
  if (result != 0) block.clear();
  return result;
}

void UpdateExifDimensions(BYTE* block, DWORD size, LONG width, LONG height) {
  if (block == nullptr || size < 4 || block[0] != 0xFF) return;
  // Find the APP1 segment that holds EXIF (an XMP APP1 may come first), walking by lengths and
  // giving up at anything but an application or comment segment.
  for (size_t position = 0; position + 4 <= size && block[position] == 0xFF;) {
    uint8_t code = block[position + 1];
    if (code < 0xE0 && code != 0xFE) return;
    size_t length = (size_t{block[position + 2]} << 8) | block[position + 3];
    size_t segmentEnd = std::min<size_t>(size, position + 2 + length);
    size_t tiffStart = position + 10;
    if (code == kApp1 && tiffStart < segmentEnd && std::memcmp(block + position + 4, "Exif\0\0", 6) == 0) {
      std::span<uint8_t> tiff(block + tiffStart, segmentEnd - tiffStart);
      TiffCursor cursor = TiffCursor::ForBlock(tiff);
      std::optional<uint32_t> exifIfd = FindExifIfd(cursor);
      if (!exifIfd) return;
      WriteTagValue(tiff, cursor, *exifIfd, 40962, static_cast<uint32_t>(width));
      WriteTagValue(tiff, cursor, *exifIfd, 40963, static_cast<uint32_t>(height));
      return;
    }
    position += length + 2;
  }
}
