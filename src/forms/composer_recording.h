// Where the composer's audio insert records to, and how much it and the camera may record.
#pragma once

#include <optional>
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

// The voice message's path in the message's folder: "voicemsg" with ".amr" (record type non-zero)
// or ".qcp". There is one voice message, so a new recording takes the same name.
std::u16string VoiceMessagePath(const std::u16string& folder, LONG recordType);

// The seconds of video the camera may record into `budget` bytes (the room the message has left
// for the slide's video), by the selected video profile's byte rate. 0 when the profile gives no
// byte rate, which leaves the camera without a limit; nothing when not one second fits, since
// the camera takes a limit of 0 for none at all.
std::optional<DWORD> VideoCaptureSeconds(long long budget);
