#include "ui/oriented_dialog.h"

#include "platform/dialog/dialog_api.h"
#include "ui/window_layout.h"

COrientedDialog::~COrientedDialog() { m_instance = nullptr; }

const MessageMap* COrientedDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_SETTINGCHANGE, &COrientedDialog::SettingChangeEntry),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

LRESULT COrientedDialog::SettingChangeEntry(WPARAM wParam, LPARAM lParam) { return OnSettingChange(wParam, lParam); }

INT_PTR COrientedDialog::DoModal(HINSTANCE instance, DWORD portraitTemplateId, DWORD landscapeTemplateId,
                                 HWND parent) {
  m_instance = instance;
  m_portraitTemplate = portraitTemplateId;
  m_landscapeTemplate = landscapeTemplateId;
  return CDialogBase::DoModal(instance, IsPortrait() ? portraitTemplateId : landscapeTemplateId, parent);
}

LRESULT COrientedDialog::OnSettingChange(WPARAM wParam, LPARAM) {
  if (m_portraitTemplate == 0 || m_landscapeTemplate == 0) return 0;
  const BOOL portrait = IsPortrait();
  if (wParam != SETTINGCHANGE_RESET || portrait == IsPortraitLayout()) return 0;
  SetPortraitLayout(portrait);
  RelayoutDialog(m_instance, GetHandle(), portrait ? m_portraitTemplate : m_landscapeTemplate);
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  return 0;
}
