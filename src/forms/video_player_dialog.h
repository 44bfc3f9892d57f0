// The video player dialog: a full-screen dialog, set up like the read view, whose client area is
// one video view that starts playing the file at once. Losing the focus or the activation pauses
// a playing video; Done (1) and message 1268 close it.
#pragma once

#include "forms/video_view.h"
#include "platform/text/cstring.h"
#include "ui/dialog_base.h"

class CVideoPlayerDialog : public CDialogBase {
 public:
  explicit CVideoPlayerDialog(CString path, ULC_VideoEngine* engine = nullptr) : m_path(std::move(path)), m_view(engine) {}

  const MessageMap* GetMessageMap() const override;

  // Modal; true when it ended with Done.
  bool Run(HWND owner);

  CVideoView& View() { return m_view; }
  bool Portrait() const { return m_portrait; }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnDone(WPARAM wParam, LPARAM lParam);
  LRESULT OnLoseFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
  LRESULT OnCloseView(WPARAM wParam, LPARAM lParam);

 private:
  CString m_path;
  CVideoView m_view;
  bool m_portrait = true;
  HWND m_menuBar = nullptr;
};

// Plays a video file in the video player dialog owned by `owner`; false when the file is missing.
bool PlayVideoFile(HWND owner, LPCWSTR path);
