// Reading the EXIF record of a JPEG picture: the marker scan to its APP1 "Exif" segment, then the
// TIFF block inside it.
#pragma once

#include "engines/exif_info.h"
#include "engines/image_stream.h"
#include "platform/win_types.h"

// Result codes of the EXIF functions (0 is success).
namespace exif_error {
constexpr int kNotJpeg = -800;       // no start-of-image marker
constexpr int kNoExif = -801;        // the scan reached the picture data without an EXIF segment
constexpr int kReadOrSeek = -802;
constexpr int kOutOfMemory = -803;
constexpr int kSeek = -804;
constexpr int kRead = -805;
}  // namespace exif_error

// Modes of ReadExif: the record alone, or the record with its presence mask filled.
constexpr int kExifRecordOnly = 1;
constexpr int kExifRecordWithMask = 2;

// Reads the EXIF record of the JPEG in `stream` into a new record (*info; null on failure).
int ReadExif(ImageStream& stream, ExifInfo** info, int mode);

// With numeric setting SupportEXIF set and a JPEG type (derived from the path when `typeCode` is
// unknown), reads the file's EXIF record with its mask. TRUE on success; *info is null otherwise.
BOOL ReadExifInfo(LPCWSTR path, ExifInfo** info, DWORD typeCode);
