// SlideTimeline: the presentation's time line. It keeps the position, the current slide and the
// media windows of that slide, and on each tick starts and stops media and tells the read view
// where playback is. The presentation window calls Tick from its 30 ms timer; the time line itself
// owns no window or timer, so that its rules are the same wherever it is driven from.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win_types.h"

// Messages to the read view (wParam, lParam).
constexpr UINT WM_PLAYER_ENDED = 1225;     // ended or stopped (position, total)
constexpr UINT WM_PLAYER_PAUSED = 1226;    // (position, total)
constexpr UINT WM_PLAYER_PROGRESS = 1227;  // (position, total)
constexpr UINT WM_PLAYER_SLIDE = 1228;     // (slide index, 0)
constexpr UINT WM_PLAYER_RESUMED = 1297;
constexpr UINT WM_PLAYER_AT_END = 1323;    // (total, total)

enum class SlideMedia { kPicture, kText, kAudio, kCount };

// Times relative to the slide's start, in milliseconds. A medium the slide lacks is absent.
struct SlideMediaTimes {
  bool present = false;
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
};

struct TimelineSlide {
  std::uint32_t duration = 0;
  SlideMediaTimes media[static_cast<int>(SlideMedia::kCount)];
};

// What the time line makes happen; the presentation window does it.
class TimelineSink {
 public:
  virtual ~TimelineSink() = default;
  // Sent (at once) or posted (queued) to the read view.
  virtual void Notify(UINT message, WPARAM wParam, LPARAM lParam, bool posted) = 0;
  virtual void StartMedia(SlideMedia media) = 0;
  virtual void StopMedia(SlideMedia media) = 0;
  // A scrolling text holds its slide until it is done.
  virtual bool TextNeedsTime() = 0;
};

class SlideTimeline {
 public:
  SlideTimeline(std::vector<TimelineSlide> slides, TimelineSink& sink);

  // The whole presentation, clamped so that the progress messages carry it.
  std::uint32_t Total() const { return m_total; }
  int SlideCount() const { return static_cast<int>(m_slides.size()); }
  int CurrentSlide() const { return m_slide; }
  std::uint32_t Position() const { return m_position; }
  bool Playing() const { return m_playing; }
  bool Ended() const { return m_ended; }

  // Shows slide `index` from its start at `now` (tick count); past the last slide ends the playback.
  void ShowSlide(int index, DWORD now, bool play);
  // One tick at `now`. Returns false once the playback has ended.
  bool Tick(DWORD now);
  void Pause();
  void Resume(DWORD now);
  // Back to before the first slide; tells the read view (1225 with the total).
  void Stop();

 private:
  void ScheduleMedia();
  std::uint32_t SlideStart(int index) const;

  std::vector<TimelineSlide> m_slides;
  TimelineSink& m_sink;
  std::uint32_t m_total = 0;
  int m_slide = -1;
  std::uint32_t m_position = 0;
  std::uint32_t m_slideEnd = 0;
  DWORD m_lastTick = 0;
  bool m_playing = false;
  bool m_ended = false;
  struct Window {
    bool present = false;
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    bool active = false;
  } m_windows[static_cast<int>(SlideMedia::kCount)];
};
