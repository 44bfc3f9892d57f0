// DibImage: a decoded picture as one heap block (bitmap header, palette, bottom-up rows), the form
// that every view draws from. Made with calloc and freed with free.
#pragma once

#include <cstddef>

#include "platform/gdi/gdi_types.h"
#include "platform/win_types.h"

struct DibImage {
  BITMAPINFOHEADER header;  // the palette and the rows follow in the same block
};

// The largest picture made, in pixels; larger requests fail like a failed allocation.
constexpr size_t kMaxDibPixels = 64u * 1024 * 1024;

// A zero-filled picture of 8 or 24 bits; null for a zero size, another depth, or no memory.
DibImage* CreateDibImage(LONG width, LONG height, WORD bitCount);
// Frees the block; null and the values -1 and -2 mean no picture.
void FreeDibImage(DibImage* image);

// Bytes per stored row: ((width x bit count + 31) / 32) x 4.
size_t DibStride(const DibImage* image);
RGBQUAD* DibPalette(DibImage* image);
BYTE* DibPixels(DibImage* image);
const BYTE* DibPixels(const DibImage* image);
// Row `rowFromTop` (0 is the top of the picture, the last row of the block).
BYTE* DibRowFromTop(DibImage* image, LONG rowFromTop);
const BYTE* DibRowFromTop(const DibImage* image, LONG rowFromTop);
// Sets every pixel of a 24-bit picture to one colour.
void FillDibImage(DibImage* image, BYTE blue, BYTE green, BYTE red);

// Owns a DibImage until released.
struct DibImageDeleter {
  void operator()(DibImage* image) const { FreeDibImage(image); }
};
