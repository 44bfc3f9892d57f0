// The phonebooks of the SIM card, as the cellular library offers them through an open card
// (SimInitialize). This device's card keeps one phonebook, the fixed-dialling list: the numbers
// that alone may be called or messaged while the card restricts dialling. It lives in the
// registry under HKEY_LOCAL_MACHINE\Platform\SIM\FixedDialing ("Entry1" to "Entry32"); a card
// without that key has no fixed-dialling list.
#pragma once

#include "platform/phone/sim_card.h"

constexpr DWORD SIM_PBSTORAGE_FIXEDDIALING = 0x00000002;
constexpr DWORD SIM_PBINDEX_FIRSTAVAILABLE = 0xFFFFFFFF;
constexpr DWORD MAX_LENGTH_ADDRESS = 256;
constexpr DWORD MAX_LENGTH_PHONEBOOKENTRYTEXT = 256;
// How many numbers the card's fixed-dialling list holds.
constexpr DWORD kSimFixedDialingCapacity = 32;
constexpr HRESULT SIM_E_PHONEBOOKFULL = static_cast<HRESULT>(0x8800001A);

struct SIMPHONEBOOKENTRY {
  DWORD cbSize;
  DWORD dwParams;
  WCHAR lpszAddress[MAX_LENGTH_ADDRESS];
  DWORD dwAddressType;
  DWORD dwNumPlan;
  WCHAR lpszText[MAX_LENGTH_PHONEBOOKENTRYTEXT];
};

// How many entries of the phonebook are used and how many it can hold; SIM_E_NOTFOUND when the
// card has no such phonebook (only the fixed-dialling one exists here).
HRESULT SimGetPhonebookStatus(HSIM sim, DWORD location, DWORD* used, DWORD* total);
// Entry `index` (1 to the total); SIM_E_NOTFOUND for an empty one or a card without the phonebook.
HRESULT SimReadPhonebookEntry(HSIM sim, DWORD location, DWORD index, SIMPHONEBOOKENTRY* entry);
// Writes the entry's number at `index`, or at the first empty place for SIM_PBINDEX_FIRSTAVAILABLE
// (SIM_E_PHONEBOOKFULL when there is none). Writing gives a card without the phonebook one.
HRESULT SimWritePhonebookEntry(HSIM sim, DWORD location, DWORD index, const SIMPHONEBOOKENTRY* entry);
HRESULT SimDeletePhonebookEntry(HSIM sim, DWORD location, DWORD index);
// Takes the fixed-dialling list off the card altogether, as the card's owner does when dialling
// is no longer to be restricted; the device's own call, not the cellular library's.
HRESULT SimRemoveFixedDialing(HSIM sim);
