#include "bmp_rle.h"

#include "codec_io.h"

namespace image_codec {
namespace {

// The grammar, two bytes at a time:
//   count > 0, value       a run of `count` pixels (RLE4: the two nibbles of value alternate)
//   0, 0                   end of line          0, 1   end of bitmap
//   0, 2, dx, dy           move right dx and up dy
//   0, n >= 3, n pixels    absolute run, padded to a 16-bit boundary
class RleWriter {
 public:
  RleWriter(uint32_t width, uint32_t height, std::vector<uint8_t>& indices)
      : m_width(width), m_height(height), m_indices(indices) {}
  void Put(uint8_t index) {
    if (m_x < m_width && m_y < m_height) m_indices[size_t{m_y} * m_width + m_x] = index;
    ++m_x;
  }
  void NextLine() {
    m_x = 0;
    ++m_y;
  }
  void Move(uint32_t dx, uint32_t dy) {
    m_x += dx;
    m_y += dy;
  }
  bool Done() const { return m_y >= m_height; }

 private:
  uint32_t m_width;
  uint32_t m_height;
  uint32_t m_x = 0;
  uint32_t m_y = 0;
  std::vector<uint8_t>& m_indices;
};

bool ReadAbsolute(ByteCursor& cursor, uint8_t count, bool fourBit, RleWriter& writer) {
  uint32_t bytes = fourBit ? (count + 1u) / 2 : count;
  uint8_t value = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (fourBit) {
      if (i % 2 == 0 && !cursor.ReadU8(value)) return false;
      writer.Put(static_cast<uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F));
    } else {
      if (!cursor.ReadU8(value)) return false;
      writer.Put(value);
    }
  }
  return bytes % 2 == 0 || cursor.Skip(1);
}

}  // namespace

bool DecodeBmpRle(std::span<const uint8_t> data, bool fourBit, uint32_t width, uint32_t height,
                  std::vector<uint8_t>& indices) {
  indices.assign(size_t{width} * height, 0);
  RleWriter writer(width, height, indices);
  ByteCursor cursor(data);
  while (!writer.Done()) {
    uint8_t count = 0, value = 0;
    if (!cursor.ReadU8(count) || !cursor.ReadU8(value)) return true;  // data ended: keep what was drawn
    if (count > 0) {
      for (uint32_t i = 0; i < count; ++i) {
        writer.Put(fourBit ? static_cast<uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
      }
    } else if (value == 0) {
      writer.NextLine();
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      uint8_t dx = 0, dy = 0;
      if (!cursor.ReadU8(dx) || !cursor.ReadU8(dy)) return false;
      writer.Move(dx, dy);
    } else if (!ReadAbsolute(cursor, value, fourBit, writer)) {
      return false;
    }
  }
  return true;
}

}  // namespace image_codec
