// The composer's view of sizes: what a message and its files weigh, the largest message the user
// agent sends, how a size is written for the user, and whether the device has room.
#pragma once

#include "model/message_model.h"
#include "platform/text/cstring.h"
#include "platform/win_types.h"

// The low 32 bits of the file's size; 0 when the file cannot be found.
DWORD FileSizeForCheck(LPCWSTR path);
// The sum of the sizes of the model's part files.
DWORD MessageSizeOf(const MessageModel& model);
// The message-size limit of the MM1 library's default configuration, in bytes.
DWORD MaxSendSize();

// Kilobytes taken upwards: "%d KB" (40850, at least 1) up to 1024 KB, else "%.1f MB" (40918).
CString FormatSize(DWORD bytes);
// "<size> of <limit>" (40442) for the frame's size control.
CString SizeDisplayText(DWORD messageSize);
// When the size exceeds the maximum send size, tells the user both in kilobytes (40395); true when
// it did.
bool ShowSizeMessage(HWND owner, DWORD size);
// Tells the user the message's size against the maximum send size (40395) whatever they are.
void ShowSizeAgainstLimit(HWND owner, DWORD size);
// Whether the device keeps ReservedSpace free after neededBytes more; false when the free space
// cannot be read.
bool HasFreeStorage(DWORD neededBytes);
