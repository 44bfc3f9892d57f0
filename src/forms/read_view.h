// CReadView (dialog 210): the full-screen view that plays a received message slide by slide. It
// owns the slide player and the playback toolbar with its progress bar, keeps the playback state
// as the player reports it, enables previous and next by the slide position, keeps the device
// awake while playing, and keeps the current link the text reported.
#pragma once

#include <functional>
#include <memory>

#include "forms/slide_player.h"
#include "platform/controls/toolbar_api.h"
#include "model/message_model.h"
#include "ui/dialog_base.h"
#include "ui/playback_toolbar.h"
#include "ui/progress_bar.h"

constexpr DWORD kReadViewDialog = 210;
constexpr UINT_PTR kKeepAwakeTimer = 4183;
constexpr UINT kKeepAwakeMs = 5000;
constexpr WORD kToolbarId = 40499;
constexpr WORD kStopCommand = 40502;
constexpr WORD kPreviousCommand = 40740;
constexpr WORD kNextCommand = 40739;
constexpr WORD kFullScreenCommand = 40820;
constexpr UINT WM_READ_VIEW_CLOSE = 1268;

namespace read_view {
constexpr int kStopped = 0;
constexpr int kPaused = 1;
constexpr int kPlaying = 2;
}  // namespace read_view

// The toolbar's progress text: position and total as "%02d:%02d / %02d:%02d".
CString ProgressText(int position, int total);

class CReadView : public CDialogBase {
 public:
  // The model outlives the view.
  explicit CReadView(MessageModel* model);
  ~CReadView() override;

  const MessageMap* GetMessageMap() const override;

  // Runs dialog 210 owned by `owner`; true when it ended with 1.
  bool Run(HWND owner);

  int PlaybackState() const { return m_state; }
  bool Ended() const { return m_ended; }
  int CurrentSlide() const { return m_slide; }
  int SlideCount() const { return m_count; }
  bool PreviousEnabled() const;
  bool NextEnabled() const;
  bool KeepAwakeRunning() const { return m_keepAwake != 0; }
  const CString& LinkTarget() const { return m_linkTarget; }
  int LinkType() const { return m_linkType; }
  HWND Toolbar() const { return m_toolbar; }
  ProgressBar* Progress() { return m_progress.get(); }
  CSlidePlayer& Player() { return m_player; }
  // Called on every keep-awake tick; SystemIdleTimerReset unless replaced.
  void SetIdleReset(std::function<void()> reset) { m_idleReset = std::move(reset); }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnClose(WPARAM wParam, LPARAM lParam);
  LRESULT OnPlay(WPARAM wParam, LPARAM lParam);
  LRESULT OnPause(WPARAM wParam, LPARAM lParam);
  LRESULT OnStop(WPARAM wParam, LPARAM lParam);
  LRESULT OnPrevious(WPARAM wParam, LPARAM lParam);
  LRESULT OnNext(WPARAM wParam, LPARAM lParam);
  LRESULT OnFullScreen(WPARAM wParam, LPARAM lParam);
  LRESULT OnEnded(WPARAM wParam, LPARAM lParam);
  LRESULT OnPaused(WPARAM wParam, LPARAM lParam);
  LRESULT OnResumed(WPARAM wParam, LPARAM lParam);
  LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnSlide(WPARAM wParam, LPARAM lParam);
  LRESULT OnAtEnd(WPARAM wParam, LPARAM lParam);
  LRESULT OnPauseRequest(WPARAM wParam, LPARAM lParam);
  LRESULT OnMediaAhead(WPARAM wParam, LPARAM lParam);
  LRESULT OnIgnored(WPARAM wParam, LPARAM lParam);
  LRESULT OnLinkActivated(WPARAM wParam, LPARAM lParam);
  LRESULT OnLinkSelected(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnTap(WPARAM wParam, LPARAM lParam);
  LRESULT OnLoseFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  LRESULT OnCloseView(WPARAM wParam, LPARAM lParam);

 private:
  void BuildToolbar();
  RECT PlayerRect();
  void ShowPlayButton(bool play);
  void UpdateNavigation();
  void StartKeepAwake();
  void StopKeepAwake();
  void PauseUnlessVideoStarting();

  MessageModel* m_model;
  CSlidePlayer m_player;
  HWND m_toolbar = nullptr;
  HIMAGELIST m_images = nullptr;
  PlaybackToolbar m_buttons;
  CString m_toolTips[kMaxToolTips];
  std::unique_ptr<ProgressBar> m_progress;
  int m_slide = 0;
  int m_count = 0;
  int m_state = read_view::kStopped;
  bool m_ended = false;
  bool m_playShown = true;
  bool m_fullScreenButton = false;
  bool m_fullScreen = false;
  bool m_autoPlay = true;
  UINT_PTR m_keepAwake = 0;
  CString m_linkTarget;
  int m_linkType = 0;
  std::function<void()> m_idleReset;
};
