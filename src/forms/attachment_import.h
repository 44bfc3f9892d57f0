// Taking the attachment of a message another program created (a picture sent from the gallery, a
// file from the file manager) into a file that the composer can insert.
#pragma once

#include "platform/message_store/mapi_interfaces.h"
#include "platform/win_types.h"

namespace import_status {
constexpr int kNothing = -1;  // no attachment with a name, or its data could not be read whole
constexpr int kImported = 0;
constexpr int kNotAllowed = 1;
constexpr int kProtected = 2;
constexpr int kNoMms = 3;
constexpr int kNoFlix = 4;
constexpr int kTooLarge = 5;
constexpr int kContentRefused = 6;
}  // namespace import_status

// Copies the message's last attachment that opens into targetFolder (ending in "\") as
// "<n>_<name>", its name stripped of any folder part, and keeps the path in the transport's
// importedFile. Statuses 1 and 2 delete the file again and empty importedFile.
int ImportAttachment(IMessage* hostMessage, HWND parentWindow, LPCWSTR targetFolder, LPCWSTR messageClass,
                     int mmsFlag, int flixFlag);
