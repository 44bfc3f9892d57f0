#include "config/send_option_defaults.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "config/message_time.h"
#include "config/setting_numbers.h"
#include "config/settings.h"

namespace config {
namespace {

SendOptions& Remembered() {
  static SendOptions remembered;
  return remembered;
}

LONG ClampToLong(std::int64_t value) {
  return static_cast<LONG>(std::clamp<std::int64_t>(value, std::numeric_limits<LONG>::min(),
                                                     std::numeric_limits<LONG>::max()));
}

bool ExpiryIsAbsolute() { return GetConfigValue(numeric_setting::kSendExpireTimeInAbsolute) != 0; }

// A configured expiry (relative seconds) as the message holds it.
LONG ExpiryFromSetting(LONG configured) {
  if (!ExpiryIsAbsolute()) return configured;
  return configured == 0 ? 0 : ClampToLong(MessageTimeNow() + configured);
}

LONG VisibilityFromSetting(int number) { return GetConfigValue(number) != 0 ? kHideSender : kShowSender; }

}  // namespace

void ApplyDefaultSendOptions(SendOptionTarget& target, LONG mask) {
  SendOptions& remembered = Remembered();
  remembered.deliveryReport = target.DeliveryReport();
  remembered.priority = target.Priority();
  remembered.messageClass = target.MessageClass();

  if (mask & 1) target.SetDeliveryReport(GetConfigValue(numeric_setting::kNeedDeliveryReport));
  if (mask & 2) target.SetReadReport(GetConfigValue(numeric_setting::kNeedReadReport));
  if (mask != -1) return;
  target.SetPriority(GetConfigValue(numeric_setting::kPriority));
  target.SetMessageClass(GetConfigValue(numeric_setting::kMessageClass));
  target.SetSenderVisibility(VisibilityFromSetting(numeric_setting::kSendAnonymously));
  target.SetExpiry(ExpiryFromSetting(GetConfigValue(numeric_setting::kExpiryTime)));
}

SendOptions LoadSendOptionDefaults() {
  SendOptions options;
  options.deliveryReport = GetConfigValue(numeric_setting::kNeedDeliveryReport) != 0;
  options.readReport = GetConfigValue(numeric_setting::kNeedReadReport) != 0;
  options.priority = GetConfigValue(numeric_setting::kPriority);
  options.messageClass = GetConfigValue(numeric_setting::kMessageClass);
  options.senderVisibility = VisibilityFromSetting(numeric_setting::kSendAnonymously);
  options.expiry = ExpiryFromSetting(GetConfigValue(numeric_setting::kExpiryTime));
  return options;
}

BOOL SaveSendOptionDefaults(const SendOptions& options) {
  LONG expiry = options.expiry;
  if (ExpiryIsAbsolute() && expiry != 0) expiry = ClampToLong(std::max<std::int64_t>(expiry - MessageTimeNow(), 0));
  const struct {
    int number;
    LONG value;
  } writes[] = {
      {numeric_setting::kNeedDeliveryReport, options.deliveryReport},
      {numeric_setting::kNeedReadReport, options.readReport},
      {numeric_setting::kPriority, options.priority},
      {numeric_setting::kExpiryTime, expiry},
      {numeric_setting::kMessageClass, options.messageClass},
      {numeric_setting::kSendAnonymously, options.senderVisibility == kHideSender ? 1 : 0},
  };
  BOOL allWritten = TRUE;
  for (const auto& write : writes) {
    if (!SetConfigValue(write.number, write.value, TRUE)) allWritten = FALSE;
  }
  return allWritten;
}

void LoadFactorySendOptions(SendOptions& options) {
  SendOptions& remembered = Remembered();
  remembered.deliveryReport = options.deliveryReport;
  remembered.readReport = options.readReport;
  remembered.priority = options.priority;
  remembered.messageClass = options.messageClass;

  options.deliveryReport = GetConfigValue(numeric_setting::kNeedDeliveryReportFac);
  options.readReport = GetConfigValue(numeric_setting::kNeedReadReportFac);
  options.priority = GetConfigValue(numeric_setting::kPriorityFac);
  options.messageClass = GetConfigValue(numeric_setting::kMessageClassFac);
  options.senderVisibility = VisibilityFromSetting(numeric_setting::kSendAnonymouslyFac);
  options.expiry = ExpiryFromSetting(GetConfigValue(numeric_setting::kExpiryTimeFac));
}

const SendOptions& RememberedSendOptions() { return Remembered(); }

}  // namespace config
