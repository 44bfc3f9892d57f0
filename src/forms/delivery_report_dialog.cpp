#include "forms/delivery_report_dialog.h"

#include "forms/message_info_text.h"
#include "forms/read_dialogs.h"

CDeliveryReportDialog::CDeliveryReportDialog(const StoreMessage& message)
    : CTextPageDialog(kDeliveryReportDialog, DeliveryReportText(message)) {}

INT_PTR ShowDeliveryReportDialog(HWND owner, const StoreMessage& message) {
  CDeliveryReportDialog dialog(message);
  return dialog.Run(owner);
}
