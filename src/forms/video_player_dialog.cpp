#include "forms/video_player_dialog.h"

#include "engines/media_engine_adapter.h"
#include "forms/read_view.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/dialog/dialog_api.h"
#include "platform/kernel/file_api.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

namespace {

// The read view's template: an empty full-screen dialog that the one child fills.
constexpr DWORD kPlayerTemplate = kReadViewDialog;
constexpr int kMaxTitle = 256;

}  // namespace

const MessageMap* CVideoPlayerDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CVideoPlayerDialog::OnInitDialog),
      OnCommandId(1, &CVideoPlayerDialog::OnDone),
      OnMessage(WM_KILLFOCUS, &CVideoPlayerDialog::OnLoseFocus),
      OnMessage(WM_CANCELMODE, &CVideoPlayerDialog::OnLoseFocus),
      OnMessage(WM_ACTIVATE, &CVideoPlayerDialog::OnActivate),
      OnMessage(WM_READ_VIEW_CLOSE, &CVideoPlayerDialog::OnCloseView),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

bool CVideoPlayerDialog::Run(HWND owner) {
  return DoModal(transport::ResourceInstance(), kPlayerTemplate, owner) == 1;
}

LRESULT CVideoPlayerDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  WCHAR title[kMaxTitle] = {};
  if (HWND parent = ::GetParent(GetHandle()); parent != nullptr && ::GetWindowTextW(parent, title, kMaxTitle) > 0) {
    ::SetWindowTextW(GetHandle(), title);
  }
  RECT client{};
  GetClientRect(&client);
  m_view.Create(GetHandle(), client);
  m_view.Load(m_path, GetHandle(), true);
  m_portrait = IsPortrait() != FALSE;
  SHMENUBARINFO bar{};
  bar.cbSize = sizeof bar;
  bar.hwndParent = GetHandle();
  bar.dwFlags = SHCMBF_EMPTYBAR;
  if (SHCreateMenuBar(&bar)) m_menuBar = bar.hwndMB;
  return TRUE;
}

LRESULT CVideoPlayerDialog::OnDone(WPARAM, LPARAM) {
  EndDialog(1);
  return 0;
}

LRESULT CVideoPlayerDialog::OnLoseFocus(WPARAM, LPARAM) {
  if (m_view.GetHandle() != nullptr) ::SendMessageW(m_view.GetHandle(), WM_KILLFOCUS, 0, 0);
  return 0;
}

LRESULT CVideoPlayerDialog::OnActivate(WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) != WA_INACTIVE) return 0;
  // An engine with a player window of its own deactivates the dialog when it shows it.
  if (Video_GetEngineType() == video_engine_type::kOwnPlayer) return 0;
  return OnLoseFocus(0, 0);
}

LRESULT CVideoPlayerDialog::OnCloseView(WPARAM, LPARAM) {
  EndDialog(2);
  return 0;
}

bool PlayVideoFile(HWND owner, LPCWSTR path) {
  if (path == nullptr || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return false;
  CVideoPlayerDialog dialog{CString(path)};
  return dialog.Run(owner);
}
