#include "forms/name_conflict_dialog.h"

#include "platform/dialog/dialog_api.h"
#include "platform/wide_format.h"
#include "transport/resource_module.h"

namespace {
constexpr int kMessageText = 1001;
}  // namespace

const MessageMap* CNameConflictDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CNameConflictDialog::OnInitDialog),
      OnCommandId(name_conflict::kCancel, &CNameConflictDialog::OnAnswer),
      OnCommandId(name_conflict::kNumberedName, &CNameConflictDialog::OnAnswer),
      OnCommandId(name_conflict::kReplace, &CNameConflictDialog::OnAnswer),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

int CNameConflictDialog::Run(HWND owner) {
  const INT_PTR result = DoModal(transport::ResourceInstance(), kNameConflictDialog, owner);
  if (result == name_conflict::kNumberedName || result == name_conflict::kReplace) return static_cast<int>(result);
  return name_conflict::kCancel;
}

LRESULT CNameConflictDialog::OnInitDialog(WPARAM, LPARAM) {
  const std::u16string text =
      platform::FormatWide(u"%s exists. Keep both as %s, or replace it?", m_existing.GetString(), m_numbered.GetString());
  ::SetDlgItemTextW(GetHandle(), kMessageText, text.c_str());
  return TRUE;
}

LRESULT CNameConflictDialog::OnAnswer(WPARAM wParam, LPARAM) {
  EndDialog(LOWORD(wParam));
  return 0;
}

LRESULT CNameConflictDialog::OnCancel(WPARAM, LPARAM) {
  EndDialog(name_conflict::kCancel);
  return 0;
}
