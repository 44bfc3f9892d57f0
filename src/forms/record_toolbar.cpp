#include "forms/record_toolbar.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/media_engine_adapter.h"
#include "forms/composer_commands.h"
#include "forms/recorder_dialog.h"
#include "model/drm_handling.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/power.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/density.h"

namespace {

// The recorder's faces drawn for 16 pixels and for 32, as the playback bar's are.
constexpr UINT kToolbarFaces = 131;
constexpr UINT kToolbarFacesDouble = 134;
constexpr int kFaceCells = 4;
constexpr UINT kRecordTip = 40278, kPlayTip = 40510, kPauseTip = 40511, kStopTip = 40518;
constexpr int32_t kPlayVolume = 100;
// The toolbar notifications that bracket a press held on a button.
constexpr UINT kPressBegins = static_cast<UINT>(-521);
constexpr UINT kPressEnds = static_cast<UINT>(-522);

ULC_AudioEngine* AudioEngine() { return ULC_Global::GetGlobal()->InitAudioInstance(); }

}  // namespace

CRecordToolbar::~CRecordToolbar() {
  StopTimer();
  if (m_loaded) {
    if (ULC_AudioEngine* engine = AudioEngine()) Audio_UnloadFile(engine);
  }
  if (IsWindow()) ::DestroyWindow(GetHandle());
  if (m_images != nullptr) ImageList_Destroy(m_images);
}

const MessageMap* CRecordToolbar::GetMessageMap() const {
  using T = CRecordToolbar;
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnCommandId(record_toolbar::kRecord, &T::OnRecord),
      OnCommandId(record_toolbar::kPlay, &T::OnPlay),
      OnCommandId(record_toolbar::kPause, &T::OnPause),
      OnCommandId(record_toolbar::kStop, &T::OnStop),
      OnMessage(engine_message::kAudioProgress, &T::OnProgress),
      OnMessage(WM_NOTIFY, &T::OnNotify),
      OnMessage(WM_TIMER, &T::OnTimer),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CRecordToolbar::Create(HWND parent) {
  RECT client{};
  ::GetClientRect(parent, &client);
  const int height = ScaleY(record_toolbar::kHeight);
  if (!CWndBase::Create(kRecordToolbarClass, nullptr, WS_CHILD | WS_VISIBLE, 0, client.bottom - height, client.right,
                        height, nullptr, parent, 0, nullptr)) {
    return FALSE;
  }
  HWND buttons = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, u"", WS_CHILD | WS_VISIBLE, 0, 0, client.right, height,
                                   GetHandle(), reinterpret_cast<HMENU>(std::uintptr_t{record_toolbar::kButtonsId}),
                                   nullptr, nullptr);
  if (buttons == nullptr) return FALSE;
  m_buttons.SetToolbar(buttons);
  m_images = CreateFaceImages(kToolbarFaces, kToolbarFacesDouble, kFaceCells);
  if (m_images != nullptr) ::SendMessageW(buttons, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
  const std::vector<TBBUTTON> faceButtons = {
      {record_toolbar::kRecordImage, record_toolbar::kRecord, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
      {record_toolbar::kPlayImage, record_toolbar::kPlay, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
      {record_toolbar::kStopImage, record_toolbar::kStop, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
  };
  ::SendMessageW(buttons, TB_ADDBUTTONSW, faceButtons.size(), reinterpret_cast<LPARAM>(faceButtons.data()));
  SetToolTips();
  FollowParent();
  return TRUE;
}

int CRecordToolbar::ButtonsWidth() const {
  RECT last{};
  if (!platform::controls::ToolbarButtonRect(m_buttons.Toolbar(), record_toolbar::kStop, &last)) return 0;
  return last.right + ScaleX(2);
}

void CRecordToolbar::FollowParent() {
  if (!IsWindow()) return;
  RECT client{};
  ::GetClientRect(GetParent(), &client);
  // Inside the item's one-pixel border, and only as wide as the buttons, so that the item's
  // caption shows beside them.
  const int height = std::clamp<int>(ScaleY(record_toolbar::kHeight), 1, std::max<int>(1, client.bottom - 2));
  const int width = std::clamp<int>(ButtonsWidth(), 1, std::max<int>(1, client.right - 2));
  ::MoveWindow(GetHandle(), 1, std::max<int>(0, client.bottom - 1 - height), width, height, TRUE);
  ::MoveWindow(m_buttons.Toolbar(), 0, 0, width, height, TRUE);
}

void CRecordToolbar::SetToolTips() {
  m_toolTips = {transport::LoadResourceString(kRecordTip),
                transport::LoadResourceString(m_playing ? kPauseTip : kPlayTip),
                transport::LoadResourceString(kStopTip)};
  std::array<LPCWSTR, 3> texts{m_toolTips[0], m_toolTips[1], m_toolTips[2]};
  ::SendMessageW(m_buttons.Toolbar(), TB_SETTOOLTIPS, texts.size(), reinterpret_cast<LPARAM>(texts.data()));
}

void CRecordToolbar::ShowPlayButton(bool play) {
  if (play == !m_playing) return;
  m_playing = !play;
  if (play) {
    m_buttons.SwapButton(record_toolbar::kPause, TBIF_IMAGE | TBIF_COMMAND, record_toolbar::kPlay,
                         record_toolbar::kPlayImage, 0, 0, 0, 0, nullptr, 0);
  } else {
    m_buttons.SwapButton(record_toolbar::kPlay, TBIF_IMAGE | TBIF_COMMAND, record_toolbar::kPause,
                         record_toolbar::kPauseImage, 0, 0, 0, 0, nullptr, 0);
  }
  // Recording needs the engine the sound plays on, so it waits for the sound to stop.
  m_buttons.EnableButton(record_toolbar::kRecord, play ? TRUE : FALSE);
  SetToolTips();
}

void CRecordToolbar::StartTimer() { m_timer = SetTimer(record_toolbar::kPlaybackTimer, record_toolbar::kPlaybackTimerMs, nullptr) != 0; }

void CRecordToolbar::StopTimer() {
  if (m_timer && IsWindow()) KillTimer(record_toolbar::kPlaybackTimer);
  m_timer = false;
}

LRESULT CRecordToolbar::OnRecord(WPARAM, LPARAM) {
  SendMessage(WM_COMMAND, record_toolbar::kStop, 0);
  const RecordToolbarTarget target = m_owner != nullptr ? m_owner->BeginRecording() : RecordToolbarTarget{};
  if (target.path.IsEmpty()) {
    if (m_owner != nullptr) m_owner->RecordingEnded();
    return 0;
  }
  StartTimer();
  // The owner keeps the form busy while the recorder is open; the frame's navigation message is
  // not used for that, since its word is the slide navigation state.
  HWND frame = ::GetParent(GetParent());
  const int recordType = static_cast<int>(GetConfigValue(numeric_setting::kRecordType));
  const BOOL insert = RunRecorder(target.path, frame, transport::ResourceInstance(), target.limit, recordType);
  if (insert) {
    m_recorded = target.path;
    ::PostMessageW(GetParent(), composer_message::kInsertRecording, 0, 0);
  } else {
    DeleteFileW(target.path);
  }
  StopTimer();
  if (m_owner != nullptr) m_owner->RecordingEnded();
  return 0;
}

LRESULT CRecordToolbar::OnPlay(WPARAM, LPARAM) {
  ::PostMessageW(GetParent(), composer_message::kSoundPlayRequested, 0, 0);
  ULC_AudioEngine* engine = AudioEngine();
  const RecordToolbarSound sound = m_owner != nullptr ? m_owner->SlideSound() : RecordToolbarSound{};
  if (engine == nullptr || sound.path.IsEmpty()) return 0;
  if (sound.duration < 1 && !sound.protectedContent) return 0;
  if (Audio_GetState(engine) == engine_state::kIdle) {
    if (sound.protectedContent) {
      // The rights service asks the person first; a refused right plays nothing.
      DrmStatus(sound.path, 0, GetHandle());
      if (!MayUse(sound.path)) return 0;
    }
    const int32_t length = Audio_LoadFile(engine, sound.path, GetHandle(), 0);
    if (length <= 0) return 0;
    m_loaded = true;
    m_loadedPath = sound.path;
    m_duration = length;
  }
  ShowPlayButton(false);
  Audio_Play(engine, 0, -1, 1, kPlayVolume);
  StartTimer();
  return 0;
}

LRESULT CRecordToolbar::OnPause(WPARAM, LPARAM) {
  if (ULC_AudioEngine* engine = AudioEngine()) Audio_Pause(engine);
  StopTimer();
  ShowPlayButton(true);
  return 0;
}

LRESULT CRecordToolbar::OnStop(WPARAM, LPARAM) {
  // Only a sound this toolbar loaded is stopped: the engine is shared with the rest of the form.
  if (m_loaded) {
    if (ULC_AudioEngine* engine = AudioEngine()) Audio_UnloadFile(engine);
    m_loaded = false;
  }
  StopTimer();
  ShowPlayButton(true);
  if (m_owner != nullptr) {
    const RecordToolbarSound sound = m_owner->SlideSound();
    m_owner->ShowSoundProgress(0, m_duration > 0 ? m_duration : sound.duration);
  }
  return 0;
}

void CRecordToolbar::StopUnless(const CString& path) {
  if (m_loaded && !(m_loadedPath == path)) SendMessage(WM_COMMAND, record_toolbar::kStop, 0);
}

LRESULT CRecordToolbar::OnProgress(WPARAM wParam, LPARAM lParam) {
  ULC_AudioEngine* engine = AudioEngine();
  if (engine == nullptr || Audio_GetState(engine) != engine_state::kPlaying || !m_playing) return 0;
  if (static_cast<int>(wParam) == -1) {
    SendMessage(WM_COMMAND, record_toolbar::kStop, 0);
    return 0;
  }
  m_duration = static_cast<int>(lParam);
  if (m_owner != nullptr) m_owner->ShowSoundProgress(static_cast<int>(wParam), m_duration);
  return 0;
}

LRESULT CRecordToolbar::OnNotify(WPARAM wParam, LPARAM lParam) {
  if (const auto* header = reinterpret_cast<const NMHDR*>(lParam)) {
    if (header->code == kPressBegins) m_pressMark = true;
    if (header->code == kPressEnds && m_pressMark) {
      m_pressMark = false;
      ::PostMessageW(GetParent(), composer_message::kRecordToolbarPressed, 0, 0);
    }
  }
  return DefProc(GetHandle(), WM_NOTIFY, wParam, lParam);
}

LRESULT CRecordToolbar::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == record_toolbar::kPlaybackTimer) SystemIdleTimerReset();
  return 0;
}
