// Keeping a telephone number or an e-mail address from a message's text in a contact: the person
// picks a contact and one of its fields in the device's chooser, agrees, and the field takes the
// address.
#pragma once

#include "platform/win_types.h"

namespace link_contact_text {
constexpr UINT kSaveNumber = 40475;
constexpr UINT kReplaceNumber = 40528;
constexpr UINT kSaveAddress = 40529;
constexpr UINT kFieldNotSuitable = 40637;
}  // namespace link_contact_text

// True when a contact was changed.
bool SaveLinkToContact(HWND owner, LPCWSTR target);
