// Play times counted from the frames and headers of a file, where containers carry none or carry an
// estimate: raw AMR-NB and AMR-WB (RFC 4867 storage format), ADTS AAC, MPEG audio with its Xing or
// Info frame and LAME delay and padding, and Standard MIDI Files with their tempo maps.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace media_formats {

enum class AmrKind { kNarrowband, kWideband };

// The bytes of one AMR frame of a frame type, header byte included; 0 for types that do not occur.
uint32_t AmrFrameBytes(AmrKind kind, uint8_t frameType);

struct AmrStream {
  AmrKind kind = AmrKind::kNarrowband;
  size_t firstFrame = 0;  // offset after the magic
  uint32_t frames = 0;    // whole frames; a cut last frame does not count
};

// The storage format's magic and frame walk; nothing for another magic or no frame.
std::optional<AmrStream> WalkAmr(std::span<const uint8_t> bytes);

// ADTS: frames x 1024 samples at the first header's rate.
std::optional<uint32_t> AdtsDurationMs(std::span<const uint8_t> bytes);

// MPEG-1/2/2.5 Layer III (and I, II) after an optional ID3v2 tag: the Xing/Info frame count less the
// LAME tag's delay and padding when present, else the frames found in order.
std::optional<uint32_t> MpegAudioDurationMs(std::span<const uint8_t> bytes);

// Standard MIDI File format 0 or 1: the latest End of Track over all tracks through the tempo map
// (120 bpm until the first Set Tempo). A track length past the end reads what is there.
std::optional<uint32_t> MidiDurationMs(std::span<const uint8_t> bytes);

// The play time by the first bytes' format, for the formats above and QCP; nothing for others.
std::optional<uint32_t> CountedDurationMs(std::span<const uint8_t> bytes);

}  // namespace media_formats
