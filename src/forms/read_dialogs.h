// The read form's dialogs: message information (208), call confirmation (200), the link address
// (327), delivery report (214), read report (217) and message details (380), and the policy
// notice box. Each runs modal over its owner and returns what EndDialog was given (IDOK, IDCANCEL)
// or -1 when it could not be shown.
#pragma once

#include <vector>

#include "platform/cstring.h"
#include "platform/message_store/mapi_interfaces.h"
#include "platform/win_types.h"

// A report text: with the keyword "TYR_PREFIX_" the keyword goes and "TYR_SUBJ", "TYR_RECP",
// "TYR_DATE" and "TYR_TIME" are replaced; without it the text is a format of three strings
// (subject, recipients, and string 41093 made of the time and the date). Empty stays empty.
CString ReportText(const CString& reportTemplate, const CString& subject, const CString& recipients,
                   const CString& date, const CString& time);

// The lines dialog 208 lists for the message: "From: ...", "To: ...", "Cc: ...", "Subject: ...",
// "Date: ...", "Size: ...", "Class: ...", "Priority: ...", and for a delivery or read report the
// report text. Empty without a message.
std::vector<CString> MessageInformationLines(IMessage* message);
// Dialog 208 with those lines.
INT_PTR ShowMessageInformation(HWND owner, IMessage* message);

// Dialog 200 asking whether to call `number`; on OK (the person may correct the number) the call
// is placed through the phone (Dial). IDCANCEL without a call for an empty number.
INT_PTR ShowCallConfirmation(HWND owner, LPCWSTR number);

// Dialog 327: the current link's address for editing, labelled as an e-mail address when `isEmail`.
// On OK *target holds the edited address (unchanged on Cancel).
INT_PTR ShowLinkDialog(HWND owner, CString* target, BOOL isEmail);

// The texts of dialogs 214, 217 and 380 for a message (what they show, for tests and the dialogs).
CString DeliveryReportText(IMessage* message);
CString ReadReportText(IMessage* message);
CString MessageDetailsText(IMessage* message);
INT_PTR ShowDeliveryReport(HWND owner, IMessage* message);  // 214
INT_PTR ShowReadReport(HWND owner, IMessage* message);      // 217
INT_PTR ShowMessageDetails(HWND owner, IMessage* message);  // 380

// The box shown when the content policy changed: string 41135 (on) or 41134 (off), title 41133,
// the exclamation icon.
int ShowPolicyNotice(HWND owner, bool policyOn);
