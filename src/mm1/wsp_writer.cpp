#include "mm1/wsp_writer.h"

namespace mm1 {

void WspWriter::WriteUintvar(std::uint32_t value) {
  std::uint8_t octets[5];
  std::size_t count = 0;
  do {
    octets[count++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (count > 1) WriteU8(static_cast<std::uint8_t>(octets[--count] | 0x80));
  WriteU8(octets[0]);
}

void WspWriter::WriteValueLength(std::size_t length) {
  if (length <= 30) {
    WriteU8(static_cast<std::uint8_t>(length));
    return;
  }
  WriteU8(31);
  WriteUintvar(static_cast<std::uint32_t>(length));
}

void WspWriter::WriteLongInteger(std::uint64_t value) {
  std::uint8_t octets[8];
  std::size_t count = 0;
  do {
    octets[count++] = static_cast<std::uint8_t>(value & 0xFF);
    value >>= 8;
  } while (value != 0);
  WriteU8(static_cast<std::uint8_t>(count));
  while (count > 0) WriteU8(octets[--count]);
}

void WspWriter::WriteIntegerValue(std::uint64_t value) {
  if (value < 0x80) {
    WriteShortInteger(static_cast<std::uint8_t>(value));
  } else {
    WriteLongInteger(value);
  }
}

void WspWriter::WriteTextString(std::string_view text) {
  // The reader drops a leading Quote, so a text that starts with one needs its own in front too.
  if (!text.empty() && static_cast<unsigned char>(text.front()) >= 0x7F) WriteU8(0x7F);
  for (char c : text) WriteU8(static_cast<std::uint8_t>(c));
  WriteU8(0);
}

void WspWriter::WriteQuotedString(std::string_view text) {
  WriteU8(0x22);
  for (char c : text) WriteU8(static_cast<std::uint8_t>(c));
  WriteU8(0);
}

void WspWriter::WriteWithLength(const WspWriter& inner) {
  WriteValueLength(inner.Size());
  WriteBytes(inner.Bytes());
}

}  // namespace mm1
