// Decoded sound as interleaved 16-bit samples, whatever the file: FFmpeg's decoders for most
// formats; opencore-amr for raw AMR-NB, whose comfort-noise (SID) and NO_DATA frames FFmpeg drops;
// our QCP packet walk, which plays blank packets as silence; FluidSynth for MIDI.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace media_engine {

class PcmSource {
 public:
  virtual ~PcmSource() = default;
  int rate() const { return m_rate; }
  int channels() const { return m_channels; }
  // Fills up to `frames` frames; fewer only at the end of the sound.
  size_t Read(int16_t* out, size_t frames);

 protected:
  // Appends the next decoded block to `pending`; false at the end.
  virtual bool Decode(std::vector<int16_t>& pending) = 0;
  int m_rate = 8000;
  int m_channels = 1;

 private:
  std::vector<int16_t> m_pending;
  size_t m_consumed = 0;
  bool m_ended = false;
};

// The sound of a file (the audio track of a video); null when it has none that decodes.
std::unique_ptr<PcmSource> OpenPcmSource(const std::filesystem::path& host);
// The same over bytes held in memory (protected content that the DRM service decrypted).
std::unique_ptr<PcmSource> OpenPcmSource(std::shared_ptr<const std::vector<uint8_t>> bytes);

// Where the General MIDI sound font is; empty when none is installed.
std::filesystem::path SoundFontPath();

}  // namespace media_engine
