// The hand-over of a composed message to the transport: its m-send-req written beside the data file,
// and the message moved into the Outbox, marked for sending, as one step.
#pragma once

#include <memory>

#include "forms/message_binding.h"
#include "platform/win_types.h"

// What the send flow hands the message to: the transport's submission of one stored message.
class MessageSubmission {
 public:
  virtual ~MessageSubmission() = default;
  // Writes the message out for sending and queues it; S_OK or the failure.
  virtual HRESULT Submit(DWORD flags) = 0;
};
// The submission of the binding's message, or null when it cannot be sent (no store message).
std::unique_ptr<MessageSubmission> CreateSubmission(MessageBinding& binding);
