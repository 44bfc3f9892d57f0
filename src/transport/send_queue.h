// The transport's queue of outgoing messages: a message is queued when it sits in the Outbox with
// its transport state marked for sending. The sender picks up such messages with the m-send-req file
// the submission wrote beside their data file.
#pragma once

#include "platform/message_store/mapi_interfaces.h"

namespace transport {

// The store property the transport keeps its state of a message in (32-bit). The receiving side
// uses the value 2 for a body still to download and 3 for a report; a message to send carries
// kQueuedForSending.
inline constexpr ULONG kTransportStateTag = 0x81180003;
inline constexpr LONG kQueuedForSending = 8;

// Moves the message from its folder into the Outbox (it keeps its entry identifier) and marks it
// queued for sending. A message already in the Outbox is only marked. Meant to run inside the
// caller's store transaction, so that a failure part-way is rolled back with everything else.
HRESULT QueueInOutbox(IMsgStore* store, IMessage* message);

}  // namespace transport
