// The texts of the read view's message dialogs, made from a stored message: its header fields as
// labelled lines, the report text of a delivery or read report, whether reports were asked for,
// and the list of the message's objects. The dialogs only show what these give.
#pragma once

#include <vector>

#include "forms/store_message.h"
#include "model/message_model.h"
#include "platform/text/cstring.h"

struct InfoLine {
  CString label;  // "From:", as the resources say
  CString value;
};

// Local seconds since 1970 (as StoreMessage::Date gives them) as "dd/mm/yyyy" and "hh:mm".
CString MessageDateText(LONG seconds);
CString MessageTimeText(LONG seconds);
// Bytes as whole kilobytes rounded up (string 40850), or megabytes with one decimal from 1 MB on.
CString MessageSizeText(LONG bytes);
// The names of the MMS priority (128 low, 129 normal, 130 high), message class (128 personal to
// 131 auto) and delivery status (128 expired to 135 unreachable); empty for any other value.
CString PriorityText(LONG priority);
CString MessageClassText(LONG messageClass);
CString DeliveryStatusText(LONG status);
// The sender's visibility (128 hidden, 129 shown); empty for any other value.
CString SenderVisibilityText(LONG visibility);

// Whether the stored message is a delivery report or a read report.
bool IsReportMessage(const StoreMessage& message);

// The lines of the message information (dialog 208): from, to, cc, subject, date, size, class and
// priority; for a report, the report text, its status and its date instead. Empty values are left out.
std::vector<InfoLine> MessageInfoLines(const StoreMessage& message);
// The report text of a delivery report (string 41230) or read report (41231); empty for others.
CString ReportInfoText(const StoreMessage& message);
// Dialogs 214 and 217: the report of that kind when the message is one, else whether the sender
// asked for one.
CString DeliveryReportText(const StoreMessage& message);
CString ReadReportText(const StoreMessage& message);
// Dialog 380: every header line, the reports asked for, then each object with its type and size.
// The model may be null (the body is not there): the objects are then left out.
CString MessageDetailsText(const StoreMessage& message, const MessageModel* model);
