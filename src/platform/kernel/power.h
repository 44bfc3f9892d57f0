// Power management: the system idle timer and device power requirements. Neither changes anything
// on this host; each is recorded on the device, so that tests and `mmsform device log` see when
// the idle timer was reset and which requirements were held.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

// Device power states: D0 full power ... D4 off.
constexpr int D0 = 0;
constexpr int D4 = 4;
constexpr ULONG POWER_NAME = 0x00000001;
constexpr ULONG POWER_FORCE = 0x00001000;

// Resets the system idle timer: the device does not fall asleep for its idle time from now.
// Records the reset (the device clock's tick count) in the activity log as "idle-reset".
void SystemIdleTimerReset();

// Holds `device` (a name such as "BKL1:") at least at `state` until released; null for a missing
// name or a state outside D0..D4. `systemState` and `stateFlags` are kept for the caller's eyes.
// Logged as "power-set" with the device and state.
HANDLE SetPowerRequirement(LPCWSTR device, int state, ULONG flags, void* systemState, ULONG stateFlags);
// ERROR_SUCCESS, or ERROR_INVALID_PARAMETER for a handle that is not held. Logged as "power-release".
DWORD ReleasePowerRequirement(HANDLE requirement);

namespace platform {

// The device clock's tick count at the last idle reset of this process, 0 before the first.
DWORD LastIdleReset();
// How many idle resets this process made.
std::uint64_t IdleResetCount();

struct HeldRequirement {
  std::u16string device;
  int state = 0;
};
// The requirements this process holds now, oldest first.
std::vector<HeldRequirement> HeldPowerRequirements();

}  // namespace platform
