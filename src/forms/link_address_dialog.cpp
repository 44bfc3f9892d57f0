#include "forms/link_address_dialog.h"

#include "forms/dialog_soft_keys.h"
#include <vector>

#include "device/link_checks.h"
#include "forms/read_dialogs.h"
#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

namespace {
constexpr UINT kEmailTitle = 41240;
constexpr UINT kNotAnEmailAddress = 40940;
// The longest link target the HTML text view hands over.
constexpr int kLongestAddress = 1000;
}  // namespace

const MessageMap* CLinkAddressDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CLinkAddressDialog::OnInitDialog),
      OnCommandId(kLinkAddressEdit, &CLinkAddressDialog::OnAddressEdit),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

INT_PTR CLinkAddressDialog::Run(HWND owner) {
  return DoModal(transport::ResourceInstance(), kLinkAddressDialog, owner);
}

CString CLinkAddressDialog::Address() const {
  CString address = m_address;
  address.Trim();
  return address;
}

bool CLinkAddressDialog::Acceptable() const {
  const CString address = Address();
  return !address.IsEmpty() && (!m_email || IsEmailAddress(address.View(), true));
}

LRESULT CLinkAddressDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  if (m_email) ::SetWindowTextW(GetHandle(), transport::LoadResourceString(kEmailTitle));
  if (m_address.GetLength() > kLongestAddress) m_address = m_address.Left(kLongestAddress);
  ::SendDlgItemMessageW(GetHandle(), kLinkAddressEdit, EM_LIMITTEXT, kLongestAddress, 0);
  ::SetDlgItemTextW(GetHandle(), kLinkAddressEdit, m_address);
  CreateDialogSoftKeys(GetHandle(), kOkCancelSoftKeys);
  return TRUE;
}

LRESULT CLinkAddressDialog::OnAddressEdit(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) != EN_CHANGE) return 0;
  std::vector<WCHAR> text(kLongestAddress + 1, 0);
  ::GetDlgItemTextW(GetHandle(), kLinkAddressEdit, text.data(), kLongestAddress + 1);
  m_address = CString(text.data());
  return 0;
}

LRESULT CLinkAddressDialog::OnOK(WPARAM wParam, LPARAM lParam) {
  if (!Acceptable()) {
    if (m_email && !Address().IsEmpty()) {
      if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(GetHandle(), kNotAnEmailAddress, MB_OK);
    }
    return 0;
  }
  return CDialogBase::OnOK(wParam, lParam);
}

std::optional<CString> ShowLinkAddressDialog(HWND owner, const CString& address, bool email) {
  CLinkAddressDialog dialog(address, email);
  // An address that cannot be taken is never handed on, however the dialog was ended.
  if (dialog.Run(owner) != IDOK || !dialog.Acceptable()) return std::nullopt;
  return dialog.Address();
}
