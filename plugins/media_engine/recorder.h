// The record engine: 8 kHz mono from the microphone, encoded to AMR-NB 12.2 kbit/s with
// opencore-amr into an RFC 4867 storage-format file, on the device clock. The microphone is a WAV
// file named by the device setting HKLM "\Platform\Audio" Microphone (headless runs and tests),
// else SDL2's capture device on the real clock; without either there is nothing to record from. The file is written under a temporary name and takes
// its own name when recording stops; recording stops by itself before the file would pass the limit.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "pcm_source.h"
#include "platform/window/window_api.h"

namespace media_engine {

class Recorder {
 public:
  Recorder() = default;
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  bool Start(const char16_t* path, HWND window, int32_t limit);
  void Stop();

 private:
  static void TimerProc(HWND, UINT, UINT_PTR id, DWORD);
  void Tick();
  bool EncodeFrame();
  // Encodes the frames the clock has reached; false when the next would pass the limit.
  bool EncodeDue();
  bool ReadMicrophone(int16_t* samples);

  std::filesystem::path m_file;
  std::filesystem::path m_partial;
  std::vector<uint8_t> m_bytes;
  HWND m_window = nullptr;
  uint32_t m_limit = 0;
  uint32_t m_framesDone = 0;
  DWORD m_startTick = 0;
  UINT_PTR m_timer = 0;
  void* m_encoder = nullptr;
  std::unique_ptr<PcmSource> m_microphone;
  uint32_t m_capture = 0;  // SDL2's capture device, when recording from it
  bool m_recording = false;
};

}  // namespace media_engine
