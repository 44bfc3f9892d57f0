// Decoding a picture file into a 24-bit DibImage that fits a box.
#pragma once

#include "engines/dib_image.h"
#include "engines/image_stream.h"
#include "platform/win_types.h"

// Decodes `path` into the box *size (both sides at least 1); on return *size is the fitted size.
// The type comes from the path when `typeCode` is unknown; `flags` goes to the GIF path. Null on
// failure. Free the result with FreeDibImage.
DibImage* DecodeImage(LPCWSTR path, SIZE* size, DWORD typeCode, DWORD flags);

// The same from an open stream of a known type (JPEG, PNG, BMP, WBMP or GIF).
DibImage* DecodeStream(ImageStream& stream, DWORD typeCode, SIZE* size, DWORD flags);
