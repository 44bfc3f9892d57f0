// Parses the bytes as a QCP file and walks every packet again as a player would.
#include <cstddef>
#include <cstdint>

#include "qcp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  media_formats::QcpFile file;
  if (media_formats::ParseQcp(std::span(data, size), file) != media_formats::QcpStatus::kOk) return 0;
  media_formats::QcpPacketReader reader(file);
  media_formats::QcpPacket packet;
  uint32_t count = 0;
  while (reader.Next(packet)) {
    if (!packet.data.empty() && (packet.data.data() < data || packet.data.data() + packet.data.size() > data + size)) __builtin_trap();
    ++count;
  }
  if (count < file.packetCount) __builtin_trap();
  return 0;
}
