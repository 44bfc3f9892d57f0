// The list pickers of the composer (dialog template 208): a title over a list of texts, Select
// (40092, greyed while the list is empty) and Cancel. The texts picker of the insert-text command
// and the call-history picker are both this dialog with their own rows.
#pragma once

#include <optional>
#include <vector>

#include "platform/text/cstring.h"
#include "ui/dialog_base.h"

namespace text_list_picker {
constexpr DWORD kDialog = 208;
constexpr int kListControl = 1135;
constexpr UINT kSoftKeys = 260;
constexpr WORD kSelect = 40092;
constexpr WORD kCancel = 40151;
}  // namespace text_list_picker

class CTextListPickerDialog : public CDialogBase {
 public:
  CTextListPickerDialog(CString title, std::vector<CString> rows);
  const MessageMap* GetMessageMap() const override;

  // The index of the chosen row, or nothing when the picker was cancelled.
  std::optional<std::size_t> Run(HWND owner);
  HWND SoftKeys() const { return m_softKeys; }

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnOK(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnSelectCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnCancelCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnListCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnAbsentUser(WPARAM wParam, LPARAM lParam);

 private:
  CString m_title;
  std::vector<CString> m_rows;
  HWND m_softKeys = nullptr;
  std::optional<std::size_t> m_chosen;
};

// The texts the insert-text command offers: resource strings from kFirstListText on, up to the
// first one that is missing.
constexpr UINT kListTextTitle = 41270;
constexpr UINT kFirstListText = 41271;
constexpr UINT kMaxListTexts = 40;
std::vector<CString> ListTexts();
