#include <cstring>

#include "byte_cursor.h"
#include "frame_walkers.h"

namespace media_formats {
namespace {

// Speech bytes of each frame type after the header byte (3GPP TS 26.101 and 26.201); SID frames
// are 5 bytes; NO_DATA (15) is the header alone.
constexpr uint8_t kNarrowbandBytes[16] = {12, 13, 15, 17, 19, 20, 26, 31, 5, 0, 0, 0, 0, 0, 0, 0};
constexpr uint8_t kWidebandBytes[16] = {17, 23, 32, 36, 40, 46, 50, 58, 60, 5, 0, 0, 0, 0, 0, 0};
constexpr bool kNarrowbandValid[16] = {true, true, true, true, true, true, true, true, true,
                                       false, false, false, false, false, true, true};
constexpr bool kWidebandValid[16] = {true, true, true, true, true, true, true, true, true, true,
                                     false, false, false, false, true, true};

constexpr uint32_t kAdtsRates[16] = {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050,
                                     16000, 12000, 11025, 8000,  7350,  0,     0,     0};

}  // namespace

uint32_t AmrFrameBytes(AmrKind kind, uint8_t frameType) {
  frameType &= 0x0F;
  const bool* valid = kind == AmrKind::kNarrowband ? kNarrowbandValid : kWidebandValid;
  if (!valid[frameType]) return 0;
  return 1u + (kind == AmrKind::kNarrowband ? kNarrowbandBytes[frameType] : kWidebandBytes[frameType]);
}

std::optional<AmrStream> WalkAmr(std::span<const uint8_t> bytes) {
  AmrStream stream;
  if (bytes.size() >= 6 && std::memcmp(bytes.data(), "#!AMR\n", 6) == 0) {
    stream.firstFrame = 6;
  } else if (bytes.size() >= 9 && std::memcmp(bytes.data(), "#!AMR-WB\n", 9) == 0) {
    stream.kind = AmrKind::kWideband;
    stream.firstFrame = 9;
  } else {
    return std::nullopt;
  }
  ByteCursor cursor(bytes);
  cursor.Seek(stream.firstFrame);
  uint8_t header = 0;
  while (cursor.ReadU8(header)) {
    uint32_t size = AmrFrameBytes(stream.kind, static_cast<uint8_t>(header >> 3));
    if (size == 0 || !cursor.Skip(size - 1)) break;
    ++stream.frames;
  }
  if (stream.frames == 0) return std::nullopt;
  return stream;
}

std::optional<uint32_t> AdtsDurationMs(std::span<const uint8_t> bytes) {
  size_t offset = 0;
  uint64_t samples = 0;
  uint32_t rate = 0;
  while (bytes.size() - offset >= 7) {
    const uint8_t* h = bytes.data() + offset;
    if (h[0] != 0xFF || (h[1] & 0xF6) != 0xF0) break;
    uint32_t frameRate = kAdtsRates[(h[2] >> 2) & 0x0F];
    uint32_t length = (h[3] & 0x03u) << 11 | static_cast<uint32_t>(h[4]) << 3 | h[5] >> 5;
    uint32_t headerBytes = (h[1] & 0x01) ? 7 : 9;
    if (frameRate == 0 || length < headerBytes || length > bytes.size() - offset) break;
    if (rate == 0) rate = frameRate;
    samples += 1024u * ((h[6] & 0x03u) + 1);
    offset += length;
  }
  if (rate == 0 || samples == 0) return std::nullopt;
  return static_cast<uint32_t>(samples * 1000 / rate);
}

}  // namespace media_formats
