// What a ".qcp" sound holds, asked of the QCP reader library "qcp_reader.dll", and the rule that
// turns a QCP typed as QCELP into EVRC (audio subtype 7) when the file is EVRC and the audio engine
// plays EVRC (engine type 6).
#pragma once

#include "model/media_types.h"
#include "platform/win_types.h"

// The format code the reader reports (48 for EVRC), or 32 when the path is empty or anything fails.
int32_t GetQcpFormat(LPCWSTR path);

// The type to play a file as: 0x20007 for a QCP (0x20006) of format 48 on an engine of type 6,
// otherwise the type given.
MediaType PlayableAudioType(LPCWSTR path, MediaType type);
