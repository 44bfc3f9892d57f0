#include "ui/playback_toolbar.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/controls/toolbar_api.h"
#include "platform/gdi/gdi_raii.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/transparent_bitmap.h"

namespace {

constexpr UINT kPrevious = 40313, kNext = 40314, kFullScreen = 40692, kPlay = 40510, kPause = 40511, kStop = 40518;
// The strips of button faces, one square a face, grey (192, 192, 192) as the mask colour: drawn
// for 16 pixels and for 32, so that a screen of twice the density gets faces made for it.
constexpr UINT kToolbarFaces = 130;
constexpr UINT kToolbarFacesDouble = 133;
constexpr int kFaceSide = 16;
constexpr int kFaceCells = 52;

}  // namespace

int PlaybackFaceSide(int dotsPerInch) { return (kFaceSide * dotsPerInch + 48) / 96; }

HIMAGELIST CreateFaceImages(UINT faces, UINT doubleFaces, int cells) {
  const int side = PlaybackFaceSide(ScreenDpiX());
  platform::gdi::UniqueBitmap drawn(transport::LoadResourceBitmap(side * 4 >= kFaceSide * 6 ? doubleFaces : faces));
  platform::gdi::UniqueBitmap sized(StripAtSide(drawn.Get(), side));
  if (sized.Get() == nullptr) return nullptr;
  HIMAGELIST images = ImageList_Create(side, side, ILC_MASK | ILC_COLOR24, cells, 0);
  ImageList_AddMasked(images, sized.Get(), RGB(192, 192, 192));
  return images;
}

HWND PlaybackToolbar::CreateAlongBottom(HWND parent, WORD id, int height, HIMAGELIST* images) {
  *images = nullptr;
  RECT client{};
  ::GetClientRect(parent, &client);
  m_toolbar = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, u"", WS_CHILD | WS_VISIBLE, 0, client.bottom - height,
                                client.right, height, parent, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)),
                                nullptr, nullptr);
  if (m_toolbar == nullptr) return nullptr;
  *images = CreateFaceImages(kToolbarFaces, kToolbarFacesDouble, kFaceCells);
  if (*images != nullptr) ::SendMessageW(m_toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(*images));
  return m_toolbar;
}

std::unique_ptr<ProgressBar> PlaybackToolbar::AddProgress(HWND owner, int lastCommand) const {
  if (m_toolbar == nullptr) return nullptr;
  RECT bar{};
  ::GetClientRect(m_toolbar, &bar);
  RECT last{};
  const auto buttons = static_cast<int>(::SendMessageW(m_toolbar, TB_BUTTONCOUNT, 0, 0));
  int left = ScaleX(kFaceSide) * buttons;
  if (platform::controls::ToolbarButtonRect(m_toolbar, lastCommand, &last)) left = last.right + ScaleX(2);
  auto progress =
      std::make_unique<ProgressBar>(ScaleX(5), ScaleY(8), GetSysColor(COLOR_BTNFACE), owner, kProgressTwoLines);
  progress->Create(u"TOOLBAR_PROGRESSBAR_CLASS", nullptr, WS_CHILD | WS_VISIBLE, left, 0,
                   std::max(1, static_cast<int>(bar.right) - left), bar.bottom, nullptr, m_toolbar, 0, nullptr);
  return progress;
}

BOOL PlaybackToolbar::SwapButton(int oldCommand, DWORD mask, int newCommand, int image, BYTE state, BYTE style,
                                 WORD width, ULONG_PTR lParam, LPWSTR text, int textLength) {
  TBBUTTONINFOW info{sizeof(TBBUTTONINFOW), mask, newCommand, image, state, style, width, lParam, text, textLength};
  return static_cast<BOOL>(SendMessageW(m_toolbar, TB_SETBUTTONINFOW, static_cast<WPARAM>(oldCommand),
                                        reinterpret_cast<LPARAM>(&info)));
}

BOOL PlaybackToolbar::EnableButton(int command, BOOL enable) {
  return static_cast<BOOL>(
      SendMessageW(m_toolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enable ? 1 : 0, 0)));
}

BOOL PlaybackToolbar::IsButtonChecked(int command) {
  return SendMessageW(m_toolbar, TB_ISBUTTONCHECKED, static_cast<WPARAM>(command), 0) ? TRUE : FALSE;
}

int PlaybackToolbar::SetToolTips(CString* strings, BOOL playing, ToolTipLayout layout) {
  if (!strings) return 0;
  const UINT play = playing ? kPlay : kPause;
  std::array<UINT, kMaxToolTips> ids{};
  int count = 0;
  switch (layout) {
    case ToolTipLayout::kFourButtons: ids = {kPrevious, kNext, play, kStop}; count = 4; break;
    case ToolTipLayout::kTwoButtons: ids = {play, kStop}; count = 2; break;
    case ToolTipLayout::kFiveButtons: ids = {kPrevious, kNext, kFullScreen, play, kStop}; count = 5; break;
  }
  std::array<LPCWSTR, kMaxToolTips> texts{};
  for (int i = 0; i < count; ++i) {
    strings[i] = transport::LoadResourceString(ids[static_cast<std::size_t>(i)]);
    texts[static_cast<std::size_t>(i)] = strings[i];
  }
  SendMessageW(m_toolbar, TB_SETTOOLTIPS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(texts.data()));
  return count;
}

void PlaybackToolbar::ShowPlayButton(bool play) {
  if (play == m_playShown) return;
  m_playShown = play;
  if (m_toolbar == nullptr) return;
  if (play) {
    SwapButton(kPauseCommand, TBIF_IMAGE | TBIF_COMMAND, kPlayCommand, kPlayImage, 0, 0, 0, 0, nullptr, 0);
  } else {
    SwapButton(kPlayCommand, TBIF_IMAGE | TBIF_COMMAND, kPauseCommand, kPauseImage, 0, 0, 0, 0, nullptr, 0);
  }
  // The tool tip names what the button does now.
  SetToolTips(m_toolTips, play ? TRUE : FALSE, m_layout);
}

TBBUTTON PlaybackToolbar::PlayButton() const {
  return {m_playShown ? kPlayImage : kPauseImage, m_playShown ? kPlayCommand : kPauseCommand, TBSTATE_ENABLED,
          TBSTYLE_BUTTON, {}, 0, 0};
}

void PlaybackToolbar::SetToolTipLayout(ToolTipLayout layout) {
  m_layout = layout;
  if (m_toolbar != nullptr) SetToolTips(m_toolTips, m_playShown ? TRUE : FALSE, m_layout);
}
