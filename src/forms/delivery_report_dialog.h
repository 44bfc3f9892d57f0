// CDeliveryReportDialog (dialog 214): for a delivery report, its report text and status; for any
// other message, whether its sender asked for a delivery report.
#pragma once

#include "forms/store_message.h"
#include "forms/text_page_dialog.h"

constexpr DWORD kDeliveryReportDialog = 214;

class CDeliveryReportDialog : public CTextPageDialog {
 public:
  explicit CDeliveryReportDialog(const StoreMessage& message);
};
