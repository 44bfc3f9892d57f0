// What both create calls of the provider use: the application titles, the client application,
// the owner of their message boxes and the failure notice to the client.
#pragma once

#include "platform/win_types.h"

namespace provider {

// The source name the provider's debug lines carry.
inline constexpr const char* kSourceName = "MMSFormProvider";

// Loads the two application titles again when either is empty.
void LoadTitles();
// Makes sure the client application runs, starting it when its window is missing.
void StartClient();
// The list of the host's Inbox, owner of the create path's message boxes; null without one.
HWND InboxListWindow();
// Posts WM_FORM_FAILED to the client's main window, when there is one.
void PostFormFailed();

}  // namespace provider
