#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/kernel/debug_output.h"
#include "platform/kernel/module_api.h"
#include "platform/kernel/last_error.h"
#include "support/test_device.h"

namespace {

TEST(Modules, MissingLibrariesAndNamesGiveNull) {
  test_support::TestDevice device;
  EXPECT_EQ(LoadLibraryW(u"\\windows\\NoSuchLibrary.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  // A file that is not a library cannot be loaded either.
  test_support::WriteFileBytes(device.Host(u"\\windows\\Broken.dll"), "not an ELF file");
  EXPECT_EQ(LoadLibraryW(u"Broken.dll"), nullptr);
  EXPECT_EQ(GetProcAddressW(nullptr, u"Anything"), nullptr);
  EXPECT_FALSE(FreeLibrary(nullptr));
}

// Libraries load lazily, so this is refused only because the device's libraries bind at load: a
// library with a missing function must fail to load, not end the process when it is called.
TEST(Modules, ALibraryNeedingAFunctionNoLibraryDefinesIsRefused) {
  test_support::TestDevice device;
  std::filesystem::copy_file(test_support::BinaryPath("test-plugins/Unresolved.dll"),
                             device.Host(u"\\windows\\Unresolved.dll"));
  EXPECT_EQ(LoadLibraryW(u"Unresolved.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(Modules, AHostLibraryCopiedIntoTheDeviceLoadsAndResolves) {
  test_support::TestDevice device;
  std::filesystem::copy_file(test_support::BinaryPath("test-plugins/Probe.dll"), device.Host(u"\\windows\\Probe.dll"));
  HMODULE first = LoadLibraryW(u"\\WINDOWS\\probe.DLL");
  ASSERT_NE(first, nullptr);
  HMODULE second = LoadLibraryW(u"Probe.dll");
  EXPECT_EQ(first, second);
  auto answer = reinterpret_cast<int (*)()>(GetProcAddressW(first, u"ProbeAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(GetProcAddressW(first, u"NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_TRUE(FreeLibrary(second));
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_FALSE(FreeLibrary(first));
}

TEST(Clock, TheVirtualClockMovesOnlyWhenAdvanced) {
  platform::UseVirtualClock(true);
  DWORD start = GetTickCount();
  platform::AdvanceVirtualClock(30);
  EXPECT_EQ(GetTickCount() - start, 30u);
  Sleep(5000);
  EXPECT_EQ(GetTickCount() - start, 5030u);
  platform::UseVirtualClock(false);
  EXPECT_FALSE(platform::IsVirtualClock());
  platform::SetFixedUnixTime(1700000000);
  EXPECT_EQ(platform::UnixTimeNow(), 1700000000);
  platform::SetFixedUnixTime(0);
  EXPECT_GT(platform::UnixTimeNow(), 1700000000);
}

TEST(Clock, SleepOnTheVirtualClockLetsTheObserverActAfterTheClockMoved) {
  platform::UseVirtualClock(true);
  const DWORD start = GetTickCount();
  std::vector<std::pair<DWORD, DWORD>> seen;  // milliseconds slept, clock when told
  platform::SetVirtualSleepObserver([&](DWORD slept) { seen.emplace_back(slept, GetTickCount() - start); });
  Sleep(1000);
  platform::AdvanceVirtualClock(30);  // not a sleep: nobody is told
  Sleep(250);
  EXPECT_EQ(seen, (std::vector<std::pair<DWORD, DWORD>>{{1000, 1000}, {250, 1280}}));
  platform::SetVirtualSleepObserver(nullptr);
  Sleep(5);
  EXPECT_EQ(seen.size(), 2u);
  platform::UseVirtualClock(false);
}

TEST(DebugOutput, FailureReportsUseTheirFixedForms) {
  testing::internal::CaptureStderr();
  platform::ReportFailed(static_cast<HRESULT>(0x80004005u), "MMSFormProvider", 42);
  platform::ReportOutOfMemory("ReadForm", 7);
  platform::ReportInvalidParameter("ComposerForm", 9);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "FAILED(0x80004005) at MMSFormProvider:42\nOOM at ReadForm:7\nInvalid parameter passed at ComposerForm:9\n");
}

}  // namespace
