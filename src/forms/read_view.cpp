#include "forms/read_view.h"

#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/media_engine_adapter.h"
#include "platform/controls/toolbar_api.h"
#include "platform/dialog/dialog_api.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/controls/menu_bar_api.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/oriented_dialog.h"
#include "ui/window_layout.h"

namespace {

constexpr int kPreviousImage = 35, kNextImage = 34, kFullScreenImage = 44;
constexpr UINT kTitleText = 40913;
constexpr WPARAM kLeftArrow = 37;
constexpr WPARAM kRightArrow = 39;
constexpr LPARAM kShowOnly = -1;

}  // namespace

CString ProgressText(int position, int total) {
  CString text = ProgressBar::FormatElapsed(position, total);
  text += u" / ";
  text += ProgressBar::FormatTotal(total).View();
  return text;
}

CReadView::CReadView(MessageModel* model, MessageBinding* binding, bool openedWithFlag)
    : m_model(model), m_binding(binding), m_openedWithFlag(openedWithFlag) {}

CReadView::~CReadView() {
  StopKeepAwake();
  if (m_policyNotify != nullptr) RegistryCloseNotification(m_policyNotify);
  m_progress.reset();
  if (m_images != nullptr) ImageList_Destroy(m_images);
}

const MessageMap* CReadView::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CReadView::OnInitDialog),
      OnCommandId(1, &CReadView::OnClose),
      OnCommandId(kPlayCommand, &CReadView::OnPlay),
      OnCommandId(kPauseCommand, &CReadView::OnPause),
      OnCommandId(kStopCommand, &CReadView::OnStop),
      OnCommandId(kPreviousCommand, &CReadView::OnPrevious),
      OnCommandId(kNextCommand, &CReadView::OnNext),
      OnCommandId(kFullScreenCommand, &CReadView::OnFullScreen),
      OnMessage(WM_PLAYER_ENDED, &CReadView::OnEnded),
      OnMessage(WM_PLAYER_PAUSED, &CReadView::OnPaused),
      OnMessage(WM_PLAYER_RESUMED, &CReadView::OnResumed),
      OnMessage(WM_PLAYER_PROGRESS, &CReadView::OnProgress),
      OnMessage(WM_PLAYER_SLIDE, &CReadView::OnSlide),
      OnMessage(WM_PLAYER_AT_END, &CReadView::OnAtEnd),
      OnMessage(1229, &CReadView::OnPauseRequest),
      OnMessage(WM_PLAYER_MEDIA_AHEAD, &CReadView::OnMediaAhead),
      OnMessage(1231, &CReadView::OnIgnored),
      OnMessage(WM_READ_LINK_ACTIVATED, &CReadView::OnLinkActivated),
      OnMessage(WM_READ_LINK_SELECTED, &CReadView::OnLinkSelected),
      OnMessage(WM_TIMER, &CReadView::OnTimer),
      OnMessage(WM_KEYUP, &CReadView::OnKeyUp),
      OnMessage(WM_LBUTTONDOWN, &CReadView::OnTap),
      OnMessage(1281, &CReadView::OnTap),
      OnMessage(1985, &CReadView::OnFullScreen),
      OnMessage(WM_KILLFOCUS, &CReadView::OnKillFocus),
      OnMessage(WM_CANCELMODE, &CReadView::OnLoseFocus),
      OnMessage(WM_ACTIVATE, &CReadView::OnActivate),
      OnMessage(WM_READ_VIEW_CLOSE, &CReadView::OnCloseView),
      OnCommandId(read_command::kMessageInfo, &CReadView::OnMessageInfo),
      OnCommandId(read_command::kDeliveryReport, &CReadView::OnDeliveryReport),
      OnCommandId(read_command::kReadReport, &CReadView::OnReadReport),
      OnCommandId(read_command::kSaveObjects, &CReadView::OnSaveObjects),
      OnCommandId(read_command::kSaveThisObject, &CReadView::OnSaveThisObject),
      OnCommandId(read_command::kSaveLinkToContacts, &CReadView::OnSaveLinkToContacts),
      OnCommandId(read_command::kReplyText, &CReadView::OnReplyText),
      OnCommandId(read_command::kReplyMms, &CReadView::OnReplyMms),
      OnCommandId(read_command::kReplyVoiceMail, &CReadView::OnReplyVoiceMail),
      OnCommandId(read_command::kForward, &CReadView::OnForward),
      OnCommandId(read_command::kCallLink, &CReadView::OnCallLink),
      OnCommandId(read_command::kCallLinkWithOptions, &CReadView::OnCallLink),
      OnCommandId(read_command::kOpenLink, &CReadView::OnOpenLink),
      OnCommandId(read_command::kTextToLink, &CReadView::OnTextToLink),
      OnCommandId(read_command::kMmsToLink, &CReadView::OnMmsToLink),
      OnCommandId(read_command::kEmailToLink, &CReadView::OnEmailToLink),
      OnCommandId(read_command::kVoiceMailToLink, &CReadView::OnVoiceMailToLink),
      OnCommandId(read_command::kLinkToFavorites, &CReadView::OnLinkToFavorites),
      OnCommandId(read_command::kEditLink, &CReadView::OnEditLink),
      OnCommandId(read_command::kLinkToClient, &CReadView::OnLinkToClient),
      OnMessage(WM_HOTKEY, &CReadView::OnHotKey),
      OnMessage(WM_INITMENUPOPUP, &CReadView::OnInitMenuPopup),
      OnMessage(WM_SETFOCUS, &CReadView::OnSetFocus),
      OnMessage(WM_NOTIFY, &CReadView::OnNotify),
      OnMessage(kReadHtmlLink, &CReadView::OnHtmlLink),
      OnMessage(kReadHtmlFolder, &CReadView::OnHtmlFolder),
      OnMessage(WM_READ_POLICY_CHANGED, &CReadView::OnPolicyChanged),
      OnMessage(WM_READ_CURRENT_OBJECT, &CReadView::OnCurrentObject),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

bool CReadView::Run(HWND owner) {
  return DoModal(transport::ResourceInstance(), kReadViewDialog, owner) == 1;
}

LRESULT CReadView::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  ::SetWindowTextW(GetHandle(), transport::LoadResourceString(kTitleText));
  m_autoPlay = GetConfigValue(numeric_setting::kMsgAutoPlay) != 0;
  m_fullScreenButton = GetConfigValue(numeric_setting::kSupportFullScreenPlayer) != 0;
  m_policy = static_cast<DWORD>(GetConfigValue(numeric_setting::kSecurityPolicy1033));
  ReadMessageFacts();
  BuildMenuBar();
  BuildToolbar();
  m_count = m_model ? static_cast<int>(m_model->slides.size()) : 0;
  // A message that cannot be shown leaves the player empty: the view still opens, with nothing to play.
  m_player.Load(GetHandle(), PlayerRect(), m_model, 0);
  ::SendMessageW(GetHandle(), WM_COMMAND, kPlayCommand, m_autoPlay ? 0 : kShowOnly);
  UpdateNavigation();
  if (!m_openedWithFlag) WatchPolicy();
  return TRUE;
}

void CReadView::DestroyToolbar() {
  // The progress bar is a child of the toolbar and goes with it.
  if (m_toolbar != nullptr && ::IsWindow(m_toolbar)) ::DestroyWindow(m_toolbar);
  m_toolbar = nullptr;
  m_buttons.SetToolbar(nullptr);
  m_progress.reset();
  if (m_images != nullptr) ImageList_Destroy(m_images);
  m_images = nullptr;
}

void CReadView::BuildToolbar() {
  const int height = ScaleY(26);
  m_toolbar = m_buttons.CreateAlongBottom(GetHandle(), kToolbarId, height, &m_images);
  if (m_toolbar == nullptr) return;
  std::vector<TBBUTTON> buttons = {
      {kPreviousImage, kPreviousCommand, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
      {kNextImage, kNextCommand, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
      {0, 0, 0, TBSTYLE_SEP, {}, 0, 0},
  };
  if (m_fullScreenButton) buttons.push_back({kFullScreenImage, kFullScreenCommand, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0});
  // A toolbar rebuilt while playing keeps showing pause.
  buttons.push_back(m_buttons.PlayButton());
  buttons.push_back({kStopImage, kStopCommand, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0});
  ::SendMessageW(m_toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  m_buttons.SetToolTipLayout(m_fullScreenButton ? ToolTipLayout::kFiveButtons : ToolTipLayout::kFourButtons);
  // The rest of the bar's width, right of the last button, holds the progress.
  m_progress = m_buttons.AddProgress(GetHandle(), kStopCommand);
}

RECT CReadView::PlayerRect() {
  RECT client{};
  GetClientRect(&client);
  RECT bar{};
  if (m_toolbar != nullptr) ::GetWindowRect(m_toolbar, &bar);
  const int toolbarHeight = m_toolbar != nullptr ? bar.bottom - bar.top : GetSystemMetrics(SM_CYMENU);
  client.bottom = std::max(client.top + 1, client.bottom - toolbarHeight);
  return client;
}

void CReadView::ShowPlayButton(bool play) { m_buttons.ShowPlayButton(play); }

bool CReadView::PreviousEnabled() const { return m_slide >= 1; }
bool CReadView::NextEnabled() const { return m_slide < m_count - 1; }

void CReadView::UpdateNavigation() {
  m_buttons.EnableButton(kPreviousCommand, PreviousEnabled() ? TRUE : FALSE);
  m_buttons.EnableButton(kNextCommand, NextEnabled() ? TRUE : FALSE);
}

void CReadView::StartKeepAwake() { m_keepAwake.Start(GetHandle()); }

void CReadView::StopKeepAwake() { m_keepAwake.Stop(); }

LRESULT CReadView::OnClose(WPARAM, LPARAM) {
  StopKeepAwake();
  m_player.Stop();
  EndDialog(1);
  return 0;
}

LRESULT CReadView::OnPlay(WPARAM, LPARAM lParam) {
  if (m_ended) m_player.Reset();
  if (lParam != kShowOnly) {
    m_state = read_view::kPlaying;
    m_player.Play(false);
    StartKeepAwake();
    ShowPlayButton(false);
  } else {
    ::SendMessageW(GetHandle(), WM_PLAYER_PROGRESS, m_player.StartTime(), m_player.Total());
    m_player.Play(true);
  }
  return 0;
}

LRESULT CReadView::OnPause(WPARAM, LPARAM) {
  if (m_player.DisplayState() != slide_player::kDisplayShowing) return 0;
  ULC_VideoEngine* video = ULC_Global::GetGlobal()->videoEngine.get();
  if (video != nullptr && Video_GetState(video) == engine_state::kBusy) return 0;
  m_player.Pause();
  StopKeepAwake();
  return 0;
}

LRESULT CReadView::OnStop(WPARAM, LPARAM) {
  const int display = m_player.DisplayState();
  if (display == slide_player::kDisplayStopped || display == slide_player::kDisplayEmpty) return 0;
  m_player.Stop();
  StopKeepAwake();
  m_slide = 0;
  ::PostMessageW(GetHandle(), WM_PLAYER_PROGRESS, 0, m_player.Total());
  UpdateNavigation();
  m_ended = true;
  return 0;
}

LRESULT CReadView::OnPrevious(WPARAM, LPARAM) {
  if (m_slide <= 0) return 0;
  m_player.Pause();
  --m_slide;
  m_player.GoTo(m_slide, true);
  if (m_state == read_view::kStopped) ShowPlayButton(true);
  return 0;
}

LRESULT CReadView::OnNext(WPARAM, LPARAM) {
  if (m_slide >= m_count - 1) return 0;
  m_player.Pause();
  ++m_slide;
  m_player.GoTo(m_slide, true);
  return 0;
}

LRESULT CReadView::OnFullScreen(WPARAM, LPARAM) {
  m_player.Pause();
  m_player.SetRect(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, true);
  // The soft keys stay on top of everything; the whole screen is the player's until a tap.
  if (m_menuBar != nullptr) ::ShowWindow(m_menuBar, SW_HIDE);
  if (!m_fullScreen) ::PostMessageW(GetHandle(), WM_COMMAND, kPlayCommand, 0);
  m_fullScreen = true;
  return 0;
}

LRESULT CReadView::OnTap(WPARAM, LPARAM) {
  if (!m_player.IsFullScreen()) return 0;
  m_player.Pause();
  StopKeepAwake();
  m_player.SetRect(PlayerRect(), false);
  if (m_menuBar != nullptr) ::ShowWindow(m_menuBar, SW_SHOW);
  m_fullScreen = false;
  return 0;
}

LRESULT CReadView::OnEnded(WPARAM, LPARAM) {
  StopKeepAwake();
  m_state = read_view::kStopped;
  m_ended = true;
  ShowPlayButton(true);
  UpdateNavigation();
  return 0;
}

LRESULT CReadView::OnPaused(WPARAM, LPARAM) {
  m_state = read_view::kPaused;
  StopKeepAwake();
  ShowPlayButton(true);
  return 0;
}

LRESULT CReadView::OnResumed(WPARAM, LPARAM) {
  m_state = read_view::kPlaying;
  StartKeepAwake();
  ShowPlayButton(false);
  return 0;
}

LRESULT CReadView::OnProgress(WPARAM wParam, LPARAM lParam) {
  m_ended = false;
  if (m_progress) m_progress->SetProgress(static_cast<int>(wParam), static_cast<int>(lParam));
  return 0;
}

LRESULT CReadView::OnSlide(WPARAM wParam, LPARAM) {
  m_slide = static_cast<int>(wParam);
  UpdateNavigation();
  return 0;
}

// At the end of the presentation the message information follows, unless full screen keeps the
// reader in the pictures.
LRESULT CReadView::OnAtEnd(WPARAM, LPARAM) {
  if (GetConfigValue(numeric_setting::kNeedDisplayMsgInfo) != 0 && !m_fullScreen) ShowMessageInformation();
  return 0;
}

LRESULT CReadView::OnPauseRequest(WPARAM wParam, LPARAM) {
  const int display = m_player.DisplayState();
  if (wParam == 2 && display != slide_player::kDisplayStopped && display != slide_player::kDisplayPaused &&
      display != slide_player::kDisplayEmpty) {
    m_player.Pause();
  }
  return 0;
}

LRESULT CReadView::OnMediaAhead(WPARAM, LPARAM) {
  m_linkTarget = CString();
  m_linkType = 0;
  return 0;
}

LRESULT CReadView::OnIgnored(WPARAM, LPARAM) { return 0; }

LRESULT CReadView::OnLinkActivated(WPARAM wParam, LPARAM) {
  if (const auto* record = reinterpret_cast<const LinkRecord*>(wParam)) {
    m_linkTarget = record->target;
    m_linkType = record->type;
  }
  return 0;
}

LRESULT CReadView::OnLinkSelected(WPARAM, LPARAM lParam) {
  if (const auto* record = reinterpret_cast<const LinkRecord*>(lParam)) {
    m_linkTarget = record->target;
    m_linkType = record->type;
  } else {
    m_linkTarget = CString();
    m_linkType = 0;
  }
  return 0;
}

LRESULT CReadView::OnTimer(WPARAM wParam, LPARAM) {
  m_keepAwake.Tick(static_cast<UINT_PTR>(wParam));
  return 0;
}

LRESULT CReadView::OnKeyUp(WPARAM wParam, LPARAM) {
  // The soft-key bar hands the Talk key on as the key itself.
  if (wParam == kTalkKey) TalkKey();
  if (wParam == kLeftArrow && PreviousEnabled()) ::PostMessageW(GetHandle(), WM_COMMAND, kPreviousCommand, 0);
  if (wParam == kRightArrow && NextEnabled()) ::PostMessageW(GetHandle(), WM_COMMAND, kNextCommand, 0);
  return 0;
}

void CReadView::PauseUnlessVideoStarting() {
  ULC_VideoEngine* video = ULC_Global::GetGlobal()->videoEngine.get();
  if (video != nullptr && Video_GetState(video) == 1) return;
  m_player.Pause();
}

LRESULT CReadView::OnLoseFocus(WPARAM, LPARAM) {
  PauseUnlessVideoStarting();
  return 0;
}

// The focus the view hands to its own player (WM_SETFOCUS) stays with the reader: only focus that
// leaves the view pauses.
// A rotation lays the view out for the new screen: the dialog, the soft-key bar and the toolbar
// are made again for it, the progress and the play or pause face are kept, and the player takes
// the new room. A contact or message dialog of the client that was open keeps the focus.
LRESULT CReadView::OnSettingChange(WPARAM wParam, LPARAM) {
  if (wParam != SETTINGCHANGE_RESET) return 0;
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  const int position = m_progress ? m_progress->Position() : 0;
  const int duration = m_progress ? m_progress->Duration() : 0;
  DestroyToolbar();
  BuildMenuBar();
  BuildToolbar();
  if (m_progress) m_progress->SetProgress(position, duration);
  UpdateNavigation();
  const bool fullScreen = m_player.IsFullScreen();
  if (fullScreen && m_menuBar != nullptr) ::ShowWindow(m_menuBar, SW_HIDE);
  m_player.SetRect(fullScreen ? RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)} : PlayerRect(),
                   fullScreen);
  for (LPCWSTR title : {u"Save Contact", u"Inbox03"}) {
    if (HWND dialog = ::FindWindowW(kDialogClassName, title)) ::SetFocus(dialog);
  }
  return 0;
}

LRESULT CReadView::OnKillFocus(WPARAM wParam, LPARAM) {
  const auto next = reinterpret_cast<HWND>(wParam);
  if (next != nullptr && (next == GetHandle() || ::IsChild(GetHandle(), next))) return 0;
  PauseUnlessVideoStarting();
  return 0;
}

LRESULT CReadView::OnActivate(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    PauseUnlessVideoStarting();
  } else if (m_policyChanged) {
    CheckPolicyChange();
  }
  return 0;
}

LRESULT CReadView::OnCloseView(WPARAM, LPARAM) {
  CancelContactChooser();
  StopKeepAwake();
  m_player.Stop();
  EndDialog(2);
  return 0;
}
