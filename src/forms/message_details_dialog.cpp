#include "forms/message_details_dialog.h"

#include "forms/message_binding.h"
#include "forms/message_info_text.h"
#include "forms/read_dialogs.h"

CMessageDetailsDialog::CMessageDetailsDialog(const StoreMessage& message, const MessageModel* model)
    : CTextPageDialog(kMessageDetailsDialog, MessageDetailsText(message, model)) {}

INT_PTR ShowMessageDetailsDialog(HWND owner, MessageBinding& binding) {
  CMessageDetailsDialog dialog(binding.Message(), binding.Model());
  return dialog.Run(owner);
}
