// Helpers that drive the platform toolbar of a playback bar: swapping a button's face and
// command, enabling, the checked test and the tool-tip texts, and the play button's exchange for
// pause while playing, which every player shows the same way.
#pragma once

#include <memory>

#include "platform/controls/toolbar_api.h"
#include "platform/text/cstring.h"
#include "platform/window/window_api.h"
#include "ui/progress_bar.h"

constexpr WORD kPlayCommand = 40500;
constexpr WORD kPauseCommand = 40501;
constexpr WORD kStopCommand = 40502;
// Faces in the strip of playback buttons.
constexpr int kPlayImage = 51, kPauseImage = 45, kStopImage = 46;

// Tool-tip layouts: four buttons, two buttons, five buttons.
enum class ToolTipLayout { kFourButtons = 0, kTwoButtons = 1, kFiveButtons = 2 };

// Enough room for the longest tool-tip layout.
constexpr int kMaxToolTips = 5;

// The faces' side on a screen of this density: 16 pixels at 96 dots per inch, to the nearest pixel.
int PlaybackFaceSide(int dotsPerInch);

// An image list of the faces of a strip drawn for 16 pixels (`faces`) and for 32 (`doubleFaces`),
// at the side for the screen: the nearer strip, resized only for a density neither was drawn for.
// Grey (192, 192, 192) is the mask colour. Null when the strip cannot be loaded.
HIMAGELIST CreateFaceImages(UINT faces, UINT doubleFaces, int cells);

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
  // playback button faces sized for the screen as its image list, and drives it from then on.
  // *images takes the list, which the caller destroys (null when the faces did not load). Null
  // when no toolbar was made.
  HWND CreateAlongBottom(HWND parent, WORD id, int height, HIMAGELIST* images);
  // The progress bar that fills the toolbar right of the button `lastCommand`, reporting to
  // `owner`; a child of the toolbar, so it goes when the toolbar does. Null without a toolbar.
  std::unique_ptr<ProgressBar> AddProgress(HWND owner, int lastCommand) const;

  HWND Toolbar() const { return m_toolbar; }
  void SetToolbar(HWND toolbar) { m_toolbar = toolbar; }

  // The play button's face: play (40500) while paused or stopped, pause (40501) while playing.
  // Swaps the button and its tool tip when the face changes. The face is kept when there is no
  // toolbar, so that a rebuilt toolbar shows it (see PlayButton).
  void ShowPlayButton(bool play);
  bool PlayShown() const { return m_playShown; }
  // The play button in its current face, for a toolbar being built.
  TBBUTTON PlayButton() const;
  // Gives the toolbar the tool tips of `layout` for the current face.
  void SetToolTipLayout(ToolTipLayout layout);

 private:
  HWND m_toolbar;
  bool m_playShown = true;
  ToolTipLayout m_layout = ToolTipLayout::kTwoButtons;
  CString m_toolTips[kMaxToolTips];
};
