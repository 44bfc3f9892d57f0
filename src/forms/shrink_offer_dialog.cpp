#include "forms/shrink_offer_dialog.h"

#include "forms/dialog_soft_keys.h"
#include "forms/message_size.h"
#include "platform/dialog/dialog_api.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

namespace {
constexpr UINT kShrinkOfferFormat = 41261;
}  // namespace

const MessageMap* CShrinkOfferDialog::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CShrinkOfferDialog::OnInitDialog),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

INT_PTR CShrinkOfferDialog::Run(HWND owner) {
  return DoModal(transport::ResourceInstance(), kShrinkOfferDialog, owner);
}

CString CShrinkOfferDialog::OfferText() const {
  CString text;
  text.Format(transport::LoadResourceString(kShrinkOfferFormat), FormatSize(m_fileSize).GetString(),
              FormatSize(m_budget).GetString());
  return text;
}

LRESULT CShrinkOfferDialog::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  ::SetDlgItemTextW(GetHandle(), kShrinkOfferText, OfferText());
  return TRUE;
}
