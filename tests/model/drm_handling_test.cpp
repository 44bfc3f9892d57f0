#include "model/drm_handling.h"

#include <gtest/gtest.h>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/kernel/file_api.h"
#include "support/test_device.h"

namespace {

using test_support::ReadFileBytes;
using test_support::TestDevice;
using test_support::WriteFileBytes;

const std::string kBody =
    "--b\r\nContent-Type: image/gif\r\nContent-ID: <locked@example>\r\n\r\nGIF89a-picture\r\n--b--\r\n";

TEST(DrmHandling, HeaderIsAddedOnceAndStrippedWithItsBlankLine) {
  TestDevice device;
  CreateDirectoryW(u"\\parts", nullptr);
  WriteFileBytes(device.Host(u"\\parts\\a.drm"), "\r\n\r\n" + kBody);
  EXPECT_TRUE(AddDrmHeader(u"\\parts\\a.drm", kDrmKindMessage));
  EXPECT_FALSE(AddDrmHeader(u"\\parts\\a.drm", kDrmKindMessage));
  EXPECT_EQ(ReadFileBytes(device.Host(u"\\parts\\a.drm")),
            "Content-Type: application/vnd.oma.drm.message\r\n\r\n" + kBody);
  EXPECT_FALSE(StripDrmHeader(u"\\parts\\a.drm", kDrmKindContent));
  EXPECT_TRUE(StripDrmHeader(u"\\parts\\a.drm", kDrmKindMessage));
  EXPECT_EQ(ReadFileBytes(device.Host(u"\\parts\\a.drm")), kBody);
  EXPECT_FALSE(AddDrmHeader(u"\\parts\\a.drm", kDrmKindNone));
  EXPECT_FALSE(AddDrmHeader(u"\\parts\\missing.drm", kDrmKindMessage));
}

TEST(DrmHandling, WithoutDrmSupportHeadersAreNeitherAddedNorStripped) {
  TestDevice device;
  ASSERT_TRUE(SetConfigValue(numeric_setting::kIsSupportDrm, 0, FALSE));
  CreateDirectoryW(u"\\parts", nullptr);
  const std::string headed = "Content-Type: application/vnd.oma.drm.message\r\n\r\n" + kBody;
  WriteFileBytes(device.Host(u"\\parts\\a.drm"), headed);
  EXPECT_FALSE(StripDrmHeader(u"\\parts\\a.drm", kDrmKindMessage));
  WriteFileBytes(device.Host(u"\\parts\\b.drm"), kBody);
  EXPECT_FALSE(AddDrmHeader(u"\\parts\\b.drm", kDrmKindMessage));
  EXPECT_EQ(ReadFileBytes(device.Host(u"\\parts\\a.drm")), headed);
  EXPECT_EQ(ReadFileBytes(device.Host(u"\\parts\\b.drm")), kBody);
}

TEST(DrmHandling, ForwardLockedPartUnwrapsIntoAProtectedFileThatMayBeShownButNotForwarded) {
  TestDevice device;
  CreateDirectoryW(u"\\parts", nullptr);
  WriteFileBytes(device.Host(u"\\parts\\locked"), kBody);
  std::string inner;
  ASSERT_TRUE(UnwrapDrm(u"\\parts\\", u"locked", inner, "application/vnd.oma.drm.message", nullptr));
  EXPECT_EQ(inner, "image/gif");
  EXPECT_FALSE(std::filesystem::exists(device.Host(u"\\parts\\tyrtemp.drm")));
  EXPECT_FALSE(std::filesystem::exists(device.Host(u"\\parts\\tyrtempheader.drm")));
  EXPECT_EQ(DrmStatus(u"\\parts\\locked", 1, nullptr), kDrmForwardRefused);
  // Without an extension the type is unknown, so no right fits; with its picture extension it shows.
  EXPECT_FALSE(MayUse(u"\\parts\\locked"));
  ASSERT_TRUE(MoveFileW(u"\\parts\\locked", u"\\parts\\locked.gif"));
  EXPECT_TRUE(MayUse(u"\\parts\\locked.gif"));
}

TEST(DrmHandling, AFailedUnwrapLeavesTheReceivedFileAsItWas) {
  TestDevice device;
  CreateDirectoryW(u"\\parts", nullptr);
  const std::string damaged = "--b\r\nContent-Type: image/gif\r\n\r\nno closing boundary";
  WriteFileBytes(device.Host(u"\\parts\\bad.dm"), damaged);
  std::string inner = "stale";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(UnwrapDrm(u"\\parts\\", u"bad.dm", inner, "application/vnd.oma.drm.message", nullptr));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("DRM"), std::string::npos);
  EXPECT_TRUE(inner.empty());
  EXPECT_EQ(ReadFileBytes(device.Host(u"\\parts\\bad.dm")), damaged);
  EXPECT_EQ(DrmStatus(u"\\parts\\bad.dm", 1, nullptr), kDrmNotProtected);
  EXPECT_TRUE(MayUse(u"\\parts\\bad.dm"));
}

TEST(DrmHandling, ContentTypesOfDrmObjects) {
  EXPECT_EQ(DrmKindOfContentType("application/vnd.oma.drm.message; boundary=x"), kDrmKindMessage);
  EXPECT_EQ(DrmKindOfContentType("Application/VND.OMA.DRM.CONTENT"), kDrmKindContent);
  EXPECT_EQ(DrmKindOfContentType("application/vnd.oma.drm.rights+xml"), kDrmKindNone);
  EXPECT_FALSE(IsDrmContentType("image/gif"));
}

}  // namespace
