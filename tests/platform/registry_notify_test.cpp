#include "platform/registry/registry_notify.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/window/window_api.h"
#include "support/outside_tool.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;

constexpr UINT kChanged = 1326;
constexpr const char16_t* kPolicyKey = u"\\Security\\Policies\\Policies";

std::vector<MSG>& Received() {
  static std::vector<MSG> received;
  return received;
}

LRESULT Recorder(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kChanged) Received().push_back({hwnd, message, wParam, lParam, 0, {}});
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class RegistryNotify : public testing::Test {
 protected:
  void SetUp() override {
    Received().clear();
    platform::UseVirtualClock(true);
    WNDCLASSW info{};
    info.lpfnWndProc = Recorder;
    info.lpszClassName = u"NotifyRecorder";
    RegisterClassW(&info);
    window = CreateWindowExW(0, u"NotifyRecorder", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    DestroyWindow(window);
    platform::UseVirtualClock(false);
  }

  void SetPolicy(DWORD value) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, u"00001033", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  TestDevice device{platform::RegistrySeed::kEmpty};
  HWND window = nullptr;
};

TEST_F(RegistryNotify, ChangesInThisProcessPostOncePerChangeThroughTheMessageLoop) {
  SetPolicy(1);
  HREGNOTIFY notify = nullptr;
  ASSERT_EQ(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, kPolicyKey, u"00001033", window, kChanged, 77, nullptr, &notify),
            S_OK);
  platform::automation::AdvanceClock(1000);
  EXPECT_TRUE(Received().empty()) << "nothing changed yet";

  SetPolicy(0);
  platform::automation::AdvanceClock(kRegistryNotifyPollMs);
  ASSERT_EQ(Received().size(), 1u);
  EXPECT_EQ(Received()[0].wParam, 77u);
  EXPECT_EQ(Received()[0].lParam, 0);

  SetPolicy(0);  // the same value written again is no change
  platform::automation::AdvanceClock(1000);
  EXPECT_EQ(Received().size(), 1u);

  ASSERT_EQ(RegistryCloseNotification(notify), S_OK);
  SetPolicy(1);
  platform::automation::AdvanceClock(1000);
  EXPECT_EQ(Received().size(), 1u) << "a closed notification posts nothing";
  EXPECT_EQ(RegistryCloseNotification(notify), E_INVALIDARG);
}

TEST_F(RegistryNotify, AValueCreatedOrDeletedLaterIsAChange) {
  HREGNOTIFY notify = nullptr;
  ASSERT_EQ(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, kPolicyKey, u"00001033", window, kChanged, 0, nullptr, &notify),
            S_OK);
  SetPolicy(1);
  EXPECT_EQ(platform::PollRegistryNotifications(), 1);
  ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, kPolicyKey), ERROR_SUCCESS);
  EXPECT_EQ(platform::PollRegistryNotifications(), 1);
  EXPECT_EQ(platform::PollRegistryNotifications(), 0);
  RegistryCloseNotification(notify);
}

TEST_F(RegistryNotify, BadArgumentsAreRefused) {
  HREGNOTIFY notify = reinterpret_cast<HREGNOTIFY>(1);
  EXPECT_EQ(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, kPolicyKey, u"x", nullptr, kChanged, 0, nullptr, &notify),
            E_INVALIDARG);
  EXPECT_EQ(notify, nullptr);
  EXPECT_EQ(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, kPolicyKey, u"x", window, kChanged, 0, nullptr, nullptr),
            E_INVALIDARG);
  int condition = 0;
  EXPECT_NE(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, kPolicyKey, u"x", window, kChanged, 0, &condition, &notify),
            S_OK);
  EXPECT_EQ(RegistryCloseNotification(nullptr), E_INVALIDARG);
}

TEST_F(RegistryNotify, AChangeByAnotherProcessReachesTheWindow) {
  SetPolicy(1);
  HREGNOTIFY notify = nullptr;
  ASSERT_EQ(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, kPolicyKey, u"00001033", window, kChanged, 5, nullptr, &notify),
            S_OK);
  const std::string command = test_support::BinaryPath("test-tools/registry_writer").string() + " " +
                              test_support::ShellQuoted(device.root().string()) +
                              " '\\Security\\Policies\\Policies' 00001033 0";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  platform::automation::AdvanceClock(kRegistryNotifyPollMs);
  ASSERT_EQ(Received().size(), 1u);
  EXPECT_EQ(Received()[0].wParam, 5u);
  RegistryCloseNotification(notify);
}

}  // namespace
