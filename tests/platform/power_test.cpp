#include "platform/kernel/power.h"

#include <gtest/gtest.h>

#include "platform/kernel/activity_log.h"
#include "platform/kernel/clock.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;

std::vector<std::string> Kinds(const std::vector<platform::ActivityEntry>& entries) {
  std::vector<std::string> kinds;
  for (const auto& entry : entries) kinds.push_back(entry.kind + " " + entry.detail);
  return kinds;
}

TEST(Power, IdleResetIsRecordedAtTheDeviceClock) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  platform::UseVirtualClock(true);
  platform::AdvanceVirtualClock(1234);
  const DWORD now = GetTickCount();
  const auto before = platform::IdleResetCount();
  SystemIdleTimerReset();
  EXPECT_EQ(platform::LastIdleReset(), now);
  EXPECT_EQ(platform::IdleResetCount(), before + 1);
  platform::UseVirtualClock(false);
  const auto log = platform::ReadActivity();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().kind, "idle-reset");
  EXPECT_EQ(log.back().detail, "tick " + std::to_string(now));
}

TEST(Power, RequirementsAreHeldUntilReleasedAndLogged) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HANDLE backlight = SetPowerRequirement(u"BKL1:", D0, POWER_NAME, nullptr, 0);
  ASSERT_NE(backlight, nullptr);
  ASSERT_EQ(platform::HeldPowerRequirements().size(), 1u);
  EXPECT_EQ(platform::HeldPowerRequirements()[0].device, u"BKL1:");
  EXPECT_EQ(ReleasePowerRequirement(backlight), ERROR_SUCCESS);
  EXPECT_TRUE(platform::HeldPowerRequirements().empty());
  EXPECT_EQ(ReleasePowerRequirement(backlight), ERROR_INVALID_PARAMETER) << "released twice";
  EXPECT_EQ(SetPowerRequirement(nullptr, D0, POWER_NAME, nullptr, 0), nullptr);
  EXPECT_EQ(SetPowerRequirement(u"BKL1:", 7, POWER_NAME, nullptr, 0), nullptr);
  EXPECT_EQ(Kinds(platform::ReadActivity()), (std::vector<std::string>{"power-set BKL1: D0", "power-release BKL1: D0"}));
}

}  // namespace
