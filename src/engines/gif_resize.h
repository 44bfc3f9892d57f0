// Resizing a GIF into a box with every frame, palette, delay and loop setting kept.
#pragma once

#include "platform/win_types.h"

// Writes `source` scaled into the box to `destination` (which must differ, ignoring case). A GIF
// that would not shrink, or whose width would round back to the same size, is copied byte for
// byte. A failed resize leaves no destination file.
BOOL ResizeGif(LPCWSTR destination, LPCWSTR source, SIZE box);
