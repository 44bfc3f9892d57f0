// CAudioOnlyDialog (dialog 392): a video file that holds only sound may go into the message as a
// video or as a sound; the person picks one of the two buttons.
#pragma once

#include "ui/dialog_base.h"

constexpr DWORD kAudioOnlyDialog = 392;
constexpr int kKeepAsVideoButton = 1436;
constexpr int kSendAsSoundButton = 1437;

class CAudioOnlyDialog : public CDialogBase {
 public:
  const MessageMap* GetMessageMap() const override;
  // The button pressed (1436 or 1437), or IDCANCEL.
  INT_PTR Run(HWND owner);

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnChoice(WPARAM wParam, LPARAM lParam);
};
