// CCallConfirmDialog (dialog 200): asks before a call, with the number in an edit box that the
// person may correct. The number as it stands when the dialog ends is the one to call.
#pragma once

#include "platform/text/cstring.h"
#include "ui/dialog_base.h"

constexpr DWORD kCallConfirmDialog = 200;
constexpr int kCallNumberEdit = 1002;

class CCallConfirmDialog : public CDialogBase {
 public:
  explicit CCallConfirmDialog(CString number) : m_number(std::move(number)) {}

  const MessageMap* GetMessageMap() const override;
  INT_PTR Run(HWND owner);
  // The number without the spaces around it; empty when the person cleared it.
  CString Number() const;

  // Call refuses to end the dialog while there is no number to call.
  LRESULT OnOK(WPARAM wParam, LPARAM lParam) override;

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnNumberEdit(WPARAM wParam, LPARAM lParam);

 private:
  CString m_number;
};
