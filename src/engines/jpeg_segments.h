// The application and comment segments of a JPEG file: copied out of a source picture so that a
// re-encoded picture carries them, and the EXIF pixel dimensions rewritten in the copy.
#pragma once

#include <cstdint>
#include <vector>

#include "engines/image_stream.h"
#include "platform/win_types.h"

// The most segment bytes copied from one picture; a file with more is refused (out of memory).
constexpr size_t kMaxAppSegmentBytes = 4 * 1024 * 1024;

// Copies the APP0, APP1, APP2, APP13, APP14 and COM segments before the first scan, in file order and
// each exactly as stored (marker, big-endian length, payload). A picture whose first segment is DQT
// has none: 0 with an empty block. Returns 0 or an exif_error code; the block is empty on failure.
int CopyAppSegments(ImageStream& stream, std::vector<uint8_t>& block);

// Rewrites PixelXDimension (40962) and PixelYDimension (40963) of the EXIF IFD inside the APP1
// segment of such a block, in the block's byte order. Stops quietly wherever the block is too short.
void UpdateExifDimensions(BYTE* block, DWORD size, LONG width, LONG height);
