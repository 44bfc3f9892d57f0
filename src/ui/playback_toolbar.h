// Helpers that drive the platform toolbar of a playback bar: swapping a button's face and
// command, enabling, the checked test and the tool-tip texts.
#pragma once

#include "platform/controls/toolbar_api.h"
#include "platform/cstring.h"
#include "platform/window/window_api.h"

constexpr WORD kPlayCommand = 40500;
constexpr WORD kPauseCommand = 40501;

// Tool-tip layouts: four buttons, two buttons, five buttons.
enum class ToolTipLayout { kFourButtons = 0, kTwoButtons = 1, kFiveButtons = 2 };

class PlaybackToolbar {
 public:
  explicit PlaybackToolbar(HWND toolbar = nullptr) : m_toolbar(toolbar) {}
  virtual ~PlaybackToolbar() = default;

  // TB_SETBUTTONINFO for oldCommand; callers use mask TBIF_IMAGE | TBIF_COMMAND to turn play into
  // pause and back.
  BOOL SwapButton(int oldCommand, DWORD mask, int newCommand, int image, BYTE state, BYTE style, WORD width,
                  ULONG_PTR lParam, LPWSTR text, int textLength);
  BOOL EnableButton(int command, BOOL enable);
  BOOL IsButtonChecked(int command);
  // Loads the texts into `strings` (kept alive by the caller while the toolbar shows them) and
  // hands them to the toolbar; returns how many.
  int SetToolTips(CString* strings, BOOL playing, ToolTipLayout layout);

  // Makes the toolbar window `height` high along the bottom of `parent`'s client area, with the
  // playback button faces as its image list, and drives it from then on. *images takes the list,
  // which the caller destroys (null when the faces did not load). Null when no toolbar was made.
  HWND CreateAlongBottom(HWND parent, WORD id, int height, HIMAGELIST* images);

  HWND Toolbar() const { return m_toolbar; }
  void SetToolbar(HWND toolbar) { m_toolbar = toolbar; }

 private:
  HWND m_toolbar;
};

// Enough room for the longest tool-tip layout.
constexpr int kMaxToolTips = 5;
