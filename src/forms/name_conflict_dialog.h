// The name-conflict dialog (319) of a save: a file of the name exists in the target folder. It
// ends with the button pressed: keep both (the numbered name), replace, or cancel.
#pragma once

#include "ui/dialog_base.h"

namespace name_conflict {
constexpr int kCancel = 1297;
constexpr int kNumberedName = 1326;
constexpr int kReplace = 1329;
}  // namespace name_conflict

constexpr DWORD kNameConflictDialog = 319;

class CNameConflictDialog : public CDialogBase {
 public:
  const MessageMap* GetMessageMap() const override;

  // One of the three answers; closing the dialog any other way cancels.
  int Run(HWND owner);

 protected:
  LRESULT OnAnswer(WPARAM wParam, LPARAM lParam);
  LRESULT OnCancel(WPARAM wParam, LPARAM lParam) override;
};
