// CLinkAddressDialog (dialog 327): the current link's address in an edit box, to be corrected
// before the link commands act on it. An e-mail address must still be one when it is taken.
#pragma once

#include <optional>

#include "platform/text/cstring.h"
#include "ui/dialog_base.h"

constexpr DWORD kLinkAddressDialog = 327;
constexpr int kLinkAddressEdit = 1001;

class CLinkAddressDialog : public CDialogBase {
 public:
  CLinkAddressDialog(CString address, bool email) : m_address(std::move(address)), m_email(email) {}

  const MessageMap* GetMessageMap() const override;
  INT_PTR Run(HWND owner);
  // The address as edited, without the spaces around it.
  CString Address() const;
  // Whether the address may be taken: not empty, and an e-mail address when the link was one.
  bool Acceptable() const;

  // OK keeps the dialog open, with the reason, while the address cannot be taken.
  LRESULT OnOK(WPARAM wParam, LPARAM lParam) override;

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnAddressEdit(WPARAM wParam, LPARAM lParam);

 private:
  CString m_address;
  bool m_email;
};
