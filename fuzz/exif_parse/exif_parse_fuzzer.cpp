// The input is a TIFF block as found after "Exif\0\0"; it is parsed, and then wrapped in an APP1
// segment whose dimensions are rewritten and parsed again.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engines/jpeg_segments.h"
#include "engines/tiff_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ExifInfo info;
  DWORD mask = 0;
  ParseTiff(data, static_cast<DWORD>(size), &info, &mask);
  if (size > 0xFFF0) return 0;
  std::vector<uint8_t> segment = {0xFF, 0xE1, static_cast<uint8_t>((size + 8) >> 8), static_cast<uint8_t>(size + 8),
                                  'E', 'x', 'i', 'f', 0, 0};
  segment.insert(segment.end(), data, data + size);
  UpdateExifDimensions(segment.data(), static_cast<DWORD>(segment.size()), 640, 480);
  ParseTiff(segment.data() + 10, static_cast<DWORD>(size), &info, &mask);
  return 0;
}
