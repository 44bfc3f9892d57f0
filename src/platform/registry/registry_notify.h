// Registry change notifications to a window: the registry is one SQLite database that several
// processes share, so a watched value is compared again on a thread timer of the watching process
// (its message loop runs it) and a change by any process posts the message.
#pragma once

#include "platform/registry/registry.h"
#include "platform/win_types.h"

struct RegistryNotificationRecord;
using HREGNOTIFY = RegistryNotificationRecord*;

// How often a watched value is compared, in milliseconds of the device clock.
constexpr UINT kRegistryNotifyPollMs = 250;

// Watches `valueName` (null or empty: the key's default value) of `subKey` below `root`, which need
// not exist yet. Each time the value's type or data differ from what was last seen (created,
// changed or deleted), `message` is posted to `window` with wParam `userData` and lParam 0.
// `condition` must be null: every change notifies. E_INVALIDARG for a missing window, handle
// pointer or an unknown root; E_NOTIMPL for a condition.
HRESULT RegistryNotifyWindow(HKEY root, LPCWSTR subKey, LPCWSTR valueName, HWND window, UINT message,
                             DWORD userData, void* condition, HREGNOTIFY* notify);
// Stops the notification; E_INVALIDARG for a handle that is not open.
HRESULT RegistryCloseNotification(HREGNOTIFY notify);

namespace platform {
// Compares every watched value now (what the timer does); returns how many messages were posted.
int PollRegistryNotifications();
}  // namespace platform
