// Re-encoding a picture file into a box, and the resize operations built on it.
#pragma once

#include "platform/win_types.h"

// Decodes `source` into the box and writes it to `destination` in the same family: JPEG at
// `quality` (greyscale kept 8-bit; with numeric setting SupportEXIF the source's application and
// comment segments carried over with the new pixel dimensions), GIF with all frames, PNG and BMP,
// WBMP at quality 90. The paths must differ and the box be at least 1 x 1.
BOOL ConvertImage(LPCWSTR destination, LPCWSTR source, SIZE size, DWORD typeCode, int quality);

// Re-encodes `source` into width x height at `destination`. Writes nothing and returns FALSE when a
// path is empty, both sides are 0, or the box is larger than the picture in both dimensions.
BOOL ResizeImageFile(LPCWSTR source, LPCWSTR destination, LONG width, LONG height, int quality);

// The same in place, through a sibling "<name>_temp<extension>" that is removed in every case.
BOOL ResizeImageInPlace(LPCWSTR path, LONG width, LONG height, int quality);
