#include <cstring>

#include "frame_walkers.h"

namespace media_formats {
namespace {

// Bit rates in kbit/s by version group (MPEG-1, MPEG-2/2.5) and layer (I, II, III).
constexpr uint16_t kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};
constexpr uint32_t kRates[3] = {44100, 48000, 32000};

struct FrameHeader {
  uint32_t bytes = 0;
  uint32_t samples = 0;
  uint32_t rate = 0;
  bool mpeg1 = false;
  bool mono = false;
  int layer = 0;
};

bool ReadHeader(const uint8_t* h, FrameHeader& frame) {
  if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
  int version = (h[1] >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
  int layerBits = (h[1] >> 1) & 3;
  int bitrateIndex = h[2] >> 4;
  int rateIndex = (h[2] >> 2) & 3;
  if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
  frame.layer = 4 - layerBits;
  frame.mpeg1 = version == 3;
  frame.rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  frame.mono = (h[3] >> 6) == 3;
  uint32_t bitrate = kBitrates[frame.mpeg1 ? 0 : 1][frame.layer - 1][bitrateIndex] * 1000u;
  uint32_t padding = (h[2] >> 1) & 1;
  if (frame.layer == 1) {
    frame.samples = 384;
    frame.bytes = (12 * bitrate / frame.rate + padding) * 4;
  } else {
    frame.samples = frame.layer == 3 && !frame.mpeg1 ? 576 : 1152;
    frame.bytes = frame.samples / 8 * bitrate / frame.rate + padding;
  }
  return frame.bytes >= 4;
}

uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}

// An ID3v2 tag's whole size (header, synchsafe size, footer), or 0.
size_t Id3v2Size(std::span<const uint8_t> bytes) {
  if (bytes.size() < 10 || std::memcmp(bytes.data(), "ID3", 3) != 0) return 0;
  size_t size = static_cast<size_t>(bytes[6] & 0x7F) << 21 | static_cast<size_t>(bytes[7] & 0x7F) << 14 |
                static_cast<size_t>(bytes[8] & 0x7F) << 7 | (bytes[9] & 0x7F);
  size += 10 + ((bytes[5] & 0x10) ? 10 : 0);
  return size;
}

struct XingInfo {
  uint32_t frames = 0;
  uint32_t delay = 0;
  uint32_t padding = 0;
};

// The Xing or Info tag inside the first frame, with the LAME extension's delay and padding.
bool ReadXing(const uint8_t* frame, const FrameHeader& header, XingInfo& info) {
  size_t side = header.mpeg1 ? (header.mono ? 17 : 32) : (header.mono ? 9 : 17);
  size_t at = 4 + side;
  if (header.layer != 3 || at + 8 > header.bytes) return false;
  const uint8_t* tag = frame + at;
  if (std::memcmp(tag, "Xing", 4) != 0 && std::memcmp(tag, "Info", 4) != 0) return false;
  uint32_t flags = Be32(tag + 4);
  size_t offset = at + 8;
  if (!(flags & 1) || offset + 4 > header.bytes) return false;
  info.frames = Be32(frame + offset);
  offset += 4;
  if (flags & 2) offset += 4;
  if (flags & 4) offset += 100;
  if (flags & 8) offset += 4;
  // LAME extension: 9-byte encoder string, then delay (12 bits) and padding (12 bits) at +21.
  if (offset + 24 <= header.bytes && (std::memcmp(frame + offset, "LAME", 4) == 0 ||
                                      std::memcmp(frame + offset, "Lavf", 4) == 0 ||
                                      std::memcmp(frame + offset, "Lavc", 4) == 0)) {
    const uint8_t* gap = frame + offset + 21;
    info.delay = static_cast<uint32_t>(gap[0]) << 4 | gap[1] >> 4;
    info.padding = (gap[1] & 0x0Fu) << 8 | gap[2];
  }
  return true;
}

}  // namespace

std::optional<uint32_t> MpegAudioDurationMs(std::span<const uint8_t> bytes) {
  size_t offset = Id3v2Size(bytes);
  if (offset >= bytes.size()) return std::nullopt;
  FrameHeader first;
  if (bytes.size() - offset < 4 || !ReadHeader(bytes.data() + offset, first)) return std::nullopt;
  if (first.bytes <= bytes.size() - offset) {
    XingInfo xing;
    if (ReadXing(bytes.data() + offset, first, xing) && xing.frames > 0) {
      uint64_t samples = static_cast<uint64_t>(xing.frames) * first.samples;
      uint64_t trimmed = xing.delay + xing.padding;
      if (trimmed < samples) samples -= trimmed;
      // A count no file holds would wrap round to a plausible length.
      if (samples * 1000 / first.rate > 0x7FFFFFFF) return std::nullopt;
      return static_cast<uint32_t>(samples * 1000 / first.rate);
    }
  }
  uint64_t samples = 0;
  FrameHeader frame;
  while (bytes.size() - offset >= 4 && ReadHeader(bytes.data() + offset, frame)) {
    if (frame.bytes > bytes.size() - offset) break;
    if (frame.rate != first.rate || frame.layer != first.layer) break;
    samples += frame.samples;
    offset += frame.bytes;
  }
  if (samples == 0) return std::nullopt;
  return static_cast<uint32_t>(samples * 1000 / first.rate);
}

}  // namespace media_formats
