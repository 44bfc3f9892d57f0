#include "sound_sink.h"

#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/kernel/clock.h"
#include "platform/kernel/device.h"
#include "platform/kernel/temporary_files.h"
#include "platform/registry/registry.h"

namespace media_engine {
namespace {

// Ten minutes of stereo at 48 kHz: what the null sink keeps at most.
constexpr size_t kMaxKeptSamples = 10u * 60 * 48000 * 2;
// Frames the SDL device takes from its queue at a time.
constexpr Uint16 kDeviceBlockFrames = 1024;

void PutLe32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}
void PutLe16(std::string& out, uint16_t value) {
  out.push_back(static_cast<char>(value));
  out.push_back(static_cast<char>(value >> 8));
}

class NullSink : public SoundSink {
 public:
  NullSink(int rate, int channels, std::filesystem::path file)
      : m_rate(rate), m_channels(channels), m_file(std::move(file)) {}
  ~NullSink() override { WriteFile(); }
  void Write(const int16_t* samples, size_t frames) override {
    size_t count = frames * static_cast<size_t>(m_channels);
    if (m_samples.size() + count > kMaxKeptSamples) return;
    m_samples.insert(m_samples.end(), samples, samples + count);
  }
  void Pause(bool) override {}
  void Flush() override {}
  uint32_t LeadMs() const override { return 0; }

 private:
  // The WAV file is written under a temporary name and renamed over the last one.
  void WriteFile() {
    if (m_file.empty()) return;
    uint32_t dataBytes = static_cast<uint32_t>(m_samples.size() * 2);
    std::string header = "RIFF";
    PutLe32(header, 36 + dataBytes);
    header += "WAVEfmt ";
    PutLe32(header, 16);
    PutLe16(header, 1);
    PutLe16(header, static_cast<uint16_t>(m_channels));
    PutLe32(header, static_cast<uint32_t>(m_rate));
    PutLe32(header, static_cast<uint32_t>(m_rate * m_channels * 2));
    PutLe16(header, static_cast<uint16_t>(m_channels * 2));
    PutLe16(header, 16);
    header += "data";
    PutLe32(header, dataBytes);
    std::filesystem::path temporary = m_file;
    temporary += platform::TemporarySuffix();
    std::error_code error;
    std::filesystem::create_directories(m_file.parent_path(), error);
    {
      std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
      out.write(header.data(), static_cast<std::streamsize>(header.size()));
      out.write(reinterpret_cast<const char*>(m_samples.data()), static_cast<std::streamsize>(dataBytes));
      if (!out) return;
    }
    std::filesystem::rename(temporary, m_file, error);
  }

  int m_rate;
  int m_channels;
  std::filesystem::path m_file;
  std::vector<int16_t> m_samples;
};

// SDL keeps this thread's error text until it quits, and the library may be unloaded with the
// engine: the text is freed when nothing else of SDL is in use.
void ReleaseSdlAudio(bool taken) {
  if (taken) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_TLSCleanup();
}

// SDL2's audio device, fed through its queue. Its audio subsystem is taken for each sink and given
// back when the sink closes, so that a host which uses SDL itself keeps its own count.
class SdlSink : public SoundSink {
 public:
  SdlSink(SDL_AudioDeviceID device, int rate, int channels)
      : m_device(device), m_bytesPerSecond(static_cast<uint32_t>(rate * channels * 2)),
        m_bytesPerFrame(static_cast<size_t>(channels) * 2) {}
  ~SdlSink() override {
    // What is queued has not been heard yet: the end of a sound plays out before the device closes.
    if (!m_paused) Drain();
    SDL_CloseAudioDevice(m_device);
    ReleaseSdlAudio(true);
  }
  // The device starts with the first samples, so that it plays no silence of its own before them.
  void Write(const int16_t* samples, size_t frames) override {
    SDL_QueueAudio(m_device, samples, static_cast<Uint32>(frames * m_bytesPerFrame));
    if (!m_paused && !m_started) {
      SDL_PauseAudioDevice(m_device, 0);
      m_started = true;
    }
  }
  void Pause(bool paused) override {
    m_paused = paused;
    if (m_started) SDL_PauseAudioDevice(m_device, paused ? 1 : 0);
  }
  void Flush() override { SDL_ClearQueuedAudio(m_device); }
  uint32_t LeadMs() const override { return 150; }

 private:
  // Waits, bounded by what the queue holds, until the device has taken the queue and played the
  // block it took last.
  void Drain() {
    if (!m_started) return;
    const Uint32 queued = SDL_GetQueuedAudioSize(m_device);
    const Uint32 blockMs = 1000u * kDeviceBlockFrames * static_cast<Uint32>(m_bytesPerFrame) / m_bytesPerSecond;
    const Uint32 deadline = SDL_GetTicks() + static_cast<Uint32>(uint64_t{queued} * 1000 / m_bytesPerSecond) + blockMs + 100;
    while (SDL_GetQueuedAudioSize(m_device) > 0 && SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_PLAYING &&
           static_cast<int32_t>(deadline - SDL_GetTicks()) > 0) {
      SDL_Delay(5);
    }
    SDL_Delay(blockMs + 1);
  }

  SDL_AudioDeviceID m_device;
  uint32_t m_bytesPerSecond;
  size_t m_bytesPerFrame;
  bool m_paused = false;
  bool m_started = false;
};

// Plays through one sink and keeps the same sound through another, so that a sound played aloud is
// still written to the played file when one is named.
class TeeSink : public SoundSink {
 public:
  TeeSink(std::unique_ptr<SoundSink> heard, std::unique_ptr<SoundSink> kept)
      : m_heard(std::move(heard)), m_kept(std::move(kept)) {}
  void Write(const int16_t* samples, size_t frames) override {
    m_heard->Write(samples, frames);
    m_kept->Write(samples, frames);
  }
  void Pause(bool paused) override {
    m_heard->Pause(paused);
    m_kept->Pause(paused);
  }
  void Flush() override {
    m_heard->Flush();
    m_kept->Flush();
  }
  uint32_t LeadMs() const override { return m_heard->LeadMs(); }

 private:
  std::unique_ptr<SoundSink> m_heard;
  std::unique_ptr<SoundSink> m_kept;
};

std::unique_ptr<SoundSink> OpenSdlSink(int rate, int channels) {
  if (platform::IsVirtualClock()) return nullptr;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    ReleaseSdlAudio(false);
    return nullptr;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = rate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = static_cast<Uint8>(channels);
  wanted.samples = kDeviceBlockFrames;
  // SDL converts to what the device takes: the samples given are the sound's own.
  SDL_AudioDeviceID device = SDL_GetNumAudioDevices(0) > 0 ? SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0) : 0;
  if (device == 0) {
    ReleaseSdlAudio(true);
    return nullptr;
  }
  return std::make_unique<SdlSink>(device, rate, channels);
}

}  // namespace

std::u16string AudioSetting(const char16_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Audio", 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  WCHAR text[MAX_PATH] = {};
  DWORD size = sizeof text - sizeof(WCHAR);
  DWORD type = REG_NONE;
  std::u16string value;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    value = text;
  }
  RegCloseKey(key);
  return value;
}

std::unique_ptr<SoundSink> OpenSoundSink(int rate, int channels) {
  std::filesystem::path file;
  std::u16string played = AudioSetting(u"PlayedFile");
  if (!played.empty()) {
    if (auto host = platform::HostPath(played)) file = *host;
  }
  auto sdl = OpenSdlSink(rate, channels);
  if (!sdl) return std::make_unique<NullSink>(rate, channels, file);
  if (file.empty()) return sdl;
  return std::make_unique<TeeSink>(std::move(sdl), std::make_unique<NullSink>(rate, channels, file));
}

}  // namespace media_engine
