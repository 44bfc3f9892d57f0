#include "forms/text_page_dialog.h"

#include "forms/dialog_soft_keys.h"
#include <algorithm>

#include "platform/dialog/dialog_api.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

const MessageMap* CTextPageDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CTextPageDialog::OnInitDialog),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

INT_PTR CTextPageDialog::Run(HWND owner) { return DoModal(transport::ResourceInstance(), m_templateId, owner); }

LRESULT CTextPageDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  // The edit fills what the shell left of the screen, with a margin so that no text touches its edge.
  if (HWND edit = GetDlgItem(kTextPageEdit)) {
    RECT client{};
    GetClientRect(&client);
    RECT margin{0, 0, 2, 2};
    MapDialogRect(GetHandle(), &margin);
    ::MoveWindow(edit, margin.right, margin.bottom, std::max<LONG>(1, client.right - 2 * margin.right),
                 std::max<LONG>(1, client.bottom - 2 * margin.bottom), TRUE);
  }
  ::SetDlgItemTextW(GetHandle(), kTextPageEdit, m_text);
  CreateDialogSoftKeys(GetHandle(), kDoneSoftKeys);
  return TRUE;
}
