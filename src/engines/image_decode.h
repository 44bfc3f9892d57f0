// Decoding a picture file into a 24-bit DibImage that fits a box.
#pragma once

#include "engines/dib_image.h"
#include "engines/image_stream.h"
#include "model/media_types.h"
#include "platform/win_types.h"

// Decodes `path` into the box *size (both sides at least 1); on return *size is the fitted size.
// The type comes from the path when `typeCode` is unknown; `flags` goes to the GIF path. Null on
// failure. Free the result with FreeDibImage.
DibImage* DecodeImage(LPCWSTR path, SIZE* size, DWORD typeCode, DWORD flags);

// Video types whose first frame the video engine gives (MP4, 3GP, 3G2). DecodeImage hands these
// to Video_LoadFirstFrame, which may answer with the no-still marker -1 instead of a picture.
bool IsEngineVideoType(MediaType type);

// The same from an open stream of a known type (JPEG, PNG, BMP, WBMP or GIF).
DibImage* DecodeStream(ImageStream& stream, DWORD typeCode, SIZE* size, DWORD flags);
