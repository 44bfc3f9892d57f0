#include "terminal_width.h"

#include <cstdint>

namespace mmsform_tool {
namespace {

struct Range {
  char32_t first, last;
};

// Combining marks of the scripts messages come in, and the joiners.
constexpr Range kZeroWidth[] = {{0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x0610, 0x061A},
                                {0x064B, 0x065F}, {0x0900, 0x0903}, {0x093A, 0x094F}, {0x0E31, 0x0E31},
                                {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E}, {0x200B, 0x200F}, {0xFE00, 0xFE0F}};

constexpr Range kWide[] = {{0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
                           {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
                           {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
                           {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD}};

template <std::size_t N>
bool In(const Range (&ranges)[N], char32_t c) {
  for (const Range& range : ranges) {
    if (c >= range.first && c <= range.last) return true;
  }
  return false;
}

}  // namespace

std::size_t TerminalWidth(std::string_view utf8) {
  std::size_t columns = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (i + length > utf8.size()) length = 1;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    columns += In(kZeroWidth, c) ? 0 : In(kWide, c) ? 2 : 1;
    i += length;
  }
  return columns;
}

std::string PaddedToColumns(const std::string& utf8, std::size_t columns) {
  std::size_t width = TerminalWidth(utf8);
  return width >= columns ? utf8 : utf8 + std::string(columns - width, ' ');
}

}  // namespace mmsform_tool
