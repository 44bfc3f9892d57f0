// The hand-shake value between the client application and the compose form: the DWORD
// "Quillon_IPC_Name" under the configuration's UI key.
#pragma once

#include "platform/win_types.h"

constexpr DWORD kIpcReplyPending = 4096;

// Writes 4096 and flushes the key; always reports TRUE.
BOOL SetIpcFlag();
// Deletes the value and flushes; TRUE when the key could be opened.
BOOL ClearIpcFlag();
// The value, or -1 when the key or the value is missing or unreadable.
LONG GetIpcFlag();
