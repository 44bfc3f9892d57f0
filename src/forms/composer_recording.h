// Where the composer's audio insert records to, and how much it may record.
#pragma once

#include <string>

#include "platform/win_types.h"

// The bytes a recording may take: what the send limit leaves of the message, less 1024 bytes for
// the message's own overhead, plus the slide's current audio, which the recording replaces. A
// message already over the limit leaves 0, not a wrapped-around size.
int InsertAudioBudget(DWORD maxSendSize, DWORD messageSize, DWORD currentAudioSize);

// A new recording's path in the part folder: "record" with ".amr" (record type non-zero) or
// ".qcp", numbered when that name is taken so that another slide's recording is never overwritten;
// empty when no free name is found.
std::u16string RecordingPath(const std::u16string& partFolder, LONG recordType);
