// Opening an object of a message through the shell: a copy in the system's temporary folder
// ("UATemp\" below it), so that the program that opens it can neither change nor lock the
// message's own file. Also the removal of such work folders.
#pragma once

#include "platform/text/cstring.h"
#include "platform/win_types.h"

// The work folder: the temporary path (or "\Temp") with "\" added when missing, then "UATemp\".
CString ShellTempFolder();

// Deletes a folder with its files and folders (at most 8 levels deep); true when it is gone.
bool RemoveFolderTree(LPCWSTR folder);

// Makes the work folder anew, copies the object into it under its own (safe) name and opens the
// copy with verb "open". False when the copy or the shell fails.
bool OpenWithShell(LPCWSTR source, HWND owner);
