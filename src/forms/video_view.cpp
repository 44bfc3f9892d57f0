#include "forms/video_view.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engines/media_engine_adapter.h"
#include "model/drm_handling.h"
#include "platform/controls/control_messages.h"
#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_raii.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/power.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/fitted_picture.h"

namespace {

constexpr int kSideMargin = 2;
constexpr int kToolbarReserve = 24;
constexpr int32_t kPlayVolume = 100;
constexpr WPARAM kInputPanelChange = 224;
constexpr UINT kMenuBarOpened = static_cast<UINT>(-521);
constexpr UINT kMenuBarClosed = static_cast<UINT>(-522);
constexpr int kIconWidth = 16, kIconHeight = 20;
DibImage* const kNoStill = reinterpret_cast<DibImage*>(static_cast<std::intptr_t>(-1));
}  // namespace

CVideoView::CVideoView(ULC_VideoEngine* engine) : m_engine(engine) {}

CVideoView::~CVideoView() {
  StopKeepAwake();
  if (m_engine != nullptr && IsWindow()) {
    Video_Stop(m_engine);
    Video_UnloadFile(m_engine);
  }
  DestroyToolbar();
}

const MessageMap* CVideoView::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnCommandId(kPlayCommand, &CVideoView::OnPlay),
      OnCommandId(kPauseCommand, &CVideoView::OnPause),
      OnCommandId(kVideoStopCommand, &CVideoView::OnStop),
      OnMessage(engine_message::kVideoState, &CVideoView::OnPaused),
      OnMessage(engine_message::kVideoEnd, &CVideoView::OnEnded),
      OnMessage(engine_message::kVideoProgress, &CVideoView::OnProgress),
      OnMessage(WM_KILLFOCUS, &CVideoView::OnLoseFocus),
      OnMessage(WM_SETTINGCHANGE, &CVideoView::OnSettingChange),
      OnMessage(WM_TIMER, &CVideoView::OnTimer),
      OnMessage(WM_NOTIFY, &CVideoView::OnNotify),
      OnMessage(WM_ERASEBKGND, &CVideoView::OnEraseBackground),
      OnMessage(WM_DESTROY, &CVideoView::OnDestroy),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CVideoView::Create(HWND parent, const RECT& rect) {
  return CWndBase::Create(kVideoViewClass, nullptr, WS_CHILD | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                          rect.bottom - rect.top, nullptr, parent, 0, kWhiteBackground);
}

RECT CVideoView::VideoArea() {
  RECT area{};
  GetClientRect(&area);
  int reserve = ScaleY(kToolbarReserve);
  if (m_toolbar != nullptr) {
    RECT bar{};
    ::GetWindowRect(m_toolbar, &bar);
    reserve = bar.bottom - bar.top;
  }
  area.left += kSideMargin;
  area.right = std::max(area.left + 1, static_cast<int>(area.right) - kSideMargin);
  area.bottom = std::max(area.top + 1, static_cast<int>(area.bottom) - reserve);
  return area;
}

bool CVideoView::Load(LPCWSTR path, HWND owner, bool autoPlay) {
  if (path == nullptr || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return false;
  m_path = CString(path);
  m_owner = owner;
  if (m_engine == nullptr) m_engine = ULC_Global::GetGlobal()->InitVideoInstance();
  if (m_duration < 0 && m_engine != nullptr) {
    int32_t width = 0, height = 0, duration = 0;
    if (Video_GetVideoInfo(m_engine, path, &width, &height, &duration, 0)) {
      m_videoSize = SIZE{width, height};
      m_duration = duration;
    }
  }
  m_forwardLock = DrmStatus(path, 1, owner) != kDrmNotProtected;
  if (m_forwardLock) SetDrmContext(1, owner, 1);
  if (m_toolbar == nullptr) BuildToolbar();
  MakeStill();
  m_loadFailed = true;
  if (m_still || m_forwardLock) m_loadFailed = !OpenInEngine();
  InvalidateRect(nullptr, TRUE);
  if (!m_loadFailed && autoPlay) {
    if (Video_GetState(m_engine) == engine_state::kIdle) {
      ::SendMessageW(GetHandle(), WM_COMMAND, kPlayCommand, 0);
    } else {
      ::PostMessageW(GetHandle(), WM_COMMAND, kPlayCommand, 0);
    }
  } else if (!autoPlay) {
    if (m_progress) m_progress->SetProgress(0, std::max(0, m_duration));
    m_showsNothing = true;
  }
  return true;
}

void CVideoView::MakeStill() {
  m_still.reset();
  if (m_engine == nullptr) return;
  const RECT area = VideoArea();
  SIZE box{std::max<LONG>(1, area.right - area.left), std::max<LONG>(1, area.bottom - area.top)};
  DibImage* frame = Video_LoadFirstFrame(m_engine, m_path, &box);
  if (frame != nullptr && frame != kNoStill) m_still.reset(frame);
}

bool CVideoView::OpenInEngine() {
  if (m_engine == nullptr) return false;
  const RECT area = VideoArea();
  Video_SetEngine(m_engine, GetHandle(), area.left, area.top, area.right, area.bottom);
  return Video_LoadFile(m_engine, m_path, 0) > 0;
}

void CVideoView::Resize(const RECT& rect) {
  ::MoveWindow(GetHandle(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
  DestroyToolbar();
  BuildToolbar();
  if (m_engine != nullptr) {
    const RECT area = VideoArea();
    Video_ResetRegion(m_engine, GetHandle(), area.left, area.top, area.right, area.bottom);
  }
}

void CVideoView::BuildToolbar() {
  const int height = ScaleY(kToolbarReserve);
  m_toolbar = m_buttons.CreateAlongBottom(GetHandle(), kVideoToolbarId, height, &m_images);
  if (m_toolbar == nullptr) return;
  std::vector<TBBUTTON> buttons = {
      m_buttons.PlayButton(),
      {kStopImage, kVideoStopCommand, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
  };
  ::SendMessageW(m_toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  m_buttons.SetToolTipLayout(ToolTipLayout::kTwoButtons);
  const int position = m_progress ? m_progress->Position() : 0;
  m_progress = m_buttons.AddProgress(GetHandle(), kVideoStopCommand);
  if (m_progress) m_progress->SetProgress(position, std::max(0, m_duration));
}

void CVideoView::DestroyToolbar() {
  m_progress.reset();
  if (m_toolbar != nullptr && ::IsWindow(m_toolbar)) ::DestroyWindow(m_toolbar);
  m_toolbar = nullptr;
  m_buttons.SetToolbar(nullptr);
  if (m_images != nullptr) ImageList_Destroy(m_images);
  m_images = nullptr;
}

void CVideoView::ShowPlayButton(bool play) { m_buttons.ShowPlayButton(play); }

void CVideoView::StartKeepAwake() { m_keepAwake.Start(GetHandle()); }

void CVideoView::StopKeepAwake() { m_keepAwake.Stop(); }

LRESULT CVideoView::OnPlay(WPARAM, LPARAM) {
  if (m_engine == nullptr || m_path.IsEmpty()) return 0;
  m_paused.reset();
  if (Video_GetState(m_engine) == engine_state::kIdle) {
    if (m_forwardLock) SetDrmContext(1, m_owner, 1);
    if (m_still) {
      m_loadFailed = !OpenInEngine();
      if (!m_loadFailed && m_progress) m_progress->SetProgress(0, std::max(0, m_duration));
    }
    InvalidateRect(nullptr, TRUE);
  }
  if (Video_GetState(m_engine) != engine_state::kIdle) {
    Video_Play(m_engine, kPlayVolume);
    m_showsNothing = false;
    StartKeepAwake();
    ShowPlayButton(false);
  }
  return 0;
}

LRESULT CVideoView::OnPause(WPARAM, LPARAM) {
  if (m_engine == nullptr) return 0;
  Video_Pause(m_engine, 0);
  StopKeepAwake();
  const int position = m_progress ? m_progress->Position() : m_position;
  const int total = m_progress ? m_progress->Duration() : std::max(0, m_duration);
  ::PostMessageW(GetHandle(), WM_VIDEO_VIEW_PAUSED, static_cast<WPARAM>(position), static_cast<LPARAM>(total));
  return 0;
}

// The engine posts the same message when playback starts or resumes; only a pause is acted on.
LRESULT CVideoView::OnPaused(WPARAM, LPARAM) {
  if (m_engine == nullptr || Video_GetState(m_engine) != engine_state::kPaused) return 0;
  ShowPlayButton(true);
  if (m_progress) m_progress->SetProgress(m_position, std::max(0, m_duration));
  m_paused.reset(Video_CaptureCurrentFrame(m_engine));
  InvalidateRect(nullptr, FALSE);
  return 0;
}

LRESULT CVideoView::OnStop(WPARAM, LPARAM) {
  if (m_engine == nullptr) return 0;
  Video_Stop(m_engine);
  Video_UnloadFile(m_engine);
  m_paused.reset();
  StopKeepAwake();
  ShowPlayButton(true);
  InvalidateRect(nullptr, TRUE);
  return 0;
}

LRESULT CVideoView::OnEnded(WPARAM, LPARAM) {
  m_paused.reset();
  if (m_engine != nullptr) {
    Video_Stop(m_engine);
    Video_UnloadFile(m_engine);
  }
  m_position = 0;
  if (m_progress) m_progress->SetProgress(0, std::max(0, m_duration));
  StopKeepAwake();
  ShowPlayButton(true);
  m_showsNothing = true;
  InvalidateRect(nullptr, TRUE);
  ::PostMessageW(GetParent(), WM_VIDEO_VIEW_ENDED, 0, 0);
  return 0;
}

LRESULT CVideoView::OnProgress(WPARAM wParam, LPARAM lParam) {
  m_position = static_cast<int>(wParam);
  if (lParam > 0) m_duration = static_cast<int>(lParam);
  if (m_progress) m_progress->SetProgress(m_position, std::max(0, m_duration));
  return 0;
}

void CVideoView::PauseIfPlaying() {
  if (m_engine == nullptr || Video_GetState(m_engine) != engine_state::kPlaying) return;
  // An engine of the kind that plays without stills is left to play on.
  if (Video_GetEngineType() == video_engine_type::kPlaysWithoutStill) return;
  ::SendMessageW(GetHandle(), WM_COMMAND, kPauseCommand, 0);
}

LRESULT CVideoView::OnLoseFocus(WPARAM, LPARAM) {
  PauseIfPlaying();
  return 0;
}

LRESULT CVideoView::OnSettingChange(WPARAM wParam, LPARAM) {
  if (wParam == kInputPanelChange) PauseIfPlaying();
  return 0;
}

LRESULT CVideoView::OnTimer(WPARAM wParam, LPARAM) {
  m_keepAwake.Tick(static_cast<UINT_PTR>(wParam));
  return 0;
}

LRESULT CVideoView::OnNotify(WPARAM wParam, LPARAM lParam) {
  if (const auto* header = reinterpret_cast<const NMHDR*>(lParam)) {
    if (header->code == kMenuBarOpened) m_menuMark = true;
    if (header->code == kMenuBarClosed && m_menuMark) {
      m_menuMark = false;
      ::PostMessageW(GetParent(), WM_VIDEO_VIEW_MENU, 0, 0);
    }
  }
  return DefProc(GetHandle(), WM_NOTIFY, wParam, lParam);
}

// Painting covers the whole client area, so the erase is left out and nothing flickers.
LRESULT CVideoView::OnEraseBackground(WPARAM, LPARAM) { return 1; }

LRESULT CVideoView::OnDestroy(WPARAM, LPARAM) {
  StopKeepAwake();
  if (m_engine != nullptr) {
    Video_Stop(m_engine);
    Video_UnloadFile(m_engine);
  }
  m_still.reset();
  m_paused.reset();
  return 0;
}

BOOL CVideoView::OnPaint(HDC hdc, PAINTSTRUCT*) {
  RECT client{};
  GetClientRect(&client);
  FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const RECT area = VideoArea();
  if (!m_loadFailed && m_still) {
    const bool paused = m_engine != nullptr && Video_GetState(m_engine) == engine_state::kPaused;
    const DibImage* picture = paused ? m_paused.get() : m_still.get();
    if (picture != nullptr) DrawPictureFitted(hdc, picture, area);
    return TRUE;
  }
  DrawName(hdc, area);
  return TRUE;
}

// A file the engine cannot show is drawn as a document glyph with the file's name under it.
void CVideoView::DrawName(HDC hdc, const RECT& area) {
  const int iconWidth = ScaleX(kIconWidth), iconHeight = ScaleY(kIconHeight);
  const int left = (area.left + area.right - iconWidth) / 2;
  const int top = (area.top + area.bottom) / 2 - iconHeight;
  platform::gdi::UniquePen pen(CreatePen(PS_SOLID, 1, RGB(64, 64, 64)));
  HGDIOBJ oldPen = SelectObject(hdc, pen.Get());
  HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(WHITE_BRUSH));
  Rectangle(hdc, left, top, left + iconWidth, top + iconHeight);
  const int fold = iconWidth / 3;
  MoveToEx(hdc, left + iconWidth - fold, top, nullptr);
  LineTo(hdc, left + iconWidth - fold, top + fold);
  LineTo(hdc, left + iconWidth, top + fold);
  SelectObject(hdc, oldBrush);
  SelectObject(hdc, oldPen);
  std::u16string_view name = m_path.View();
  const std::size_t slash = name.find_last_of(u"\\/");
  if (slash != std::u16string_view::npos) name.remove_prefix(slash + 1);
  RECT text{area.left, top + iconHeight + ScaleY(4), area.right, area.bottom};
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, RGB(0, 0, 0));
  DrawTextW(hdc, std::u16string(name).c_str(), static_cast<int>(name.size()), &text, DT_CENTER | DT_WORDBREAK);
}
