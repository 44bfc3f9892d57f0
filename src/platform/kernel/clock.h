// Milliseconds since start, on real time or on a virtual clock that tests and headless runs advance
// explicitly, so that a 30 ms time line or a 5000 ms timer is exact.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/win_types.h"

DWORD GetTickCount();
// On the virtual clock, Sleep advances the clock instead of waiting.
void Sleep(DWORD milliseconds);

namespace platform {

// Switches to the virtual clock (starting from the current tick count) or back to real time.
void UseVirtualClock(bool on);
bool IsVirtualClock();
// Moves the virtual clock forward; does nothing on real time.
void AdvanceVirtualClock(DWORD milliseconds);
// Called by Sleep on the virtual clock, after the clock has moved on, with the milliseconds slept:
// what another process would have done while the caller waited happens there. Null removes it.
void SetVirtualSleepObserver(std::function<void(DWORD)> observer);

// Seconds since 1970-01-01 UTC: the host's time, or a fixed time set for tests (0 clears it).
std::int64_t UnixTimeNow();
void SetFixedUnixTime(std::int64_t seconds);
// Offset of local time from UTC in seconds at the given time, as the device's time zone says.
std::int64_t LocalTimeOffset(std::int64_t unixSeconds);

}  // namespace platform
