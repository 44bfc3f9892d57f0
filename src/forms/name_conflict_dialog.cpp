#include "forms/name_conflict_dialog.h"

#include "transport/resource_module.h"

const MessageMap* CNameConflictDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
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

LRESULT CNameConflictDialog::OnAnswer(WPARAM wParam, LPARAM) {
  EndDialog(LOWORD(wParam));
  return 0;
}

LRESULT CNameConflictDialog::OnCancel(WPARAM, LPARAM) {
  EndDialog(name_conflict::kCancel);
  return 0;
}
