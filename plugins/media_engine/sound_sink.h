// Where played sound goes: SDL2's audio device on the real clock when the device has one, else a
// null sink that keeps what it was given and writes it as a WAV file named by a device setting
// (HKLM "\Platform\Audio" PlayedFile), so that headless runs and tests can hear with their eyes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace media_engine {

class SoundSink {
 public:
  virtual ~SoundSink() = default;
  virtual void Write(const int16_t* samples, size_t frames) = 0;
  virtual void Pause(bool paused) = 0;
  // Forgets what has not been heard yet (a stop).
  virtual void Flush() = 0;
  // How far ahead of the clock the player should decode, in ms.
  virtual uint32_t LeadMs() const = 0;
};

// The sink for a sound of this rate and layout.
std::unique_ptr<SoundSink> OpenSoundSink(int rate, int channels);

// Reads a device setting of HKLM "\Platform\Audio" (a device path); empty when unset.
std::u16string AudioSetting(const char16_t* name);

}  // namespace media_engine
