#include "sound_sink.h"

#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/clock.h"
#include "platform/device.h"
#include "platform/temporary_files.h"
#include "platform/registry.h"

namespace media_engine {
namespace {

// Ten minutes of stereo at 48 kHz: what the null sink keeps at most.
constexpr size_t kMaxKeptSamples = 10u * 60 * 48000 * 2;

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

class SdlSink : public SoundSink {
 public:
  explicit SdlSink(SDL_AudioDeviceID device) : m_device(device) { SDL_PauseAudioDevice(m_device, 0); }
  ~SdlSink() override { SDL_CloseAudioDevice(m_device); }
  void Write(const int16_t* samples, size_t frames) override {
    SDL_QueueAudio(m_device, samples, static_cast<Uint32>(frames * m_bytesPerFrame));
  }
  void Pause(bool paused) override { SDL_PauseAudioDevice(m_device, paused ? 1 : 0); }
  void Flush() override { SDL_ClearQueuedAudio(m_device); }
  uint32_t LeadMs() const override { return 150; }
  size_t m_bytesPerFrame = 2;

 private:
  SDL_AudioDeviceID m_device;
};

std::unique_ptr<SoundSink> OpenSdlSink(int rate, int channels) {
  if (platform::IsVirtualClock()) return nullptr;
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  if (SDL_GetNumAudioDevices(0) <= 0) return nullptr;
  SDL_AudioSpec wanted{};
  wanted.freq = rate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = static_cast<Uint8>(channels);
  wanted.samples = 1024;
  SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (device == 0) return nullptr;
  auto sink = std::make_unique<SdlSink>(device);
  sink->m_bytesPerFrame = static_cast<size_t>(channels) * 2;
  return sink;
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
  if (auto sink = OpenSdlSink(rate, channels)) return sink;
  std::filesystem::path file;
  std::u16string played = AudioSetting(u"PlayedFile");
  if (!played.empty()) {
    if (auto host = platform::HostPath(played)) file = *host;
  }
  return std::make_unique<NullSink>(rate, channels, file);
}

}  // namespace media_engine
