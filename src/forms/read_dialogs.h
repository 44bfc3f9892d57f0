// The read form's dialogs, each shown modally over `owner` from its template: the message
// information (208), the call confirmation (200), the link address (327), the delivery report
// (214), the read report (217) and the message details (380); the report texts they use and the
// policy notice box.
#pragma once

#include <optional>

#include "platform/message_store/mapi_interfaces.h"
#include "platform/text/cstring.h"
#include "platform/win_types.h"

// A report text: with the keyword "TYR_PREFIX_" the keyword goes and "TYR_SUBJ", "TYR_RECP",
// "TYR_DATE" and "TYR_TIME" are replaced; without it the text is a format of three strings
// (subject, recipients, and string 41093 made of the time and the date). Empty stays empty.
CString ReportText(const CString& reportTemplate, const CString& subject, const CString& recipients,
                   const CString& date, const CString& time);

// The box shown when the content policy changed: string 41135 (on) or 41134 (off), title 41133,
// the exclamation icon.
int ShowPolicyNotice(HWND owner, bool policyOn);

class MessageBinding;
class StoreMessage;

// Dialog 208: from, to, cc, subject, date, size, class and priority; a report's text instead for
// delivery and read reports. Returns what the dialog ended with (-1 when it could not be shown).
INT_PTR ShowMessageInfoDialog(HWND owner, const StoreMessage& message);
// Dialog 200: asks to call `number`, which the person may correct; Call dials the number as it
// then stands, never an empty one.
INT_PTR ShowCallConfirmDialog(HWND owner, const CString& number);
// Dialog 327: the link's address to correct; with `email` it is titled for an e-mail address and
// must still be one. The address as taken, or nothing when cancelled.
std::optional<CString> ShowLinkAddressDialog(HWND owner, const CString& address, bool email);
// Dialog 214: a delivery report's text and status, or whether the sender asked for one.
INT_PTR ShowDeliveryReportDialog(HWND owner, const StoreMessage& message);
// Dialog 217: a read report's text, or whether the sender asked for one.
INT_PTR ShowReadReportDialog(HWND owner, const StoreMessage& message);
// Dialog 380: every header field, the reports asked for and the message's objects (loading the
// message body when it is not loaded yet).
INT_PTR ShowMessageDetailsDialog(HWND owner, MessageBinding& binding);
