// The send-option string the client application hands over in place of the To word when it asks
// the composer to forward a message it holds: "<data file>=<f1>:<f2>:...:<f12>", twelve decimal
// fields for the message's option properties 0x8017 to 0x8022, in that order.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "forms/message_binding.h"
#include "platform/text/cstring.h"

struct SendOptionString {
  CString dataFile;
  std::array<LONG, 12> fields{};
};

// Fails only without "=". Each field reads as wide-string-to-long does: leading blanks, a sign and
// the digits that follow, 0 when there are none, held within the 32-bit range. A field that is
// missing reads 0 and fields after the twelfth are ignored, so a shorter string from an older
// client still forwards with its options off.
std::optional<SendOptionString> ParseSendOptionString(std::u16string_view text);

// Stores the fields, copies the named file to the binding's data file (an existing one is kept),
// sets the message size from it, applies the delivery-report and read-report defaults, clears the
// sent date and runs the forward-lock check. When the check fails the data file is deleted and the
// result is false. *lockedObjectsRemoved tells whether the check took objects out.
bool ApplySendOptionString(MessageBinding& binding, std::u16string_view text, bool* lockedObjectsRemoved);
