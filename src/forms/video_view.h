// CVideoView ("VideoView_Class"): a child window that shows one video file with its own play and
// stop toolbar and progress: the first frame as a still while it does not play, the running video
// while it plays, the frame where it was paused. It drives the shared video engine, which reports
// through the window messages 1225 (end), 1226 (state) and 1227 (progress).
#pragma once

#include <functional>
#include <memory>

#include "engines/dib_image.h"
#include "platform/controls/toolbar_api.h"
#include "transport/mms_global.h"
#include "ui/keep_awake_timer.h"
#include "ui/playback_toolbar.h"
#include "ui/progress_bar.h"
#include "ui/wnd_base.h"

inline constexpr const WCHAR* kVideoViewClass = u"VideoView_Class";
constexpr UINT_PTR kVideoKeepAwakeTimer = 4247;
constexpr UINT kVideoKeepAwakeMs = 4247;
constexpr UINT WM_VIDEO_VIEW_PAUSED = 1226;
constexpr UINT WM_VIDEO_VIEW_ENDED = 1291;  // posted to the parent when the video played to its end
constexpr UINT WM_VIDEO_VIEW_MENU = 1294;   // posted to the parent after the menu bar's notification
constexpr WORD kVideoStopCommand = kStopCommand;
constexpr WORD kVideoToolbarId = 40499;

class CVideoView : public CWndBase {
 public:
  // engine null: the process's shared video engine, taken on the first load.
  explicit CVideoView(ULC_VideoEngine* engine = nullptr);
  ~CVideoView() override;

  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  BOOL Create(HWND parent, const RECT& rect);
  // False for a file that does not exist; otherwise true, also when the engine does not take the
  // file (the view then shows its name on white and LoadFailed is set).
  bool Load(LPCWSTR path, HWND owner, bool autoPlay);
  void Resize(const RECT& rect);
  // The client rectangle less 2 pixels at each side and the toolbar at the bottom.
  RECT VideoArea();

  bool LoadFailed() const { return m_loadFailed; }
  bool ShowsNothing() const { return m_showsNothing; }
  bool ForwardLocked() const { return m_forwardLock; }
  bool PlayShown() const { return m_buttons.PlayShown(); }
  bool KeepAwakeRunning() const { return m_keepAwake.Running(); }
  int Position() const { return m_position; }
  int Duration() const { return m_duration; }
  SIZE VideoSize() const { return m_videoSize; }
  const DibImage* Still() const { return m_still.get(); }
  const DibImage* PausedPicture() const { return m_paused.get(); }
  ULC_VideoEngine* Engine() const { return m_engine; }
  HWND Toolbar() const { return m_toolbar; }
  ProgressBar* Progress() { return m_progress.get(); }
  // Called on every keep-awake tick; SystemIdleTimerReset unless replaced.
  void SetIdleReset(std::function<void()> reset) { m_keepAwake.SetIdleReset(std::move(reset)); }

 protected:
  LRESULT OnPlay(WPARAM wParam, LPARAM lParam);
  LRESULT OnPause(WPARAM wParam, LPARAM lParam);
  LRESULT OnStop(WPARAM wParam, LPARAM lParam);
  LRESULT OnPaused(WPARAM wParam, LPARAM lParam);
  LRESULT OnEnded(WPARAM wParam, LPARAM lParam);
  LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnLoseFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

 private:
  void BuildToolbar();
  void DestroyToolbar();
  void MakeStill();
  bool OpenInEngine();
  void ShowPlayButton(bool play);
  void StartKeepAwake();
  void StopKeepAwake();
  void PauseIfPlaying();
  void DrawName(HDC hdc, const RECT& area);

  ULC_VideoEngine* m_engine;
  CString m_path;
  HWND m_owner = nullptr;
  SIZE m_videoSize{};
  int m_duration = -1;  // not asked yet
  int m_position = 0;
  std::unique_ptr<DibImage, DibImageDeleter> m_still;
  std::unique_ptr<DibImage, DibImageDeleter> m_paused;
  bool m_loadFailed = true;
  bool m_showsNothing = true;
  bool m_forwardLock = false;
  bool m_menuMark = false;
  KeepAwakeTimer m_keepAwake{kVideoKeepAwakeTimer, kVideoKeepAwakeMs};
  HWND m_toolbar = nullptr;
  HIMAGELIST m_images = nullptr;
  PlaybackToolbar m_buttons;
  std::unique_ptr<ProgressBar> m_progress;
};
