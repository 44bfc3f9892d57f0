// Before a message is forwarded: protected objects that may not travel are found, the user is asked
// whether to forward without them, and, on Yes, they are taken out of the message model.
#pragma once

#include "forms/message_binding.h"

// Question strings of the check.
constexpr UINT kAskRightsExpired = 40372;
constexpr UINT kAskSomeObjectsLocked = 40751;
constexpr UINT kAskAllObjectsLocked = 40752;

// True when the forward may go on; *changed is set when locked objects were taken out of the model.
// False without a loaded message body, or when the user says No.
bool CheckForwardLock(MessageBinding& binding, bool* changed);
