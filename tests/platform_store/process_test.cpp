#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/process.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;

TEST(CreateProcess, MissingOrNonExecutableProgramsFailWithTheirReason) {
  TestDevice device;
  PROCESS_INFORMATION info{};
  EXPECT_FALSE(CreateProcessW(u"\\windows\\NoSuchClient.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              nullptr, &info));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(CreateProcessW(u"", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  test_support::WriteFileBytes(device.root() / "windows" / "Plain.exe", "not a program");
  EXPECT_FALSE(CreateProcessW(u"\\windows\\Plain.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                              &info));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(CreateProcessW(u"\\windows", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(CreateProcess, StartsADeviceProgramWithItsCommandLineOnTheSameDevice) {
  TestDevice device;
  std::filesystem::path program = device.root() / "windows" / "Echo.exe";
  test_support::WriteFileBytes(program, "#!/bin/sh\nprintf '%s' \"$1\" > \"$MMSFORM_DEVICE/started.txt\"\n");
  chmod(program.c_str(), 0755);
  WCHAR commandLine[] = u"\\My Documents\\UAContents\\ReComposer.tmp";
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(u"\\Windows\\echo.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             nullptr, &info));
  std::filesystem::path marker = device.root() / "started.txt";
  for (int i = 0; i < 200 && test_support::ReadFileBytes(marker).empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(test_support::ReadFileBytes(marker), "\\My Documents\\UAContents\\ReComposer.tmp");
  EXPECT_TRUE(CloseHandle(info.hProcess));
  EXPECT_TRUE(CloseHandle(info.hThread));
  EXPECT_FALSE(CloseHandle(info.hProcess));
}

}  // namespace
