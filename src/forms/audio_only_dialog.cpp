#include "forms/audio_only_dialog.h"

#include "forms/dialog_soft_keys.h"
#include "platform/dialog/dialog_api.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

const MessageMap* CAudioOnlyDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CAudioOnlyDialog::OnInitDialog),
      OnCommandId(kKeepAsVideoButton, &CAudioOnlyDialog::OnChoice),
      OnCommandId(kSendAsSoundButton, &CAudioOnlyDialog::OnChoice),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

INT_PTR CAudioOnlyDialog::Run(HWND owner) { return DoModal(transport::ResourceInstance(), kAudioOnlyDialog, owner); }

LRESULT CAudioOnlyDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  return TRUE;
}

LRESULT CAudioOnlyDialog::OnChoice(WPARAM wParam, LPARAM) {
  EndDialog(LOWORD(wParam));
  return 0;
}
