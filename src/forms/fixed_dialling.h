// The fixed-dialling check made before a message is sent: with SupportFDN, every phone number
// among the recipients must be on the fixed-dialling list, which is the SIM card's (when the card
// has one) or, with FdnEmulator, the test numbers FdnNum1 to FdnNum<Count> of the settings.
// E-mail addresses are not numbers the card restricts and always pass.
#pragma once

#include <optional>
#include <vector>

#include "platform/text/cstring.h"
#include "platform/win_types.h"

// The emulator's Count is a setting of outside data: a damaged one (2^31, say) would read two
// billion registry values, so no more than this many test numbers are read.
constexpr int kMaxFdnEmulatorNumbers = 255;

// The fixed-dialling list in force, each number normalised as a recipient entry is; nothing when
// dialling is not restricted (SupportFDN off, or a card without a list or no card at all).
std::optional<std::vector<CString>> FixedDiallingList();

// True when each of the three address texts passes: SupportFDN off, no list in force, or every
// phone-number entry is on the list.
bool PassesFixedDialling(const CString& to, const CString& cc, const CString& bcc);
// PassesFixedDialling for the send flow: when it fails, the user is told (resource string 41084)
// and the send stops.
bool CheckFixedDialling(HWND owner, const CString& to, const CString& cc, const CString& bcc);
