// The name-conflict dialog (319) of a save: a file of the name exists in the target folder. It
// shows the name and the free numbered name, and ends with the button pressed.
#pragma once

#include "platform/cstring.h"
#include "ui/dialog_base.h"

namespace name_conflict {
constexpr int kCancel = 1297;
constexpr int kNumberedName = 1326;
constexpr int kReplace = 1329;
}  // namespace name_conflict

constexpr DWORD kNameConflictDialog = 319;

class CNameConflictDialog : public CDialogBase {
 public:
  CNameConflictDialog(CString existingName, CString numberedName)
      : m_existing(std::move(existingName)), m_numbered(std::move(numberedName)) {}

  const MessageMap* GetMessageMap() const override;

  // One of the three answers; closing the dialog any other way cancels.
  int Run(HWND owner);

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnAnswer(WPARAM wParam, LPARAM lParam);
  LRESULT OnCancel(WPARAM wParam, LPARAM lParam) override;

 private:
  CString m_existing;
  CString m_numbered;
};
