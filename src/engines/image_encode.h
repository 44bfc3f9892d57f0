// Encoding a DibImage into a picture file.
#pragma once

#include "engines/dib_image.h"
#include "platform/win_types.h"

// Writes `image` to `path` as the type given (derived from the path when unknown): JPEG at
// `quality` with the application segments in exifData when given, PNG, BMP or WBMP. A still picture
// asked for as GIF is written as JPEG to the sibling name with the extension ".jpg". TRUE when
// every row was written; a partial file is removed.
BOOL EncodeImage(const DibImage* image, LPCWSTR path, DWORD typeCode, int quality, const BYTE* exifData,
                 DWORD exifLength);
