// A timer that keeps the device awake while something plays: on each tick it resets the system
// idle timer. Each player owns one, with its own identifier and period, and starts it exactly
// while it plays.
#pragma once

#include <functional>
#include <utility>

#include "platform/window/window_api.h"

// The playback timer of the read view, which the sound preview of the save-objects window shares.
constexpr UINT_PTR kPlaybackKeepAwakeTimer = 4183;
constexpr UINT kPlaybackKeepAwakeMs = 5000;

class KeepAwakeTimer {
 public:
  KeepAwakeTimer(UINT_PTR id, UINT periodMs);
  ~KeepAwakeTimer();
  KeepAwakeTimer(const KeepAwakeTimer&) = delete;
  KeepAwakeTimer& operator=(const KeepAwakeTimer&) = delete;

  // Starts the timer on `window`'s WM_TIMER; nothing when it runs already.
  void Start(HWND window);
  void Stop();
  bool Running() const { return m_handle != 0; }
  // For WM_TIMER: true when the tick was this timer's, after the idle timer was reset.
  bool Tick(UINT_PTR id);
  // Replaces SystemIdleTimerReset (tests count the ticks).
  void SetIdleReset(std::function<void()> reset) { m_idleReset = std::move(reset); }

 private:
  UINT_PTR m_id;
  UINT m_periodMs;
  HWND m_window = nullptr;
  UINT_PTR m_handle = 0;
  std::function<void()> m_idleReset;
};
