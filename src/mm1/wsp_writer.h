// Appends WSP-encoded values to a byte buffer: the writing side of WspCursor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace mm1 {

class WspWriter {
 public:
  const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
  std::vector<std::uint8_t> TakeBytes() { return std::move(m_bytes); }
  std::size_t Size() const { return m_bytes.size(); }
  void Reserve(std::size_t size) { m_bytes.reserve(size); }

  void WriteU8(std::uint8_t value) { m_bytes.push_back(value); }
  void WriteBytes(std::span<const std::uint8_t> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
  void WriteUintvar(std::uint32_t value);
  void WriteValueLength(std::size_t length);
  // Short-integer for values below 128.
  void WriteShortInteger(std::uint8_t value) { WriteU8(static_cast<std::uint8_t>(value | 0x80)); }
  void WriteLongInteger(std::uint64_t value);
  // Short-integer when it fits, else Long-integer.
  void WriteIntegerValue(std::uint64_t value);
  // Text-string: quoted with 127 when the first octet has its high bit set, then End-of-string.
  void WriteTextString(std::string_view text);
  // Quoted-string: <Octet 34>, the text, End-of-string.
  void WriteQuotedString(std::string_view text);
  // Value-length followed by the bytes of a nested writer.
  void WriteWithLength(const WspWriter& inner);

 private:
  std::vector<std::uint8_t> m_bytes;
};

}  // namespace mm1
