// CSlidePlayer: the read view's handle on playback. It keeps the playback state and the slide
// position, works out the picture and text regions for a rectangle, owns the presentation window
// and hands the view's requests on to it. It holds the backlight on while playing.
#pragma once

#include <memory>

#include "forms/presentation_window.h"
#include "model/message_model.h"
#include "platform/win_types.h"

namespace slide_player {
// Playback state.
constexpr int kStopped = 0;
constexpr int kPaused = 1;
constexpr int kPlaying = 2;
// Display state as the read view sees it.
constexpr int kDisplayLoaded = 0;
constexpr int kDisplayStopped = 1;
constexpr int kDisplayShowing = 2;
constexpr int kDisplayPaused = 3;
constexpr int kDisplayEmpty = 4;
}  // namespace slide_player

// The model's layout fitted to `rect`: its image and text regions scaled from the root layout.
// A layout without a region of a kind gives that kind the default place (picture above, text below).
SlideRegions FitRegions(const MessageLayout& layout, const RECT& rect);

class CSlidePlayer {
 public:
  CSlidePlayer() = default;
  ~CSlidePlayer();
  CSlidePlayer(const CSlidePlayer&) = delete;
  CSlidePlayer& operator=(const CSlidePlayer&) = delete;

  // Makes the presentation window over `rect` of `notify` (the read view) for the model; false
  // leaves the player empty.
  bool Load(HWND notify, const RECT& rect, MessageModel* model, DWORD options);
  // From the stopped state the current slide is shown from its start (and played unless
  // showOnly); from the paused state playback resumes.
  void Play(bool showOnly);
  void Pause();
  void Stop();
  // Back to the first slide without telling anyone, before playing again after the end.
  void Reset();
  // Shows slide `index`, playing it when the player plays; past the last slide ends the playback.
  void GoTo(int index, bool showOnly);
  void SetRect(const RECT& rect, bool fullScreen);
  void SetKeepBacklight(bool keep) { m_keepBacklight = keep; }

  int State() const { return m_state; }
  int DisplayState() const { return m_display; }
  bool IsFullScreen() const { return m_window && m_window->FullScreen(); }
  int CurrentSlide() const { return m_slide; }
  int SlideCount() const;
  std::uint32_t StartTime() const { return m_startTime; }
  std::uint32_t Total() const { return m_total; }
  bool HoldsBacklight() const { return m_power != nullptr; }
  CPresentationWindow* Window() { return m_window.get(); }

  // Called by the presentation window.
  void OnSlideShown(int index);
  void OnStopped();
  void ReleaseBacklight();

 private:
  void HoldBacklight();

  HWND m_notify = nullptr;
  MessageModel* m_model = nullptr;
  std::unique_ptr<CPresentationWindow> m_window;
  int m_state = slide_player::kStopped;
  int m_display = slide_player::kDisplayEmpty;
  int m_slide = 0;
  std::uint32_t m_startTime = 0;
  std::uint32_t m_total = 0;
  bool m_keepBacklight = true;
  HANDLE m_power = nullptr;
};
