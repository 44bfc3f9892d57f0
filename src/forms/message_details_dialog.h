// CMessageDetailsDialog (dialog 380): everything known about a message in one text: its header
// fields, the reports asked for, and its objects with their types and sizes.
#pragma once

#include "forms/store_message.h"
#include "forms/text_page_dialog.h"
#include "model/message_model.h"

constexpr DWORD kMessageDetailsDialog = 380;

class CMessageDetailsDialog : public CTextPageDialog {
 public:
  // The model may be null: a message whose body is not there has no objects to list.
  CMessageDetailsDialog(const StoreMessage& message, const MessageModel* model);
};
