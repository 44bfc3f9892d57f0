// CRecordToolbar ("MMSRECORDTOOLBAR_CLASS"): the strip along the bottom of the composer's audio
// item with record, play (which turns into pause while playing) and stop. Record runs the
// recorder dialog into the path its owner names; play, pause and stop drive the shared audio
// engine on the slide's sound and report the position to the owner.
#pragma once

#include <array>

#include "platform/controls/toolbar_api.h"
#include "platform/text/cstring.h"
#include "ui/playback_toolbar.h"
#include "ui/wnd_base.h"

constexpr const WCHAR* kRecordToolbarClass = u"MMSRECORDTOOLBAR_CLASS";

namespace record_toolbar {
constexpr WORD kRecord = 40016;
constexpr WORD kPlay = 40500;
constexpr WORD kPause = 40501;
constexpr WORD kStop = 40502;
constexpr WORD kButtonsId = 1;  // the platform toolbar inside the strip
constexpr UINT_PTR kPlaybackTimer = 4113;
constexpr UINT kPlaybackTimerMs = 5000;
constexpr int kHeight = 24;  // at 96 dots per inch
// Faces of bitmap 131.
constexpr int kPlayImage = 0, kPauseImage = 1, kStopImage = 2, kRecordImage = 3;
}  // namespace record_toolbar

// The sound the play button plays.
struct RecordToolbarSound {
  CString path;       // empty: the slide has none
  int duration = 0;   // milliseconds, as far as known
  bool protectedContent = false;
};

// Where a new recording goes.
struct RecordToolbarTarget {
  CString path;  // empty: nothing may be recorded now
  int limit = 0;  // bytes
};

// What the toolbar needs from the compose form around it.
class RecordToolbarOwner {
 public:
  virtual ~RecordToolbarOwner() = default;
  // Called before the recorder opens; the form stays busy until RecordingEnded.
  virtual RecordToolbarTarget BeginRecording() = 0;
  virtual void RecordingEnded() = 0;
  // The clip the recorder made, to go into the slide in place of its sound.
  virtual void InsertRecording(const CString& path) = 0;
  virtual RecordToolbarSound SlideSound() = 0;
  // The position of the sound being played, in milliseconds.
  virtual void ShowSoundProgress(int position, int duration) = 0;
};

class CRecordToolbar : public CWndBase {
 public:
  explicit CRecordToolbar(RecordToolbarOwner* owner) : m_owner(owner) {}
  ~CRecordToolbar() override;

  // Makes the strip along the bottom of `parent` (the audio item) with its three buttons.
  BOOL Create(HWND parent);
  // Follows the parent's size: kHeight scaled pixels high at its bottom left.
  void FollowParent();
  const MessageMap* GetMessageMap() const override;

  HWND Buttons() const { return m_buttons.Toolbar(); }
  bool IsPlaying() const { return m_playing; }
  // The clip the last recording wrote, which the parent is told to insert.
  const CString& RecordedPath() const { return m_recorded; }
  // The width the buttons take, from the strip's left.
  int ButtonsWidth() const;
  // Stops the sound it plays unless that is `path`.
  void StopUnless(const CString& path);

 protected:
  LRESULT OnRecord(WPARAM wParam, LPARAM lParam);
  LRESULT OnPlay(WPARAM wParam, LPARAM lParam);
  LRESULT OnPause(WPARAM wParam, LPARAM lParam);
  LRESULT OnStop(WPARAM wParam, LPARAM lParam);
  LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);

 private:
  void ShowPlayButton(bool play);
  void StartTimer();
  void StopTimer();
  void SetToolTips();

  RecordToolbarOwner* m_owner;
  PlaybackToolbar m_buttons;
  HIMAGELIST m_images = nullptr;
  std::array<CString, 3> m_toolTips;
  CString m_recorded;
  CString m_loadedPath;
  int m_duration = 0;
  bool m_playing = false;
  bool m_loaded = false;
  bool m_timer = false;
  bool m_pressMark = false;
};
