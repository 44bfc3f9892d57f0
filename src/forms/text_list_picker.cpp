#include "forms/text_list_picker.h"

#include <string>

#include "forms/dialog_soft_keys.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_messages.h"
#include "platform/controls/menu_api.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/dialog/dialog_api.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_styles.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

CTextListPickerDialog::CTextListPickerDialog(CString title, std::vector<CString> rows)
    : m_title(std::move(title)), m_rows(std::move(rows)) {}

const MessageMap* CTextListPickerDialog::GetMessageMap() const {
  using D = CTextListPickerDialog;
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &D::OnInitDialog),
      OnCommandId(text_list_picker::kSelect, &D::OnSelectCommand),
      OnCommandId(text_list_picker::kCancel, &D::OnCancelCommand),
      OnCommandId(text_list_picker::kListControl, &D::OnListCommand),
      OnMessage(WM_ANSWER_FOR_ABSENT_USER, &D::OnAbsentUser),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

std::optional<std::size_t> CTextListPickerDialog::Run(HWND owner) {
  m_chosen.reset();
  DoModal(transport::ResourceInstance(), text_list_picker::kDialog, owner);
  return m_chosen;
}

LRESULT CTextListPickerDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  ::SetWindowTextW(GetHandle(), m_title.GetString());
  m_softKeys = CreateDialogSoftKeys(GetHandle(), text_list_picker::kSoftKeys);
  if (m_softKeys != nullptr && m_rows.empty()) {
    auto* keys = reinterpret_cast<HMENU>(::SendMessageW(m_softKeys, SHCMBM_GETMENU, 0, 0));
    if (keys != nullptr) EnableMenuItem(keys, text_list_picker::kSelect, MF_BYCOMMAND | MF_GRAYED);
  }
  HWND list = ::GetDlgItem(GetHandle(), text_list_picker::kListControl);
  if (list != nullptr) {
    for (const CString& row : m_rows) ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.GetString()));
    ::SendMessageW(list, LB_SETCURSEL, 0, 0);
    ::SetFocus(list);
  }
  return FALSE;
}

LRESULT CTextListPickerDialog::OnOK(WPARAM wParam, LPARAM lParam) {
  HWND list = ::GetDlgItem(GetHandle(), text_list_picker::kListControl);
  const LRESULT selection = list != nullptr ? ::SendMessageW(list, LB_GETCURSEL, 0, 0) : LB_ERR;
  // An empty list has nothing to choose: Select stays where it is.
  if (selection < 0 || static_cast<std::size_t>(selection) >= m_rows.size()) return 0;
  m_chosen = static_cast<std::size_t>(selection);
  return CDialogBase::OnOK(wParam, lParam);
}

LRESULT CTextListPickerDialog::OnSelectCommand(WPARAM, LPARAM) { return OnOK(IDOK, 0); }

LRESULT CTextListPickerDialog::OnCancelCommand(WPARAM, LPARAM) { return OnCancel(IDCANCEL, 0); }

LRESULT CTextListPickerDialog::OnListCommand(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) == LBN_DBLCLK) return OnOK(IDOK, 0);
  return 0;
}

// Headless, the queued answer is the row's number from 1, as the listing shows; 0 cancels.
LRESULT CTextListPickerDialog::OnAbsentUser(WPARAM, LPARAM) {
  std::u16string listing;
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    listing += platform::Utf8ToUtf16(std::to_string(i + 1) + ". ") + std::u16string(m_rows[i].View()) + u"\n";
  }
  const platform::automation::Prompt prompt{u"ListPicker", ::GetWindow(GetHandle(), GW_OWNER),
                                            std::u16string(m_title.View()), listing, 0};
  const int answer = platform::automation::Answer(prompt, 0);
  if (answer >= 1 && static_cast<std::size_t>(answer) <= m_rows.size()) {
    m_chosen = static_cast<std::size_t>(answer - 1);
    EndDialog(IDOK);
  } else {
    EndDialog(IDCANCEL);
  }
  return 0;
}

std::vector<CString> ListTexts() {
  std::vector<CString> texts;
  for (UINT id = kFirstListText; id < kFirstListText + kMaxListTexts; ++id) {
    CString text(transport::LoadResourceString(id));
    if (text.IsEmpty()) break;
    texts.push_back(std::move(text));
  }
  return texts;
}
