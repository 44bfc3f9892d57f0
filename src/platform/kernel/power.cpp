#include "platform/kernel/power.h"

#include <cstdio>
#include <string>

#include "platform/kernel/activity_log.h"
#include "platform/kernel/clock.h"
#include "platform/text/text_conversion.h"

struct PowerRequirementRecord {
  std::u16string device;
  int state;
};

namespace {

struct PowerState {
  DWORD lastIdleReset = 0;
  std::uint64_t idleResets = 0;
  std::vector<PowerRequirementRecord*> held;  // oldest first
};

PowerState& State() {
  static PowerState state;
  return state;
}

}  // namespace

void SystemIdleTimerReset() {
  PowerState& state = State();
  state.lastIdleReset = GetTickCount();
  ++state.idleResets;
  platform::RecordActivity("idle-reset", "tick " + std::to_string(state.lastIdleReset));
}

HANDLE SetPowerRequirement(LPCWSTR device, int state, ULONG, void*, ULONG) {
  if (device == nullptr || *device == 0 || state < D0 || state > D4) return nullptr;
  auto* record = new PowerRequirementRecord{device, state};
  State().held.push_back(record);
  platform::RecordActivity("power-set", platform::Utf16ToUtf8(record->device) + " D" + std::to_string(state));
  return record;
}

DWORD ReleasePowerRequirement(HANDLE requirement) {
  auto& held = State().held;
  for (auto it = held.begin(); it != held.end(); ++it) {
    if (*it != requirement) continue;
    PowerRequirementRecord* record = *it;
    held.erase(it);
    platform::RecordActivity("power-release", platform::Utf16ToUtf8(record->device) + " D" + std::to_string(record->state));
    delete record;
    return ERROR_SUCCESS;
  }
  return ERROR_INVALID_PARAMETER;
}

namespace platform {

DWORD LastIdleReset() { return State().lastIdleReset; }
std::uint64_t IdleResetCount() { return State().idleResets; }

std::vector<HeldRequirement> HeldPowerRequirements() {
  std::vector<HeldRequirement> held;
  for (const PowerRequirementRecord* record : State().held) held.push_back({record->device, record->state});
  return held;
}

}  // namespace platform
