// What follows from a link: opening an address through the shell, dialling a number through the
// phone (or only starting the dialler), and the device's own number.
#pragma once

#include <string_view>

#include "platform/text/cstring.h"

// ShellExecuteEx with the verb "open", the target as the file, the process kept (mask 0x40) and
// shown normally; TRUE when the shell took it.
BOOL OpenAddress(LPCWSTR target);
// With dialerOnly 0, asks the phone to call `number`; otherwise starts "\windows\cprog.exe" with no
// arguments. Always 1: the phone reports its own failures to the user.
int Dial(LPCWSTR number, int dialerOnly);
// From SmsGetPhoneNumber; empty when that fails.
CString OwnPhoneNumber();

// What a tapped link of a received HTML text opens, or empty when it leads nowhere: web and
// streaming addresses as written; local paths unless they name a program; a relative target after
// the text's `folder`, unless it climbs out of it; nothing for other schemes ("javascript:", ...).
// "mailto:" targets are the caller's (they compose rather than open).
CString HtmlLinkAddress(std::u16string_view target, std::u16string_view folder);
