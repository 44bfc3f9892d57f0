#include "forms/recorder_dialog.h"

#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/dialog_soft_keys.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/power.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/oriented_dialog.h"
#include "ui/window_layout.h"

namespace {

constexpr DWORD kProgressMode = 0x2;
constexpr int kGap = 10;
constexpr int kBarHeight = 20;
constexpr int kQcelpHead = 229;

UINT ButtonText(RecorderState state) {
  switch (state) {
    case RecorderState::kReady: return recorder::kRecordText;
    case RecorderState::kRecording:
    case RecorderState::kPlaying: return recorder::kStopText;
    default: return recorder::kPlayText;
  }
}

// The folders of the destination, each made when it is missing.
void MakeFoldersOf(const CString& path) {
  for (int slash = path.Find(u'\\', 1); slash >= 0; slash = path.Find(u'\\', slash + 1)) {
    CreateDirectoryW(path.Left(slash), nullptr);
  }
}

RECT ChildRect(HWND dialog, HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

int MaximumRecordDuration(int limit, int recordType) {
  const long long bytes = std::max(limit, 1);
  if (recordType != 0) return static_cast<int>(std::max<long long>(bytes * 5 / 8, 1000));
  if (bytes <= kQcelpHead) return 0;
  return static_cast<int>((bytes - kQcelpHead) / 35 * 20);
}

CRecorderDialog::CRecorderDialog(CString path, int limit, int recordType)
    : m_path(std::move(path)), m_limit(std::max(limit, 1)), m_recordType(recordType) {}

CRecorderDialog::~CRecorderDialog() {
  KillTimer();
  if (m_holder) DestroyRecording(m_holder.get());
  if (m_loaded) {
    if (ULC_AudioEngine* audio = Audio()) Audio_UnloadFile(audio);
  }
}

const MessageMap* CRecorderDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CRecorderDialog::OnInitDialog),
      OnMessage(WM_CTLCOLORBTN, &CRecorderDialog::OnCtlColorButton),
      OnCommandId(recorder::kCycle, &CRecorderDialog::OnCycle),
      OnCommandId(IDOK, &CRecorderDialog::OnDone),
      OnCommandId(IDCANCEL, &CRecorderDialog::OnCancelCommand),
      OnCommandId(recorder::kInsert, &CRecorderDialog::OnInsert),
      OnMessage(engine_message::kRecordProgress, &CRecorderDialog::OnRecordProgress),
      OnMessage(engine_message::kRecordLimit, &CRecorderDialog::OnRecordLimit),
      OnMessage(engine_message::kAudioProgress, &CRecorderDialog::OnPlaybackProgress),
      OnMessage(WM_SETTINGCHANGE, &CRecorderDialog::OnSettingChange),
      OnMessage(WM_CANCELMODE, &CRecorderDialog::OnCancelMode),
      OnMessage(WM_ACTIVATE, &CRecorderDialog::OnActivate),
      OnMessage(WM_TIMER, &CRecorderDialog::OnTimer),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

ULC_AudioEngine* CRecorderDialog::Audio() const { return ULC_Global::GetGlobal()->InitAudioInstance(); }

LRESULT CRecorderDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  m_faceBrush.Reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
  if (::GetDlgItem(GetHandle(), recorder::kFrame) == nullptr || !Layout()) {
    EndDialog(IDCANCEL);
    return TRUE;
  }
  ::EnableWindow(::GetDlgItem(GetHandle(), recorder::kInsert), FALSE);
  ShowState(RecorderState::kReady);
  return TRUE;
}

// The microphone 10 scaled pixels in from the frame's left, the bar from 10 pixels after it to 10
// before the frame's right edge, both centred in the frame's height.
bool CRecorderDialog::Layout() {
  HWND frame = ::GetDlgItem(GetHandle(), recorder::kFrame);
  const RECT area = ChildRect(GetHandle(), frame);
  int left = area.left + ScaleX(kGap);
  if (HWND microphone = ::GetDlgItem(GetHandle(), recorder::kMicrophone)) {
    const RECT picture = ChildRect(GetHandle(), microphone);
    const int width = picture.right - picture.left;
    const int height = picture.bottom - picture.top;
    ::MoveWindow(microphone, left, area.top + (area.bottom - area.top - height) / 2, width, height, TRUE);
    ::SetWindowPos(microphone, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    left += width + ScaleX(kGap);
  }
  const int right = std::max<int>(left + 1, area.right - ScaleX(kGap));
  const int height = ScaleY(kBarHeight);
  const int top = area.top + (area.bottom - area.top - height) / 2;
  if (!m_progress) {
    const int margin = ((ScreenDpiX() + 19) * 5) / 96;
    const int inset = (ScreenDpiX() * 4 + 95) / 96;
    m_progress = std::make_unique<ProgressBar>(margin, inset, GetSysColor(COLOR_WINDOW), GetHandle(), kProgressMode);
    if (!m_progress->Create(u"RECORDER_PROGRESSBAR_CLASS", nullptr, WS_CHILD | WS_VISIBLE, left, top, right - left,
                            height, nullptr, GetHandle(), 0, nullptr)) {
      return false;
    }
    ::SetWindowPos(m_progress->GetHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_progress->SetProgress(0, MaximumRecordDuration(m_limit, m_recordType));
  } else {
    ::MoveWindow(m_progress->GetHandle(), left, top, right - left, height, TRUE);
  }
  return true;
}

LRESULT CRecorderDialog::OnCtlColorButton(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_faceBrush.Get()); }

void CRecorderDialog::ShowState(RecorderState state) {
  m_state = state;
  ::SetDlgItemTextW(GetHandle(), recorder::kCycle, transport::LoadResourceString(ButtonText(state)));
}

void CRecorderDialog::StartTimer() {
  m_timer = ::SetTimer(GetHandle(), recorder::kKeepAwakeTimer, recorder::kKeepAwakeMs, nullptr) != 0;
}

void CRecorderDialog::KillTimer() {
  if (m_timer && IsWindow()) ::KillTimer(GetHandle(), recorder::kKeepAwakeTimer);
  m_timer = false;
}

void CRecorderDialog::StartRecording() {
  m_holder = std::make_unique<RecordEngineHolder>();
  MakeFoldersOf(m_path);
  if (!::StartRecording(m_holder.get(), m_path, GetHandle(), m_limit, m_recordType)) {
    // No engine for the record type, or none that starts: the recorder stays ready to record.
    DestroyRecording(m_holder.get());
    m_holder.reset();
    return;
  }
  m_duration = 0;
  ShowState(RecorderState::kRecording);
  StartTimer();
}

void CRecorderDialog::StopRecordingAndMeasure() {
  if (m_holder) {
    StopRecording(m_holder.get());
    DestroyRecording(m_holder.get());
    m_holder.reset();
  }
  KillTimer();
  ULC_AudioEngine* audio = Audio();
  const int32_t length = audio ? Audio_LoadFile(audio, m_path, GetHandle(), 0) : -1;
  m_loaded = audio != nullptr && length > 0;
  m_duration = std::max<int32_t>(length, 0);
  if (m_progress) {
    m_progress->SetMode(kProgressTwoLines);
    m_progress->SetProgress(0, m_duration);
  }
  // A clip that holds no sound (the limit left no room, or nothing was written) is not offered.
  ::EnableWindow(::GetDlgItem(GetHandle(), recorder::kInsert), m_duration > 0 ? TRUE : FALSE);
  ShowState(RecorderState::kRecorded);
}

void CRecorderDialog::Play(bool load) {
  ULC_AudioEngine* audio = Audio();
  if (audio == nullptr) return;
  if (load) m_loaded = Audio_LoadFile(audio, m_path, GetHandle(), 0) > 0;
  Audio_Play(audio, 0, -1, 1, 100);
  StartTimer();
  ShowState(RecorderState::kPlaying);
}

void CRecorderDialog::StopPlayback() {
  if (ULC_AudioEngine* audio = Audio()) {
    Audio_Stop(audio);
    Audio_UnloadFile(audio);
  }
  m_loaded = false;
  KillTimer();
}

LRESULT CRecorderDialog::OnCycle(WPARAM, LPARAM) {
  switch (m_state) {
    case RecorderState::kReady: StartRecording(); break;
    case RecorderState::kRecording: StopRecordingAndMeasure(); break;
    case RecorderState::kRecorded: Play(false); break;
    case RecorderState::kPlaying:
      StopPlayback();
      ShowState(RecorderState::kPlaybackStopped);
      break;
    case RecorderState::kPlaybackStopped:
      StopPlayback();
      Play(true);
      break;
  }
  return 0;
}

void CRecorderDialog::StopEverything() {
  if (m_state == RecorderState::kRecording) StopRecordingAndMeasure();
  if (m_state == RecorderState::kPlaying) {
    StopPlayback();
    ShowState(RecorderState::kPlaybackStopped);
  }
}

LRESULT CRecorderDialog::OnCancelCommand(WPARAM wParam, LPARAM lParam) {
  StopEverything();
  return OnCancel(wParam, lParam);
}

bool CRecorderDialog::InsertEnabled() const {
  return ::IsWindowEnabled(::GetDlgItem(GetHandle(), recorder::kInsert)) != FALSE;
}

// Done (IDOK) must not tell the toolbar to insert what may not exist or is still being recorded:
// once a clip has been recorded it is the insert button, before that it leaves as cancel does.
LRESULT CRecorderDialog::OnDone(WPARAM wParam, LPARAM lParam) {
  return InsertEnabled() ? OnInsert(wParam, lParam) : OnCancelCommand(wParam, lParam);
}

LRESULT CRecorderDialog::OnInsert(WPARAM, LPARAM) {
  // Only a recorded clip can be inserted, whatever sent the command.
  if (!InsertEnabled()) return 0;
  StopEverything();
  EndDialog(IDOK);
  return 0;
}

LRESULT CRecorderDialog::OnRecordProgress(WPARAM, LPARAM lParam) {
  if (m_state != RecorderState::kRecording) return 0;
  m_duration = static_cast<int>(lParam);
  // The time recorded against the longest the limit holds.
  if (m_progress) m_progress->SetProgress(m_duration, std::max(MaximumRecordDuration(m_limit, m_recordType), m_duration));
  return 0;
}

LRESULT CRecorderDialog::OnRecordLimit(WPARAM, LPARAM) {
  if (m_state == RecorderState::kRecording) ::SendMessageW(GetHandle(), WM_COMMAND, recorder::kCycle, 0);
  return 0;
}

LRESULT CRecorderDialog::OnPlaybackProgress(WPARAM wParam, LPARAM) {
  if (m_state != RecorderState::kPlaying) return 0;
  if (static_cast<int>(wParam) == -1) {
    StopPlayback();
    ShowState(RecorderState::kPlaybackStopped);
    if (m_progress) m_progress->SetProgress(m_duration, m_duration);
  } else if (m_progress) {
    m_progress->SetProgress(static_cast<int>(wParam), m_duration);
  }
  return 0;
}

LRESULT CRecorderDialog::OnSettingChange(WPARAM wParam, LPARAM) {
  if (wParam != SETTINGCHANGE_RESET) return 0;
  if (Busy()) ::PostMessageW(GetHandle(), WM_COMMAND, recorder::kCycle, 0);
  Layout();
  return 0;
}

LRESULT CRecorderDialog::OnCancelMode(WPARAM, LPARAM) {
  if (Busy()) ::PostMessageW(GetHandle(), WM_COMMAND, recorder::kCycle, 0);
  return 0;
}

LRESULT CRecorderDialog::OnActivate(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) == 0 && Busy()) ::PostMessageW(GetHandle(), WM_COMMAND, recorder::kCycle, 0);
  return 0;
}

LRESULT CRecorderDialog::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam == recorder::kKeepAwakeTimer) SystemIdleTimerReset();
  return 0;
}

BOOL RunRecorder(LPCWSTR path, HWND owner, HINSTANCE resourceInstance, int limit, int recordType) {
  CRecorderDialog dialog(CString(path != nullptr ? path : u""), limit, recordType);
  return dialog.DoModal(resourceInstance, recorder::kDialog, owner) == IDOK ? TRUE : FALSE;
}

std::optional<CString> RecordVoiceClip(HWND owner, const CString& path, int limit) {
  const int recordType = static_cast<int>(GetConfigValue(numeric_setting::kRecordType));
  if (RunRecorder(path, owner, transport::ResourceInstance(), limit, recordType)) return path;
  DeleteFileW(path);
  return std::nullopt;
}
