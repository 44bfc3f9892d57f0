// The SIM card as the cellular library offers it: opened, asked and closed through a handle. The
// card of this device is kept in the registry under HKEY_LOCAL_MACHINE\Platform\SIM: "Present"
// (0 for no card; a missing value counts as a card) and "SubscriberNumber", the number the
// network gave the card.
#pragma once

#include "platform/win_types.h"

using HSIM = struct SimSession*;

constexpr HRESULT SIM_E_NOSIM = static_cast<HRESULT>(0x8800000B);
constexpr HRESULT SIM_E_NOTFOUND = static_cast<HRESULT>(0x88000013);
constexpr DWORD kMaxSubscriberNumberChars = 64;

// Opens the card; SIM_E_NOSIM when the device has none. Flags and notifications are not used here.
HRESULT SimInitialize(DWORD flags, void* callback, DWORD notifications, HSIM* sim);
HRESULT SimDeinitialize(HSIM sim);
// The card's subscriber number into `number` (count characters with its null); SIM_E_NOTFOUND when
// the card holds none, E_INVALIDARG for a null handle or buffer, and a buffer too short for the
// number is an error too rather than a cut number.
HRESULT SimGetSubscriberNumber(HSIM sim, WCHAR* number, DWORD count);
