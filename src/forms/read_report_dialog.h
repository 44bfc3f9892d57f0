// CReadReportDialog (dialog 217): for a read report, its report text; for any other message,
// whether its sender asked for a read report.
#pragma once

#include "forms/store_message.h"
#include "forms/text_page_dialog.h"

constexpr DWORD kReadReportDialog = 217;

class CReadReportDialog : public CTextPageDialog {
 public:
  explicit CReadReportDialog(const StoreMessage& message);
};
