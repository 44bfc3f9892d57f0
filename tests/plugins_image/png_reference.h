// A PNG read straight through libpng, for checking the codec against the corpus: red, green, blue
// and alpha as stored (palettes and grey expanded, 16-bit samples cut to 8, no gamma applied), and
// the same picture blended over white as decoded pictures are drawn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace codec_test {

struct ReferencePng {
  bool ok = false;
  std::vector<uint8_t> rgb;
  std::vector<uint8_t> alpha;
};
ReferencePng ReadReferencePng(const std::string& bytes);
// Each pixel's colour blended with white by its alpha, rounded to the nearest value.
std::vector<uint8_t> OverWhite(const ReferencePng& png);

// A PNG of 8-bit samples in the colour type given (PNG_COLOR_TYPE_...), one row after another;
// `transparentGrey` adds a tRNS chunk that makes that grey value transparent.
std::string WriteTestPng(int width, int height, int colorType, const std::vector<uint8_t>& samples,
                         int transparentGrey = -1);

}  // namespace codec_test
