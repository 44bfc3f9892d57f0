#include "forms/read_frame.h"

#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/client_window.h"
#include "forms/form_interface.h"
#include "forms/read_dialogs.h"
#include "forms/read_view.h"
#include "platform/kernel/file_api.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "ui/dialog_base.h"

namespace {
// Posted to the client's main frame when the message information is shown for the host.
constexpr UINT kClientInfoShown = 1256;
// The bit of HideDlgControl that keeps the message dialog of verb 6 hidden.
constexpr LONG kHideMessageDialog = 0x10;
}  // namespace

FrameVerb FrameVerbForHostVerb(DWORD hostVerb) {
  switch (hostVerb) {
    case 1:
    case 5:
      return FrameVerb::kReadView;
    case 3:
      return FrameVerb::kMessageInfo;
    case 4:
      return FrameVerb::kMessageDialog;
    case 6:
      return FrameVerb::kMessageDialogUnlessHidden;
    default:
      return FrameVerb::kNone;
  }
}

CReadFrame::~CReadFrame() {
  if (IsWindow()) ::DestroyWindow(GetHandle());
}

const MessageMap* CReadFrame::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_READ_FRAME_VERB, &CReadFrame::OnVerb),
      OnMessage(WM_READ_FRAME_CLOSE, &CReadFrame::OnCloseFrame),
      OnMessage(WM_CLOSEDIALOG, &CReadFrame::OnCloseFrame),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

HWND CReadFrame::Create(HWND host) {
  if (IsWindow()) {
    ::SetForegroundWindow(GetHandle());
    return GetHandle();
  }
  RECT hostRect{};
  if (host != nullptr) ::GetWindowRect(host, &hostRect);
  m_host = host;
  // A popup of no size: the frame is never seen, the read view it opens is.
  if (!CWndBase::Create(kReadFrameClass, u"ReadFrame", WS_POPUP, hostRect.left, hostRect.top, 0, 0,
                        ULC_Global::GetGlobal()->resourceModule.instance, host, 0, nullptr)) {
    return nullptr;
  }
  return GetHandle();
}

bool CReadFrame::LoadMessage(DWORD verb, IMessage* message) {
  if (!IsWindow() || message == nullptr) return false;
  message->AddRef();
  m_message = ComPtr<IMessage>(message);
  return PostMessage(WM_READ_FRAME_VERB, verb, verb) != FALSE;
}

bool EnoughStorageForReading() {
  ULARGE_INTEGER available{};
  ULARGE_INTEGER total{};
  ULARGE_INTEGER free{};
  if (!GetDiskFreeSpaceExW(GetFolderSetting(6), &available, &total, &free)) return false;
  const std::uint64_t reserve = static_cast<std::uint64_t>(std::max<LONG>(0, GetConfigValue(numeric_setting::kReservedSpace))) * 1024;
  return available.QuadPart > reserve;
}

bool CReadFrame::OpenReadView() {
  if (!EnoughStorageForReading()) {
    if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(GetHandle(), kNoStorageText, MB_OK);
    return false;
  }
  m_binding = std::make_unique<MessageBinding>();
  MessageModel* model = nullptr;
  const bool bound = LoadBinding(*m_binding, m_message.Get(), GetFolderSetting(6).GetString(), kHostVerbRead);
  if (bound) {
    model = m_binding->Model();
  } else {
    m_binding.reset();
  }
  // A message whose body cannot be loaded still opens, with nothing to play.
  MessageModel empty;
  CReadView view(model != nullptr ? model : &empty, m_binding.get());
  if (m_idleReset) view.SetIdleReset(m_idleReset);
  return view.Run(GetHandle());
}

MessageBinding* CReadFrame::Binding() {
  if (!m_binding && m_message) {
    auto binding = std::make_unique<MessageBinding>();
    if (!LoadBinding(*binding, m_message.Get(), GetFolderSetting(folder_setting::kUAContentsPath).GetString(),
                     kHostVerbRead)) {
      return nullptr;
    }
    m_binding = std::move(binding);
  }
  return m_binding.get();
}

void CReadFrame::ShowInformation() {
  // The client's list learns that the message is being looked at.
  if (HWND client = ::FindWindowW(kClientWindowClass, nullptr)) ::PostMessageW(client, kClientInfoShown, 0, 0);
  if (MessageBinding* binding = Binding()) ShowMessageInfoDialog(GetHandle(), binding->Message());
}

void CReadFrame::ShowDetails() {
  if (MessageBinding* binding = Binding()) ShowMessageDetailsDialog(GetHandle(), *binding);
}

LRESULT CReadFrame::OnVerb(WPARAM wParam, LPARAM) {
  m_lastVerb = FrameVerbForHostVerb(static_cast<DWORD>(wParam));
  switch (m_lastVerb) {
    case FrameVerb::kReadView:
      if (m_message) OpenReadView();
      break;
    case FrameVerb::kMessageInfo:
      ShowInformation();
      break;
    case FrameVerb::kMessageDialog:
      ShowDetails();
      break;
    case FrameVerb::kMessageDialogUnlessHidden:
      if ((GetConfigValue(numeric_setting::kHideDlgControl) & kHideMessageDialog) == 0) ShowDetails();
      break;
    case FrameVerb::kNone:
      break;
  }
  // The host learns that the verb has been dealt with, whatever it was.
  if (m_host != nullptr && ::IsWindow(m_host)) ::PostMessageW(m_host, WM_COMMAND, 1, 0);
  return 0;
}

LRESULT CReadFrame::OnCloseFrame(WPARAM, LPARAM) {
  if (IsWindow()) ::DestroyWindow(GetHandle());
  return 0;
}
