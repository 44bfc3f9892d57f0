#include "device/storage_check.h"

#include <gtest/gtest.h>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/kernel/file_api.h"
#include "platform/window/window_api.h"
#include "support/client_window.h"
#include "support/test_device.h"

namespace {

using test_support::ClientWindow;

TEST(StorageCheck, TheReserveMustStayFreeOrTheClientIsTold) {
  test_support::TestDevice device;
  ClientWindow client;
  platform::SetReportedFreeSpace(2048 * 1024);
  EXPECT_TRUE(CheckStorage());
  EXPECT_EQ(client.CountStorageLow(), 0);
  platform::SetReportedFreeSpace(1024 * 1024);  // exactly the default reserve of 1024 KiB
  EXPECT_FALSE(CheckStorage());
  EXPECT_EQ(client.CountStorageLow(), 1);
  ASSERT_TRUE(SetConfigValue(numeric_setting::kReservedSpace, 512, TRUE));
  EXPECT_TRUE(CheckStorage());
  platform::SetReportedFreeSpace(-1);
}

TEST(StorageCheck, WithoutAClientWindowTheCheckStillAnswers) {
  test_support::TestDevice device;
  platform::SetReportedFreeSpace(0);
  EXPECT_FALSE(CheckStorage());
  platform::SetReportedFreeSpace(-1);
}

}  // namespace
