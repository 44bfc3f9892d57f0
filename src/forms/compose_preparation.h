// Readying the message a compose form opens on: the recipients and subject the host handed over,
// then what its mode asks for (a reply's recipients, a forward's send options, the subject prefix
// and the message state).
#pragma once

#include <string_view>

#include "forms/compose_data_block.h"
#include "forms/message_binding.h"

namespace compose_mode {
constexpr int kNew = 0;
constexpr int kReply = 1;
constexpr int kReplyAll = 2;
constexpr int kForward = 4;
constexpr int kReopen = 5;
}  // namespace compose_mode

// With any of To, Cc and Bcc given, the three lists (commas outside quotes made separators) become
// the message's recipients; a non-empty subject becomes its subject.
void ApplyDataBlockRecipients(StoreMessage& message, const ComposeWords& words);

// The user's own number: the device's subscriber number, else the Telephone setting.
CString OwnNumber();
// The list without the entries whose address is `ownNumber` (compared as phone numbers, without
// their separators); an empty own number removes nothing.
CString RemoveOwnNumber(std::u16string_view list, std::u16string_view ownNumber);

// Prepares the message of `binding` for `mode`, taking from `source` (null when there is none)
// what a reply or forward carries over. `imported`: the host's attachment was taken in.
void PrepareNewMessage(int mode, MessageBinding& binding, MessageBinding* source, bool imported);
