#include "recorder.h"

#include <SDL.h>

#include <algorithm>
#include <fstream>
#include <map>

extern "C" {
#include <opencore-amrnb/interf_enc.h>
}

#include "engines/media_engine_abi.h"
#include "media_input.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/temporary_files.h"
#include "sound_sink.h"

namespace media_engine {
namespace {

constexpr char kMagic[] = "#!AMR\n";
constexpr uint32_t kMaxFrameBytes = 32;
constexpr UINT kRecordTickMs = 30;

// SDL2's default capture device at 8 kHz mono, started; 0 without one (and always on the virtual
// clock, where no real microphone keeps time).
SDL_AudioDeviceID OpenCapture() {
  if (platform::IsVirtualClock()) return 0;
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
  if (SDL_GetNumAudioDevices(1) <= 0) return 0;
  SDL_AudioSpec wanted{};
  wanted.freq = 8000;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = 160;
  SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 1, &wanted, nullptr, 0);
  if (device != 0) SDL_PauseAudioDevice(device, 0);
  return device;
}

std::map<UINT_PTR, Recorder*>& RecordTimers() {
  static std::map<UINT_PTR, Recorder*> timers;
  return timers;
}

}  // namespace

Recorder::~Recorder() {
  Stop();
}

bool Recorder::Start(const char16_t* path, HWND window, int32_t limit) {
  Stop();
  m_file = HostPathOf(path);
  if (m_file.empty() || limit < 1) return false;
  std::u16string microphone = AudioSetting(u"Microphone");
  if (!microphone.empty()) {
    m_microphone = OpenPcmSource(HostPathOf(microphone.c_str()));
  } else {
    m_capture = OpenCapture();
  }
  if (!m_microphone && m_capture == 0) return false;
  m_encoder = Encoder_Interface_init(0);
  if (m_encoder == nullptr) return false;
  m_partial = m_file;
  m_partial += platform::TemporarySuffix();
  m_bytes.assign(kMagic, kMagic + 6);
  m_window = window;
  m_limit = static_cast<uint32_t>(limit);
  m_framesDone = 0;
  m_startTick = GetTickCount();
  m_timer = SetTimer(nullptr, 0, kRecordTickMs, &Recorder::TimerProc);
  if (m_timer == 0) return false;
  RecordTimers()[m_timer] = this;
  m_recording = true;
  return true;
}

void Recorder::Stop() {
  // The frames the clock has reached since the last tick belong to the recording.
  if (m_recording && m_encoder != nullptr) EncodeDue();
  if (m_timer != 0) {
    KillTimer(nullptr, m_timer);
    RecordTimers().erase(m_timer);
    m_timer = 0;
  }
  if (m_encoder != nullptr) {
    Encoder_Interface_exit(m_encoder);
    m_encoder = nullptr;
  }
  m_microphone.reset();
  if (m_capture != 0) {
    SDL_CloseAudioDevice(m_capture);
    m_capture = 0;
  }
  if (!m_recording) return;
  m_recording = false;
  bool written = false;
  {
    std::ofstream out(m_partial, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(m_bytes.data()), static_cast<std::streamsize>(m_bytes.size()));
    out.close();
    written = !out.fail();
  }
  std::error_code error;
  if (written) std::filesystem::rename(m_partial, m_file, error);
  // A clip that could not be put in place leaves nothing behind under its temporary name.
  if (!written || error) std::filesystem::remove(m_partial, error);
}

void Recorder::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = RecordTimers().find(id);
  if (found != RecordTimers().end()) found->second->Tick();
}

// 160 samples of 8 kHz mono: the microphone's sound mixed down and resampled to the nearest
// sample, or silence once it has no more.
bool Recorder::ReadMicrophone(int16_t* samples) {
  if (m_capture != 0) {
    // What the device has not delivered yet is silence: the clock, not the device, keeps time.
    std::fill(samples, samples + 160, 0);
    SDL_DequeueAudio(m_capture, samples, 160 * sizeof(int16_t));
    return true;
  }
  int rate = m_microphone->rate();
  size_t channels = static_cast<size_t>(m_microphone->channels());
  uint64_t first = static_cast<uint64_t>(m_framesDone) * 160 * rate / 8000;
  uint64_t last = static_cast<uint64_t>(m_framesDone + 1) * 160 * rate / 8000;
  size_t count = static_cast<size_t>(last - first);
  // Below 50 Hz some frames fall between two of the microphone's samples: they are silent.
  if (count == 0) {
    std::fill(samples, samples + 160, 0);
    return true;
  }
  std::vector<int16_t> input(count * channels, 0);
  m_microphone->Read(input.data(), count);
  for (size_t i = 0; i < 160; ++i) {
    size_t at = std::min(count - 1, i * count / 160) * channels;
    int sum = 0;
    for (size_t c = 0; c < channels; ++c) sum += input[at + c];
    samples[i] = static_cast<int16_t>(sum / static_cast<int>(channels));
  }
  return true;
}

bool Recorder::EncodeFrame() {
  int16_t samples[160];
  ReadMicrophone(samples);
  uint8_t frame[64];
  int bytes = Encoder_Interface_Encode(m_encoder, MR122, samples, frame, 0);
  if (bytes <= 0 || bytes > static_cast<int>(kMaxFrameBytes)) return false;
  m_bytes.insert(m_bytes.end(), frame, frame + bytes);
  ++m_framesDone;
  return true;
}

bool Recorder::EncodeDue() {
  uint32_t due = (GetTickCount() - m_startTick) / 20;
  while (m_framesDone < due) {
    if (m_bytes.size() + kMaxFrameBytes > m_limit) return false;
    if (!EncodeFrame()) break;
  }
  return true;
}

void Recorder::Tick() {
  if (!EncodeDue()) {
    HWND window = m_window;
    Stop();
    if (window != nullptr) PostMessageW(window, engine_message::kRecordLimit, 0, 0);
    return;
  }
  if (m_window != nullptr) {
    PostMessageW(m_window, engine_message::kRecordProgress, m_bytes.size(), static_cast<LPARAM>(m_framesDone * 20));
  }
}

}  // namespace media_engine
