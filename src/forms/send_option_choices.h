// The choices of the send-options dialogs in relative mode: the expiry and delivery-time values
// (seconds) configured under the UI key as "Expiration1".."Expiration<ExpirationCount>" and
// "DeliveryTime1".."DeliveryTime<DeliveryTimeCount>", and the texts they are shown with.
#pragma once

#include <vector>

#include "platform/text/cstring.h"
#include "platform/win_types.h"

// A count above this is taken as this many: a damaged count must not make the dialog read
// billions of registry values.
constexpr int kMaxSendOptionChoices = 32;

// The configured values in ascending order with 0 (the maximum expiry, or delivery at once) last;
// negative values (no time span) and repeats are left out.
std::vector<LONG> ExpiryChoices();
std::vector<LONG> DeliveryTimeChoices();
// Puts `seconds` among the choices in their order unless it is there already, so that a value the
// message or the defaults hold is never lost for want of a choice.
void AddChoice(std::vector<LONG>& choices, LONG seconds);
// "%d %s" with the whole hours and "hour" or "hours"; 0 is "Maximum" for expiry and
// "Immediately" for the delivery time.
CString ExpiryChoiceText(LONG seconds);
CString DeliveryTimeChoiceText(LONG seconds);
