// One engine object: a sound, or a video with its sound, played on the device clock. A thread
// timer ticks every 30 ms on the user-interface thread: it decodes up to the clock's position into
// the sink, draws the video frame due, and sends the progress and end notifications. An end notice
// reaches its window while the state still reads "playing"; the state changes only after it, and
// not at all when the window's handler already changed it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engines/media_engine_abi.h"
#include "pcm_source.h"
#include "platform/window/window_api.h"
#include "sound_sink.h"
#include "video_frames.h"

namespace media_engine {

inline constexpr UINT kTickMs = 30;

// The play time of a file in ms as counted from its frames and headers, else as its container
// says; -1 when unknown or unreadable.
int32_t FileDurationMs(const std::filesystem::path& host);

class Engine {
 public:
  enum class Kind { kAudio = 1, kVideo = 2 };
  explicit Engine(Kind kind) : m_kind(kind) {}
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  int32_t LoadAudio(const char16_t* path, HWND window);
  void SetRegion(HWND window, RECT region);
  bool HasRegion() const { return m_videoWindow != nullptr; }
  int32_t LoadVideo(const char16_t* path);
  void Play(int volume);
  void Pause();
  void Stop();
  void Unload();
  int32_t state() const { return m_state; }
  bool finished() const { return m_finished; }
  // The frame on screen, as a new picture the caller frees; null when none was drawn.
  DibImage* CaptureFrame() const;
  void ReleaseNotifications() { m_window = nullptr; m_videoWindow = nullptr; }

 private:
  static void TimerProc(HWND, UINT, UINT_PTR id, DWORD);
  void Tick();
  uint32_t Position() const;
  void Produce(uint32_t untilMs);
  void ShowFramesUntil(uint32_t positionMs);
  void DrawFrame(const AVFrame* frame);
  void StartTimer(uint32_t elapse);
  void StopTimer();
  void Finish();
  // After a stop or the end: a sound stays loaded and plays again from the start; a video is
  // unloaded.
  void Settle();
  void NotifyVideoState(uint32_t positionMs);
  bool OpenSound();

  Kind m_kind;
  int32_t m_state = engine_state::kIdle;
  HWND m_window = nullptr;       // audio notifications
  HWND m_videoWindow = nullptr;  // video drawing and notifications
  RECT m_region{};
  std::filesystem::path m_file;
  // The device path of a protected video; each start of it spends a play.
  std::u16string m_protectedPath;
  // Its content as the DRM service decrypted it, read by both the picture and the sound.
  std::shared_ptr<const std::vector<uint8_t>> m_protectedBytes;
  uint32_t m_durationMs = 0;
  uint32_t m_basePosition = 0;  // position when the clock last resumed
  DWORD m_resumeTick = 0;
  int m_volume = 100;
  uint32_t m_serial = 0;  // changes with every state change made through a call
  bool m_finished = false;
  UINT_PTR m_timer = 0;

  std::unique_ptr<PcmSource> m_source;
  std::unique_ptr<SoundSink> m_sink;
  uint64_t m_framesProduced = 0;

  std::unique_ptr<MediaInput> m_videoInput;
  std::unique_ptr<VideoDecoder> m_decoder;
  FramePointer m_nextFrame;
  int64_t m_nextFrameMs = 0;
  DibImage* m_shown = nullptr;  // the last frame drawn, at the region's size
};

}  // namespace media_engine
