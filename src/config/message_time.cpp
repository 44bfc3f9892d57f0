#include "config/message_time.h"

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/kernel/clock.h"

namespace config {

std::int64_t MessageTimeNow() {
  const std::int64_t now = platform::UnixTimeNow();
  if (GetConfigValue(numeric_setting::kEnableCDMATimeStamp) == 0) return now;
  return now + platform::LocalTimeOffset(now);
}

}  // namespace config
