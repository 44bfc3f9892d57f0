// Reading a picture file's size and depth, and an animated GIF's play time, without decoding it.
#pragma once

#include "platform/win_types.h"

// The picture's width and height, and its bit count (24 for colour, 8 for greyscale JPEG; for a
// GIF the larger of the screen's and the first frame's colour depth) when bitCount is given.
BOOL GetImageInfo(LPCWSTR path, SIZE* size, int* bitCount, DWORD typeCode);

// The play time of an animated GIF in milliseconds, or -1.
LONG GetGifDuration(LPCWSTR path);
