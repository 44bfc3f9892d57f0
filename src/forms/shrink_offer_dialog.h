// CShrinkOfferDialog (dialog 393): a picture is larger than the room the message has left; the
// dialog shows both sizes and offers to make the picture smaller until it fits.
#pragma once

#include "platform/text/cstring.h"
#include "ui/dialog_base.h"

constexpr DWORD kShrinkOfferDialog = 393;
constexpr int kShrinkOfferText = 1001;

class CShrinkOfferDialog : public CDialogBase {
 public:
  CShrinkOfferDialog(DWORD fileSize, DWORD budget) : m_fileSize(fileSize), m_budget(budget) {}

  const MessageMap* GetMessageMap() const override;
  // IDOK when the person wants the picture made smaller.
  INT_PTR Run(HWND owner);
  // "The picture takes <size>; the message has room for <budget>. ..." (41261).
  CString OfferText() const;

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);

 private:
  DWORD m_fileSize;
  DWORD m_budget;
};
