// What follows from a link: opening an address through the shell, dialling a number through the
// phone (or only starting the dialler), and the device's own number.
#pragma once

#include "platform/cstring.h"

// ShellExecuteEx with the verb "open", the target as the file, the process kept (mask 0x40) and
// shown normally; TRUE when the shell took it.
BOOL OpenAddress(LPCWSTR target);
// With dialerOnly 0, asks the phone to call `number`; otherwise starts "\windows\cprog.exe" with no
// arguments. Always 1: the phone reports its own failures to the user.
int Dial(LPCWSTR number, int dialerOnly);
// From SmsGetPhoneNumber; empty when that fails.
CString OwnPhoneNumber();
