#include "forms/read_report_dialog.h"

#include "forms/message_info_text.h"
#include "forms/read_dialogs.h"

CReadReportDialog::CReadReportDialog(const StoreMessage& message)
    : CTextPageDialog(kReadReportDialog, ReadReportText(message)) {}

INT_PTR ShowReadReportDialog(HWND owner, const StoreMessage& message) {
  CReadReportDialog dialog(message);
  return dialog.Run(owner);
}
