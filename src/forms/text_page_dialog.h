// CTextPageDialog: a full-screen dialog that shows one read-only text in its edit control 1001,
// under a title of its own. The report dialogs (214, 217) and the message details (380) are of
// this kind; each says which template and which text.
#pragma once

#include "platform/text/cstring.h"
#include "ui/dialog_base.h"

constexpr int kTextPageEdit = 1001;

class CTextPageDialog : public CDialogBase {
 public:
  CTextPageDialog(DWORD templateId, CString text) : m_templateId(templateId), m_text(std::move(text)) {}

  const MessageMap* GetMessageMap() const override;
  // Runs the dialog modally; the value it ended with (IDOK, IDCANCEL), -1 when it cannot be shown.
  INT_PTR Run(HWND owner);

  const CString& Text() const { return m_text; }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);

 private:
  DWORD m_templateId;
  CString m_text;
};
