#include "engine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "frame_walkers.h"
#include "platform/kernel/clock.h"

namespace media_engine {
namespace {

// Frames decoded in one tick at most, so that a late tick never stalls the interface.
constexpr int kMaxFramesPerTick = 64;

// A timer waits at least this long, whatever it is set to.
constexpr uint32_t kTimerMinimumMs = 10;

// The wait until the next tick: the tick's 30 ms, shortened where the rest of the sound would be
// left shorter than a timer's 10 ms minimum, which would make the end late.
uint32_t NextTickMs(uint32_t remaining) {
  if (remaining <= kTickMs) return remaining;
  if (remaining - kTickMs < kTimerMinimumMs) return remaining - kTimerMinimumMs;
  return kTickMs;
}

std::map<UINT_PTR, Engine*>& Timers() {
  static std::map<UINT_PTR, Engine*> timers;
  return timers;
}

bool HasCountedFormat(const std::vector<uint8_t>& bytes) {
  auto starts = [&](const char* magic, size_t at = 0) {
    size_t length = std::strlen(magic);
    return bytes.size() >= at + length && std::memcmp(bytes.data() + at, magic, length) == 0;
  };
  return starts("#!AMR") || starts("MThd") || (starts("RIFF") && starts("QLCM", 8));
}

SIZE FitRegion(int width, int height, const RECT& region) {
  LONG boxWidth = region.right - region.left, boxHeight = region.bottom - region.top;
  if (boxWidth < 1 || boxHeight < 1 || width < 1 || height < 1) return SIZE{0, 0};
  double scale = std::min(static_cast<double>(boxWidth) / width, static_cast<double>(boxHeight) / height);
  return SIZE{std::max<LONG>(1, static_cast<LONG>(width * scale + 0.5)),
              std::max<LONG>(1, static_cast<LONG>(height * scale + 0.5))};
}

// The container's length when it fits the engine's 31 bits of milliseconds; -1 otherwise.
int32_t ContainerDurationMs(const MediaInput& input) {
  int64_t duration = input.DurationMs();
  return duration > 0 && duration < 0x7FFFFFFF ? static_cast<int32_t>(duration) : -1;
}

}  // namespace

int32_t FileDurationMs(const std::filesystem::path& host) {
  std::vector<uint8_t> bytes = ReadSmallFile(host, kMaxSniffBytes);
  if (!bytes.empty()) {
    if (auto counted = media_formats::CountedDurationMs(bytes)) return *counted > 0 ? static_cast<int32_t>(*counted) : -1;
    // These formats carry no length FFmpeg could do better with: an estimate would be wrong.
    if (HasCountedFormat(bytes)) return -1;
  }
  std::unique_ptr<MediaInput> input = MediaInput::Open(host);
  return input ? ContainerDurationMs(*input) : -1;
}

Engine::~Engine() {
  StopTimer();
  std::free(m_shown);
}

bool Engine::OpenSound() {
  m_source = m_protectedBytes ? OpenPcmSource(m_protectedBytes) : OpenPcmSource(m_file);
  m_framesProduced = 0;
  return m_source != nullptr;
}

int32_t Engine::LoadAudio(const char16_t* path, HWND window) {
  Unload();
  std::filesystem::path host = HostPathOf(path);
  if (host.empty()) return 0;
  int32_t duration = FileDurationMs(host);
  if (duration <= 0) return 0;
  m_file = host;
  if (!OpenSound()) {
    m_file.clear();
    return 0;
  }
  m_durationMs = static_cast<uint32_t>(duration);
  m_window = window;
  m_state = engine_state::kStopped;
  return duration;
}

void Engine::SetRegion(HWND window, RECT region) {
  m_videoWindow = window;
  m_region = region;
}

int32_t Engine::LoadVideo(const char16_t* path) {
  Unload();
  std::filesystem::path host = HostPathOf(path);
  if (host.empty()) return 0;
  const bool protectedContent = IsProtectedContent(path);
  if (protectedContent) m_protectedBytes = ReadProtectedContent(path);
  m_videoInput = protectedContent ? MediaInput::OpenBytes(m_protectedBytes) : MediaInput::Open(host);
  if (m_videoInput) m_decoder = VideoDecoder::Open(*m_videoInput);
  int32_t duration = -1;
  if (m_decoder) duration = protectedContent ? ContainerDurationMs(*m_videoInput) : FileDurationMs(host);
  if (duration <= 0) {
    m_decoder.reset();
    m_videoInput.reset();
    m_protectedBytes.reset();
    return 0;
  }
  m_file = host;
  m_durationMs = static_cast<uint32_t>(duration);
  if (protectedContent) m_protectedPath = path;
  // A video without sound plays in silence.
  OpenSound();
  m_state = engine_state::kLoading;
  m_finished = false;
  return 1;
}

void Engine::Play(int volume) {
  m_volume = std::clamp(volume, 0, 100);
  if (m_state == engine_state::kPaused) {
    // The clock restarts once the sound runs again, so the time the sink takes to wake is not play.
    if (m_sink) m_sink->Pause(false);
    m_resumeTick = GetTickCount();
  } else if (m_state == engine_state::kStopped || m_state == engine_state::kLoading) {
    // Each start of protected content spends a play; with none left the engine refuses to start.
    if (!m_protectedPath.empty() && !SpendPlayRight(m_protectedPath.c_str())) return;
    if (m_framesProduced > 0 && !OpenSound() && m_kind == Kind::kAudio) return;
    m_sink = m_source ? OpenSoundSink(m_source->rate(), m_source->channels()) : nullptr;
    m_basePosition = 0;
    m_resumeTick = GetTickCount();
    m_finished = false;
  } else {
    return;
  }
  const uint32_t from = m_basePosition;
  m_state = engine_state::kPlaying;
  ++m_serial;
  NotifyVideoState(from);
  if (m_kind == Kind::kVideo) ShowFramesUntil(Position());
  StartTimer(NextTickMs(m_durationMs - std::min(m_durationMs, Position())));
}

void Engine::Pause() {
  if (m_state != engine_state::kPlaying) return;
  m_basePosition = Position();
  StopTimer();
  if (m_sink) m_sink->Pause(true);
  // The picture held is the one due at the position held, not the last tick's.
  if (m_kind == Kind::kVideo) ShowFramesUntil(m_basePosition);
  m_state = engine_state::kPaused;
  ++m_serial;
  NotifyVideoState(m_basePosition);
}

// Posted, not sent: it comes from inside the view's own play and pause calls. The position is the
// one play starts, resumes or holds at, not wherever the clock has moved on to since.
void Engine::NotifyVideoState(uint32_t positionMs) {
  if (m_kind != Kind::kVideo || m_videoWindow == nullptr) return;
  PostMessageW(m_videoWindow, engine_message::kVideoState, static_cast<WPARAM>(m_state), static_cast<LPARAM>(positionMs));
}

void Engine::Stop() {
  if (m_state != engine_state::kPlaying && m_state != engine_state::kPaused) return;
  StopTimer();
  if (m_sink) m_sink->Flush();
  m_sink.reset();
  Settle();
}

void Engine::Settle() {
  m_basePosition = 0;
  ++m_serial;
  if (m_kind == Kind::kAudio) {
    m_state = engine_state::kStopped;
  } else {
    Unload();
  }
}

void Engine::Unload() {
  StopTimer();
  m_sink.reset();
  m_source.reset();
  m_nextFrame.reset();
  m_decoder.reset();
  m_videoInput.reset();
  m_file.clear();
  m_protectedPath.clear();
  m_protectedBytes.reset();
  m_basePosition = 0;
  m_state = engine_state::kIdle;
  ++m_serial;
}

DibImage* Engine::CaptureFrame() const {
  if (m_shown == nullptr) return nullptr;
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(m_shown);
  size_t bytes = sizeof(BITMAPINFOHEADER) + header->biSizeImage;
  void* copy = std::malloc(bytes);
  if (copy != nullptr) std::memcpy(copy, m_shown, bytes);
  return static_cast<DibImage*>(copy);
}

uint32_t Engine::Position() const {
  if (m_state != engine_state::kPlaying) return m_basePosition;
  uint64_t position = m_basePosition + static_cast<uint32_t>(GetTickCount() - m_resumeTick);
  return static_cast<uint32_t>(std::min<uint64_t>(position, m_durationMs));
}

void Engine::Produce(uint32_t untilMs) {
  if (!m_source || !m_sink) return;
  size_t channels = static_cast<size_t>(m_source->channels());
  uint64_t target = static_cast<uint64_t>(untilMs) * static_cast<uint64_t>(m_source->rate()) / 1000;
  std::vector<int16_t> block;
  while (m_framesProduced < target) {
    size_t frames = static_cast<size_t>(std::min<uint64_t>(target - m_framesProduced, 4096));
    block.assign(frames * channels, 0);
    // A sound that decodes shorter than its true length is padded with silence.
    m_source->Read(block.data(), frames);
    if (m_volume < 100) {
      for (int16_t& sample : block) sample = static_cast<int16_t>(sample * m_volume / 100);
    }
    m_sink->Write(block.data(), frames);
    m_framesProduced += frames;
  }
}

void Engine::ShowFramesUntil(uint32_t positionMs) {
  if (!m_decoder) return;
  FramePointer due;
  for (int i = 0; i < kMaxFramesPerTick; ++i) {
    if (!m_nextFrame) m_nextFrame = m_decoder->Next(&m_nextFrameMs);
    if (!m_nextFrame || m_nextFrameMs > positionMs) break;
    due = std::move(m_nextFrame);
  }
  if (due) DrawFrame(due.get());
}

void Engine::DrawFrame(const AVFrame* frame) {
  const VideoInfo& info = m_decoder->info();
  SIZE size = FitRegion(info.width, info.height, m_region);
  if (size.cx < 1) size = SIZE{info.width, info.height};
  DibImage* image = FrameToDib(frame, info.rotation, size);
  if (image == nullptr) return;
  std::free(m_shown);
  m_shown = image;
  if (m_videoWindow == nullptr || !IsWindow(m_videoWindow)) return;
  HDC dc = GetDC(m_videoWindow);
  if (dc == nullptr) return;
  int left = m_region.left + (m_region.right - m_region.left - size.cx) / 2;
  int top = m_region.top + (m_region.bottom - m_region.top - size.cy) / 2;
  const auto* header = reinterpret_cast<const BITMAPINFO*>(m_shown);
  StretchDIBits(dc, left, top, size.cx, size.cy, 0, 0, size.cx, size.cy,
                reinterpret_cast<const BYTE*>(m_shown) + sizeof(BITMAPINFOHEADER), header, DIB_RGB_COLORS, SRCCOPY);
  ReleaseDC(m_videoWindow, dc);
}

void Engine::StartTimer(uint32_t elapse) {
  StopTimer();
  m_timer = SetTimer(nullptr, 0, std::max<uint32_t>(elapse, 1), &Engine::TimerProc);
  if (m_timer != 0) Timers()[m_timer] = this;
}

void Engine::StopTimer() {
  if (m_timer == 0) return;
  KillTimer(nullptr, m_timer);
  Timers().erase(m_timer);
  m_timer = 0;
}

void Engine::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = Timers().find(id);
  if (found != Timers().end()) found->second->Tick();
}

void Engine::Tick() {
  if (m_state != engine_state::kPlaying) {
    StopTimer();
    return;
  }
  uint32_t position = Position();
  uint32_t lead = m_sink ? m_sink->LeadMs() : 0;
  Produce(std::min(m_durationMs, position + lead));
  if (m_kind == Kind::kVideo) ShowFramesUntil(position);
  if (position >= m_durationMs) {
    Finish();
    return;
  }
  uint32_t serial = m_serial;
  if (m_kind == Kind::kAudio && m_window != nullptr) {
    SendMessageW(m_window, engine_message::kAudioProgress, position, static_cast<LPARAM>(m_durationMs));
  } else if (m_kind == Kind::kVideo && m_videoWindow != nullptr) {
    SendMessageW(m_videoWindow, engine_message::kVideoProgress, position, static_cast<LPARAM>(m_durationMs));
  }
  if (serial != m_serial || m_state != engine_state::kPlaying) return;
  StartTimer(NextTickMs(m_durationMs - position));
}

void Engine::Finish() {
  StopTimer();
  m_sink.reset();
  m_finished = true;
  uint32_t serial = m_serial;
  if (m_kind == Kind::kAudio && m_window != nullptr) {
    SendMessageW(m_window, engine_message::kAudioProgress, static_cast<WPARAM>(-1), static_cast<LPARAM>(m_durationMs));
  } else if (m_kind == Kind::kVideo && m_videoWindow != nullptr) {
    SendMessageW(m_videoWindow, engine_message::kVideoEnd, 0, static_cast<LPARAM>(m_durationMs));
  }
  if (serial == m_serial) Settle();
}

}  // namespace media_engine
