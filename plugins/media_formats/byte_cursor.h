// A read position over bytes with their bound: every read is checked, a failed read leaves the
// cursor where it was and reports false.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace media_formats {

class ByteCursor {
 public:
  explicit ByteCursor(std::span<const uint8_t> data) : m_data(data) {}

  size_t position() const { return m_position; }
  size_t remaining() const { return m_data.size() - m_position; }
  size_t size() const { return m_data.size(); }
  std::span<const uint8_t> data() const { return m_data; }

  bool Skip(size_t count) {
    if (count > remaining()) return false;
    m_position += count;
    return true;
  }
  bool Seek(size_t position) {
    if (position > m_data.size()) return false;
    m_position = position;
    return true;
  }
  bool ReadU8(uint8_t& value) {
    if (remaining() < 1) return false;
    value = m_data[m_position++];
    return true;
  }
  bool ReadLe16(uint16_t& value) {
    if (remaining() < 2) return false;
    value = static_cast<uint16_t>(m_data[m_position] | m_data[m_position + 1] << 8);
    m_position += 2;
    return true;
  }
  bool ReadLe32(uint32_t& value) {
    if (remaining() < 4) return false;
    value = Le32(m_position);
    m_position += 4;
    return true;
  }
  bool ReadBe16(uint16_t& value) {
    if (remaining() < 2) return false;
    value = static_cast<uint16_t>(m_data[m_position] << 8 | m_data[m_position + 1]);
    m_position += 2;
    return true;
  }
  bool ReadBe32(uint32_t& value) {
    if (remaining() < 4) return false;
    value = static_cast<uint32_t>(m_data[m_position]) << 24 | static_cast<uint32_t>(m_data[m_position + 1]) << 16 |
            static_cast<uint32_t>(m_data[m_position + 2]) << 8 | m_data[m_position + 3];
    m_position += 4;
    return true;
  }
  bool ReadBytes(std::span<const uint8_t>& out, size_t count) {
    if (count > remaining()) return false;
    out = m_data.subspan(m_position, count);
    m_position += count;
    return true;
  }
  // A MIDI variable-length quantity: at most four bytes of seven bits.
  bool ReadVarLen(uint32_t& value) {
    uint32_t result = 0;
    size_t start = m_position;
    for (int i = 0; i < 4; ++i) {
      uint8_t byte = 0;
      if (!ReadU8(byte)) break;
      result = result << 7 | (byte & 0x7F);
      if ((byte & 0x80) == 0) {
        value = result;
        return true;
      }
    }
    m_position = start;
    return false;
  }

 private:
  uint32_t Le32(size_t at) const {
    return m_data[at] | static_cast<uint32_t>(m_data[at + 1]) << 8 | static_cast<uint32_t>(m_data[at + 2]) << 16 |
           static_cast<uint32_t>(m_data[at + 3]) << 24;
  }

  std::span<const uint8_t> m_data;
  size_t m_position = 0;
};

}  // namespace media_formats
