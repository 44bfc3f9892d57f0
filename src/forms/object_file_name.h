// Names of a message's objects on their way out of the message: a name the message carries may
// hold a folder part, "..", or control characters, and none of them may steer a write or a read
// outside the folder it is meant for.
#pragma once

#include <string_view>

#include "platform/text/cstring.h"

// Whether the name is one plain file name: not empty, not "." or "..", with no folder separator,
// no drive colon and no control character.
bool IsPlainFileName(std::u16string_view name);

// The name made safe for a file of its own in a folder: only the part after the last separator,
// control characters and the characters no file name may hold replaced by "_", leading dots and
// trailing dots and spaces removed; "object" when nothing is left. A name longer than 128
// characters is cut, keeping its extension, and a device's reserved name (CON, NUL, COM1, ...)
// gets a leading "_".
CString SafeObjectName(std::u16string_view name);
