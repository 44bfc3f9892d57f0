#include "engines/dib_image.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

DibImage* CreateDibImage(LONG width, LONG height, WORD bitCount) {
  if (width <= 0 || height <= 0 || (bitCount != 8 && bitCount != 24)) return nullptr;
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxDibPixels) return nullptr;
  size_t colours = bitCount == 8 ? 256 : 0;
  size_t rowWords = (static_cast<size_t>(width) * bitCount + 31) / 32;
  // Header (10 words), palette (one word an entry) and rows, in 4-byte words.
  size_t bytes = (colours + rowWords * static_cast<size_t>(height) + 10) * 4;
  auto* image = static_cast<DibImage*>(std::calloc(1, bytes));
  if (image == nullptr) return nullptr;
  BITMAPINFOHEADER& header = image->header;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(bytes);
  header.biXPelsPerMeter = 3780;
  header.biYPelsPerMeter = 3780;
  header.biClrUsed = static_cast<DWORD>(colours);
  return image;
}

void FreeDibImage(DibImage* image) {
  auto value = reinterpret_cast<intptr_t>(image);
  if (image == nullptr || value == -1 || value == -2) return;
  std::free(image);
}

size_t DibStride(const DibImage* image) {
  return ((static_cast<size_t>(image->header.biWidth) * image->header.biBitCount + 31) / 32) * 4;
}

RGBQUAD* DibPalette(DibImage* image) {
  return reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(image) + sizeof(BITMAPINFOHEADER));
}

BYTE* DibPixels(DibImage* image) {
  return reinterpret_cast<BYTE*>(image) + sizeof(BITMAPINFOHEADER) + image->header.biClrUsed * sizeof(RGBQUAD);
}

const BYTE* DibPixels(const DibImage* image) { return DibPixels(const_cast<DibImage*>(image)); }

BYTE* DibRowFromTop(DibImage* image, LONG rowFromTop) {
  return DibPixels(image) + DibStride(image) * static_cast<size_t>(image->header.biHeight - 1 - rowFromTop);
}

const BYTE* DibRowFromTop(const DibImage* image, LONG rowFromTop) {
  return DibRowFromTop(const_cast<DibImage*>(image), rowFromTop);
}

void FillDibImage(DibImage* image, BYTE blue, BYTE green, BYTE red) {
  size_t stride = DibStride(image);
  BYTE* first = DibPixels(image);
  for (LONG x = 0; x < image->header.biWidth; ++x) {
    first[x * 3] = blue;
    first[x * 3 + 1] = green;
    first[x * 3 + 2] = red;
  }
  for (LONG y = 1; y < image->header.biHeight; ++y) std::memcpy(first + stride * y, first, stride);
}
