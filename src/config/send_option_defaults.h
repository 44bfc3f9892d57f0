// The configured defaults of an outgoing message's send options: applying them to a message, saving
// a dialog's options as the new defaults, and loading the factory defaults.
#pragma once

#include "platform/win_types.h"

namespace config {

inline constexpr LONG kHideSender = 128;
inline constexpr LONG kShowSender = 129;

// The send options of one message or dialog. Message class, priority (128 low, 129 normal, 130 high)
// and sender visibility are the byte values the message stores; times are seconds, relative or
// absolute as SendExpireTimeInAbsolute and SendDeliveryTimeInAbsolute say, and expiry 0 is the maximum.
struct SendOptions {
  LONG messageClass = 0;
  LONG priority = 0;
  LONG senderVisibility = kShowSender;
  BOOL deliveryReport = FALSE;
  BOOL readReport = FALSE;
  LONG deliveryTime = 0;
  LONG expiry = 0;
};

// The send-option properties of an outgoing message, as the message binding exposes them.
class SendOptionTarget {
 public:
  virtual ~SendOptionTarget() = default;
  virtual BOOL DeliveryReport() const = 0;
  virtual LONG Priority() const = 0;
  virtual LONG MessageClass() const = 0;
  virtual void SetDeliveryReport(BOOL on) = 0;
  virtual void SetReadReport(BOOL on) = 0;
  virtual void SetPriority(LONG priority) = 0;
  virtual void SetMessageClass(LONG messageClass) = 0;
  virtual void SetSenderVisibility(LONG visibility) = 0;
  virtual void SetExpiry(LONG expiry) = 0;
};

// Mask bit 0 applies the delivery report default, bit 1 the read report default; mask -1 applies
// every default. The message's previous delivery report, priority and class are remembered first.
void ApplyDefaultSendOptions(SendOptionTarget& target, LONG mask);

// The configured defaults as a record (delivery time 0), the expiry made absolute like
// ApplyDefaultSendOptions makes it.
SendOptions LoadSendOptionDefaults();

// Writes the options as the new defaults, each flushed; true only when every write succeeded.
BOOL SaveSendOptionDefaults(const SendOptions& options);

// Remembers the options' delivery report, read report, priority and class, then fills the options
// with the factory defaults.
void LoadFactorySendOptions(SendOptions& options);

// What the last apply or factory load remembered (delivery report, read report, priority, class).
const SendOptions& RememberedSendOptions();

}  // namespace config
