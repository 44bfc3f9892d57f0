// The recipients the compose header takes from the contacts: the chooser asked for a number or an
// e-mail address, the name the contacts keep for an address, and the text a picked recipient
// stands as in an address field ("\"Ann Lee\"<+358401234567>").
#pragma once

#include <optional>
#include <string_view>

#include "platform/text/cstring.h"
#include "platform/win_types.h"

enum class RecipientKind { kPhone, kEmail };

struct ChosenRecipient {
  CString value;  // the number or address as the contact holds it
  CString name;   // the contact's name as the chooser gave it; may be empty
  RecipientKind kind = RecipientKind::kPhone;
};

// Opens the device's contact chooser over `owner`, offering each contact's numbers and e-mail
// addresses; nothing when it was cancelled or failed.
std::optional<ChosenRecipient> ChooseRecipient(HWND owner);

// An address is an e-mail address when it holds an at sign; anything else is taken as a number.
RecipientKind RecipientKindOf(std::u16string_view address);

// The name the contacts keep for the contact that has this number or address (compared as
// normalised entries; e-mail addresses without regard to case); empty when none has it.
CString ContactNameForAddress(std::u16string_view address, RecipientKind kind);

// A name for an address no contact names: the part before the at sign of an e-mail address, the
// number itself otherwise.
CString NameDerivedFromAddress(std::u16string_view address, RecipientKind kind);

// "\"name\"<address>". Quotes, angle brackets and semicolons in the name would end the entry or
// its name early when the field is read again, so they become spaces.
CString RecipientDisplayText(std::u16string_view name, std::u16string_view address);
