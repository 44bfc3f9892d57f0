// The test switch for full storage: writes up to the limit land, the one that passes it writes what
// fits and fails with ERROR_DISK_FULL, and a file written the safe way is either whole or absent.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/write_limit.h"
#include "platform/pim/pim_export.h"
#include "platform/text/wide_stdio.h"
#include "support/test_device.h"

namespace {

// Turns the switch off again whatever the test does.
struct WriteLimit {
  explicit WriteLimit(long long bytes) { platform::SetDeviceWriteLimit(bytes); }
  ~WriteLimit() { platform::SetDeviceWriteLimit(-1); }
};

TEST(WriteLimit, WritesFailWithDiskFullPastTheLimit) {
  test_support::TestDevice device;
  WriteLimit limit(10);
  HANDLE file = CreateFileW(u"\\a.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "123456", 6, &written, nullptr));
  EXPECT_EQ(written, 6u);
  EXPECT_FALSE(WriteFile(file, "789abc", 6, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_EQ(written, 4u);  // what fitted
  EXPECT_FALSE(WriteFile(file, "x", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_TRUE(WriteFile(file, "", 0, &written, nullptr));  // nothing to write needs no room
  CloseHandle(file);
  EXPECT_EQ(test_support::ReadFileBytes(device.Host(u"\\a.bin")), "123456789a");
  EXPECT_EQ(platform::DeviceWriteBudget(), 0);
  ULARGE_INTEGER free{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(nullptr, &free, nullptr, nullptr));
  EXPECT_EQ(free.QuadPart, 0u);
}

TEST(WriteLimit, CopiesAndStreamsAreHeldToIt) {
  test_support::TestDevice device;
  test_support::WriteFileBytes(device.Host(u"\\source.bin"), std::string(100, 's'));
  WriteLimit limit(150);
  EXPECT_TRUE(CopyFileW(u"\\source.bin", u"\\copy1.bin", TRUE));
  EXPECT_FALSE(CopyFileW(u"\\source.bin", u"\\copy2.bin", TRUE));
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  EXPECT_FALSE(std::filesystem::exists(device.Host(u"\\copy2.bin")));  // a failed copy leaves nothing
  platform::SetDeviceWriteLimit(5);
  FILE* stream = _wfopen(u"\\text.txt", u"wb");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(std::fwrite("hello world", 1, 11, stream), 11u);  // buffered: the failure comes on flushing
  EXPECT_NE(std::fclose(stream), 0);
  EXPECT_EQ(test_support::ReadFileBytes(device.Host(u"\\text.txt")), "hello");
  // Reading is not writing.
  FILE* reader = _wfopen(u"\\source.bin", u"rb");
  ASSERT_NE(reader, nullptr);
  char buffer[100];
  EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, reader), 100u);
  std::fclose(reader);
}

TEST(WriteLimit, SafeWritesKeepTheOldFileWhole) {
  test_support::TestDevice device;
  test_support::WriteFileBytes(device.Host(u"\\card.vcf"), "the old card");
  {
    WriteLimit limit(20);
    EXPECT_FALSE(platform::pim::WriteDeviceFile(u"\\card.vcf", std::string(50, 'n')));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
  }
  EXPECT_EQ(test_support::ReadFileBytes(device.Host(u"\\card.vcf")), "the old card");
  for (const auto& entry : std::filesystem::directory_iterator(device.root())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
  }
  EXPECT_TRUE(platform::pim::WriteDeviceFile(u"\\card.vcf", "the new card"));
  EXPECT_EQ(test_support::ReadFileBytes(device.Host(u"\\card.vcf")), "the new card");
}

}  // namespace
