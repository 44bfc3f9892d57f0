#include "forms/slide_timeline.h"

#include <algorithm>
#include <utility>

namespace {

// Positions travel in 32-bit message words: a presentation longer than this (slides of
// 0xFFFFFFFF ms) is cut here rather than wrapped round to a short one.
constexpr std::uint64_t kLongestPresentation = 0x7FFFFFFF;

std::uint32_t Clamp(std::uint64_t value) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, kLongestPresentation));
}

}  // namespace

SlideTimeline::SlideTimeline(std::vector<TimelineSlide> slides, TimelineSink& sink)
    : m_slides(std::move(slides)), m_sink(sink) {
  std::uint64_t total = 0;
  for (const TimelineSlide& slide : m_slides) total += slide.duration;
  m_total = Clamp(total);
}

std::uint32_t SlideTimeline::SlideStart(int index) const {
  std::uint64_t start = 0;
  for (int i = 0; i < index; ++i) start += m_slides[i].duration;
  return Clamp(start);
}

void SlideTimeline::ShowSlide(int index, DWORD now, bool play) {
  if (index < 0) index = 0;
  for (int media = 0; media < static_cast<int>(SlideMedia::kCount); ++media) {
    if (m_windows[media].active) m_sink.StopMedia(static_cast<SlideMedia>(media));
    m_windows[media] = {};
  }
  if (index >= SlideCount()) {
    m_playing = false;
    m_ended = true;
    m_sink.Notify(WM_PLAYER_ENDED, m_total, m_total, true);
    return;
  }
  m_slide = index;
  m_ended = false;
  m_playing = play;
  const std::uint32_t start = SlideStart(index);
  m_slideEnd = Clamp(std::uint64_t{start} + m_slides[index].duration);
  m_position = start;
  m_lastTick = now;
  m_sink.Notify(WM_PLAYER_SLIDE, static_cast<WPARAM>(index), 0, false);
  m_sink.Notify(WM_PLAYER_PROGRESS, m_position, m_total, false);
  for (int media = 0; media < static_cast<int>(SlideMedia::kCount); ++media) {
    const SlideMediaTimes& times = m_slides[index].media[media];
    if (!times.present) continue;
    Window& window = m_windows[media];
    window.present = true;
    window.begin = Clamp(std::uint64_t{start} + times.begin);
    const std::uint32_t end = Clamp(std::uint64_t{start} + times.end);
    // A medium without an end of its own lasts the slide.
    window.end = end > start ? end : m_slideEnd;
  }
  // What begins with the slide starts at once, not a tick later.
  ScheduleMedia();
}

void SlideTimeline::ScheduleMedia() {
  const std::uint32_t t = m_position;
  for (int media = 0; media < static_cast<int>(SlideMedia::kCount); ++media) {
    Window& window = m_windows[media];
    if (!window.present) continue;
    const auto kind = static_cast<SlideMedia>(media);
    if (!window.active && window.begin <= t && t <= window.end) {
      m_sink.StartMedia(kind);
      window.active = true;
    } else if (window.active && t > window.end) {
      // The text goes only once its scrolling is done.
      if (kind == SlideMedia::kText && m_sink.TextNeedsTime()) continue;
      m_sink.StopMedia(kind);
      window.active = false;
    }
  }
}

bool SlideTimeline::Tick(DWORD now) {
  if (!m_playing || m_slide < 0) return !m_ended;
  // The position is brought up to the tick before anything is scheduled: a medium due at 1000 ms
  // starts on the first tick at or after it, not one tick later.
  // A slide that stands at its end was held by its text: the time since belongs to the hold.
  const bool wasHeld = m_slideEnd > 0 && m_position >= m_slideEnd;
  m_position = Clamp(std::uint64_t{m_position} + static_cast<DWORD>(now - m_lastTick));
  m_lastTick = now;
  ScheduleMedia();
  const std::uint32_t t = m_position;
  if (t < m_total) {
    if (t >= m_slideEnd) {
      m_sink.Notify(WM_PLAYER_PROGRESS, m_slideEnd, m_total, false);
      if (m_sink.TextNeedsTime()) {
        // A held slide's time stands at its end: released later, the next slide starts at its
        // own start instead of being skipped by the time the text took.
        m_position = m_slideEnd;
      } else {
        ShowSlide(m_slide + 1, now, true);
        // The time past the old slide's end is kept, so that slides do not drift from the clock.
        if (!m_ended && !wasHeld) m_position = std::max(m_position, t);
      }
    } else {
      m_sink.Notify(WM_PLAYER_PROGRESS, t, m_total, false);
    }
    return !m_ended;
  }
  m_sink.Notify(WM_PLAYER_PROGRESS, m_total - (m_total > 0 ? 1 : 0), m_total, false);
  if (m_sink.TextNeedsTime()) {
    m_position = m_total;
    return true;
  }
  m_sink.Notify(WM_PLAYER_AT_END, m_total, m_total, true);
  Stop();
  m_ended = true;
  return false;
}

void SlideTimeline::Pause() {
  if (!m_playing) return;
  m_playing = false;
  m_sink.Notify(WM_PLAYER_PAUSED, m_position, m_total, false);
}

void SlideTimeline::Resume(DWORD now) {
  if (m_playing || m_slide < 0) return;
  m_playing = true;
  m_lastTick = now;
  m_sink.Notify(WM_PLAYER_RESUMED, 0, 0, false);
}

void SlideTimeline::Stop() {
  for (int media = 0; media < static_cast<int>(SlideMedia::kCount); ++media) {
    if (m_windows[media].active) m_sink.StopMedia(static_cast<SlideMedia>(media));
    m_windows[media] = {};
  }
  m_slide = -1;
  m_position = 0;
  m_slideEnd = 0;
  m_lastTick = 0;
  m_playing = false;
  m_sink.Notify(WM_PLAYER_ENDED, m_total, m_total, true);
}
