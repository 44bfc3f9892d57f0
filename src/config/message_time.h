// The current time as the message options hold it (sent date, expiry), in seconds since 1970.
#pragma once

#include <cstdint>

namespace config {

// Universal time, the clock of the network's message times and of the store's dates; with
// EnableCDMATimeStamp set the network stamps local time and the store hands its dates out as they
// are, so then the local time. Dates written with it read back as the current local time.
std::int64_t MessageTimeNow();

}  // namespace config
