// The m-send-req of a stored message: its body as the data file holds it, its headers from the
// store message's properties (recipients, subject, send options), as the relay expects them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "forms/message_binding.h"
#include "mm1/pdu.h"
#include "mm1/result.h"

// The address as a recipient of an m-send-req: a telephone number without its separators and with
// "/TYPE=PLMN", an e-mail address as it is, an address that already names its type unchanged;
// nothing for a text that is neither.
std::optional<std::string> SendAddress(std::u16string_view entry);

// The m-send-req for `body` (the decoded data file) with the headers of the message of that number. Fails when the body
// is not a multipart message, when an address cannot be sent to, or when there is no recipient.
mm1::Result<mm1::Pdu> ComposeSendRequest(const mm1::Pdu& body, const StoreMessage& message, WORD number);

// content folder + number + ".send.mms": where the submission writes the message for sending.
CString SendRequestFile(const MessageBinding& binding);
