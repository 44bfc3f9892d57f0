#include <cstring>

#include "frame_walkers.h"
#include "qcp_file.h"

namespace media_formats {

std::optional<uint32_t> CountedDurationMs(std::span<const uint8_t> bytes) {
  if (auto amr = WalkAmr(bytes)) return amr->frames * 20;
  if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 && std::memcmp(bytes.data() + 8, "QLCM", 4) == 0) {
    QcpFile file;
    if (ParseQcp(bytes, file) != QcpStatus::kOk) return std::nullopt;
    return file.DurationMs();
  }
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "MThd", 4) == 0) return MidiDurationMs(bytes);
  if (bytes.size() >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xF6) == 0xF0) return AdtsDurationMs(bytes);
  if ((bytes.size() >= 3 && std::memcmp(bytes.data(), "ID3", 3) == 0) ||
      (bytes.size() >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0)) {
    return MpegAudioDurationMs(bytes);
  }
  return std::nullopt;
}

}  // namespace media_formats
