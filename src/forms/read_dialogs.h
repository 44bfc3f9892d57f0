// The read form's report texts and the policy notice box. The dialogs of the read view (message
// information 208, call confirmation 200, link address 327, 214, 217, 380) are still to come.
#pragma once

#include "platform/cstring.h"
#include "platform/message_store/mapi_interfaces.h"
#include "platform/win_types.h"

// A report text: with the keyword "TYR_PREFIX_" the keyword goes and "TYR_SUBJ", "TYR_RECP",
// "TYR_DATE" and "TYR_TIME" are replaced; without it the text is a format of three strings
// (subject, recipients, and string 41093 made of the time and the date). Empty stays empty.
CString ReportText(const CString& reportTemplate, const CString& subject, const CString& recipients,
                   const CString& date, const CString& time);

// The box shown when the content policy changed: string 41135 (on) or 41134 (off), title 41133,
// the exclamation icon.
int ShowPolicyNotice(HWND owner, bool policyOn);
