#include "forms/call_confirm_dialog.h"

#include "forms/dialog_soft_keys.h"
#include "device/link_actions.h"
#include "forms/read_dialogs.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

namespace {
// Longer than any number a phone dials; what a message's text offers is cut there.
constexpr int kLongestNumber = 200;
}  // namespace

const MessageMap* CCallConfirmDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CCallConfirmDialog::OnInitDialog),
      OnCommandId(kCallNumberEdit, &CCallConfirmDialog::OnNumberEdit),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

INT_PTR CCallConfirmDialog::Run(HWND owner) {
  return DoModal(transport::ResourceInstance(), kCallConfirmDialog, owner);
}

CString CCallConfirmDialog::Number() const {
  CString number = m_number;
  number.Trim();
  return number;
}

LRESULT CCallConfirmDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  if (m_number.GetLength() > kLongestNumber) m_number = m_number.Left(kLongestNumber);
  ::SendDlgItemMessageW(GetHandle(), kCallNumberEdit, EM_LIMITTEXT, kLongestNumber, 0);
  ::SetDlgItemTextW(GetHandle(), kCallNumberEdit, m_number);
  CreateDialogSoftKeys(GetHandle(), kOkCancelSoftKeys);
  return TRUE;
}

LRESULT CCallConfirmDialog::OnNumberEdit(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) != EN_CHANGE) return 0;
  WCHAR text[kLongestNumber + 1] = {};
  ::GetDlgItemTextW(GetHandle(), kCallNumberEdit, text, kLongestNumber + 1);
  m_number = CString(text);
  return 0;
}

LRESULT CCallConfirmDialog::OnOK(WPARAM wParam, LPARAM lParam) {
  if (Number().IsEmpty()) return 0;
  return CDialogBase::OnOK(wParam, lParam);
}

INT_PTR ShowCallConfirmDialog(HWND owner, const CString& number) {
  CCallConfirmDialog dialog(number);
  const INT_PTR result = dialog.Run(owner);
  // Nobody is called without a number, however the dialog was ended.
  if (result == IDOK && !dialog.Number().IsEmpty()) Dial(dialog.Number(), 0);
  return result;
}
