// The application and comment segments of a JPEG file: copied out of a source picture so that a
// re-encoded picture carries them, and the EXIF pixel dimensions rewritten in the copy.
#pragma once

#include <cstdint>
#include <vector>

#include "engines/image_stream.h"
#include "platform/win_types.h"

// Marker codes (the byte after 0xFF) that the JPEG segment walkers look for.
namespace jpeg_marker {
constexpr uint8_t kSoi = 0xD8;
constexpr uint8_t kEoi = 0xD9;
constexpr uint8_t kSos = 0xDA;
constexpr uint8_t kDqt = 0xDB;
constexpr uint8_t kApp1 = 0xE1;
constexpr uint8_t kCom = 0xFE;
}  // namespace jpeg_marker

// The most segment bytes copied from one picture; a file with more is refused (out of memory).
constexpr size_t kMaxAppSegmentBytes = 4 * 1024 * 1024;

// Copies the APP0, APP1, APP2, APP13, APP14 and COM segments before the first scan, in file order and
// each exactly as stored (marker, big-endian length, payload). A picture whose first segment is DQT
// has none: 0 with an empty block. Returns 0 or an exif_error code; the block is empty on failure.
int CopyAppSegments(ImageStream& stream, std::vector<uint8_t>& block);

// Rewrites PixelXDimension (40962) and PixelYDimension (40963) of the EXIF IFD inside the APP1
// segment of such a block, in the block's byte order. Stops quietly wherever the block is too short.
void UpdateExifDimensions(BYTE* block, DWORD size, LONG width, LONG height);
