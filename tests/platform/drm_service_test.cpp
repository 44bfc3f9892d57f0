#include "platform/drm/drm_service.h"

#include <gtest/gtest.h>

#include "platform/drm/content_cipher.h"
#include "platform/drm/dcf_file.h"
#include "platform/drm/drm_message.h"
#include "platform/kernel/file_api.h"
#include "support/test_device.h"

namespace {

using test_support::ReadFileBytes;
using test_support::TestDevice;
using test_support::WriteFileBytes;

const std::string kPicture = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) + std::string(40, '\x5a');

std::string ForwardLockMessage(const std::string& content) {
  return "Content-Type: application/vnd.oma.drm.message\r\n\r\n"
         "--boundary-1\r\nContent-Type: image/gif\r\nContent-Transfer-Encoding: binary\r\n"
         "Content-ID: <pic1@example>\r\n\r\n" +
         content + "\r\n--boundary-1--\r\n";
}

std::string RightsXml(const std::string& uid, const std::string& permissions, const std::string& keyInfo = "") {
  return "<o-ex:rights xmlns:o-ex=\"http://odrl.net/1.1/ODRL-EX\" xmlns:o-dd=\"http://odrl.net/1.1/ODRL-DD\">"
         "<o-ex:context><o-dd:version>1.0</o-dd:version></o-ex:context><o-ex:agreement><o-ex:asset>"
         "<o-ex:context><o-dd:uid>" + uid + "</o-dd:uid></o-ex:context>" + keyInfo +
         "</o-ex:asset><o-ex:permission>" + permissions + "</o-ex:permission></o-ex:agreement></o-ex:rights>";
}

std::string ReadThroughService(const char16_t* file, DWORD right) {
  HANDLE handle = FileDrmCreateFile(file, right);
  if (handle == INVALID_HANDLE_VALUE) return "<refused>";
  std::string content(GetFileSize(handle, nullptr), '\0');
  DWORD read = 0;
  ReadFile(handle, content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
  CloseHandle(handle);
  return content.substr(0, read);
}

HRESULT Store(const char16_t* input, const char16_t* output, std::u16string* type) {
  WCHAR buffer[261] = {};
  HRESULT result = FileDrmStoreContent(input, output, nullptr, buffer, 261);
  *type = buffer;
  return result;
}

TEST(DrmService, ForwardLockContentIsEncryptedShownAndNeverForwarded) {
  TestDevice device;
  WriteFileBytes(device.Host(u"\\in.drm"), ForwardLockMessage(kPicture));
  std::u16string type;
  ASSERT_EQ(Store(u"\\in.drm", u"\\out.dcf", &type), S_OK);
  EXPECT_EQ(type, u"image/gif");
  std::string stored = ReadFileBytes(device.Host(u"\\out.dcf"));
  EXPECT_EQ(stored.find("GIF89a"), std::string::npos) << "the content must not be stored in the clear";
  auto dcf = platform::drm::ParseDcf(stored, nullptr);
  ASSERT_TRUE(dcf);
  EXPECT_EQ(dcf->contentUri, "cid:pic1@example");

  BOOL isProtected = FALSE;
  FileDrmIsDRM(u"\\out.dcf", &isProtected);
  EXPECT_TRUE(isProtected);
  FileDrmIsDRM(u"\\in.drm", &isProtected);
  EXPECT_FALSE(isProtected);
  EXPECT_EQ(FileDrmVerifyRights(nullptr, u"\\out.dcf", kDrmRightDisplay, 0, nullptr), S_OK);
  EXPECT_LT(FileDrmVerifyRights(nullptr, u"\\out.dcf", kDrmRightForward, 0, nullptr), 0);
  EXPECT_EQ(ReadThroughService(u"\\out.dcf", kDrmRightDisplay), kPicture);
  EXPECT_LT(FileDrmCreateForwardableContent(u"\\out.dcf", 2, u"\\fwd.dcf"), 0);
  EXPECT_FALSE(std::filesystem::exists(device.Host(u"\\fwd.dcf")));
  EXPECT_EQ(FileDrmCommitRights(u"\\out.dcf", kDrmRightDisplay), S_OK);
}

TEST(DrmService, CombinedDeliveryCountsEveryUse) {
  TestDevice device;
  std::string rights =
      RightsXml("cid:song@example", "<o-dd:play><o-ex:constraint><o-dd:count>2</o-dd:count></o-ex:constraint></o-dd:play>");
  std::string message = "Content-Type: application/vnd.oma.drm.message\r\n\r\n"
                        "--b\r\nContent-Type: application/vnd.oma.drm.rights+xml\r\n\r\n" + rights +
                        "\r\n--b\r\nContent-Type: audio/amr\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                        "IyFBTVIK\r\n--b--\r\n";
  WriteFileBytes(device.Host(u"\\song.drm"), message);
  std::u16string type;
  ASSERT_EQ(Store(u"\\song.drm", u"\\song.dcf", &type), S_OK);
  EXPECT_EQ(type, u"audio/amr");
  EXPECT_EQ(ReadThroughService(u"\\song.dcf", kDrmRightPlay), "#!AMR\n");
  EXPECT_EQ(ReadThroughService(u"\\song.dcf", kDrmRightDisplay), "<refused>");
  EXPECT_EQ(FileDrmCommitRights(u"\\song.dcf", kDrmRightPlay), S_OK);
  EXPECT_EQ(FileDrmCommitRights(u"\\song.dcf", kDrmRightPlay), S_OK);
  EXPECT_LT(FileDrmCommitRights(u"\\song.dcf", kDrmRightPlay), 0);
  EXPECT_LT(FileDrmVerifyRights(nullptr, u"\\song.dcf", kDrmRightPlay, 0, nullptr), 0);
  EXPECT_LT(FileDrmVerifyRights(nullptr, u"\\song.dcf", kDrmRightForward, 0, nullptr), 0);
}

TEST(DrmService, SeparateDeliveryTravelsFreelyAndShowsOnceItsRightsArrive) {
  TestDevice device;
  std::string key = platform::drm::RandomBytes(16);
  platform::drm::DcfFile file{"image/jpeg", "cid:photo@shop", "Encryption-Method: AES128CBC\r\n",
                              *platform::drm::EncryptContent(key, "JPEG DATA")};
  WriteFileBytes(device.Host(u"\\photo.in"),
                 "Content-Type: application/vnd.oma.drm.content\r\n\r\n" + platform::drm::EncodeDcf(file));
  std::u16string type;
  ASSERT_EQ(Store(u"\\photo.in", u"\\photo.dcf", &type), S_OK);
  EXPECT_EQ(type, u"image/jpeg");
  EXPECT_EQ(FileDrmVerifyRights(nullptr, u"\\photo.dcf", kDrmRightForward, 0, nullptr), S_OK);
  EXPECT_EQ(ReadThroughService(u"\\photo.dcf", kDrmRightDisplay), "<refused>");
  ASSERT_EQ(FileDrmCreateForwardableContent(u"\\photo.dcf", 2, u"\\photo-fwd.dcf"), S_OK);
  EXPECT_EQ(ReadFileBytes(device.Host(u"\\photo-fwd.dcf")), ReadFileBytes(device.Host(u"\\photo.dcf")));

  static const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string encoded;
  for (std::size_t i = 0; i < key.size(); i += 3) {
    unsigned chunk = static_cast<unsigned char>(key[i]) << 16;
    if (i + 1 < key.size()) chunk |= static_cast<unsigned char>(key[i + 1]) << 8;
    if (i + 2 < key.size()) chunk |= static_cast<unsigned char>(key[i + 2]);
    encoded += kBase64[(chunk >> 18) & 63];
    encoded += kBase64[(chunk >> 12) & 63];
    encoded += i + 1 < key.size() ? kBase64[(chunk >> 6) & 63] : '=';
    encoded += i + 2 < key.size() ? kBase64[chunk & 63] : '=';
  }
  std::string error;
  ASSERT_TRUE(platform::InstallRightsObject(
      RightsXml("cid:photo@shop", "<o-dd:display/>",
                "<ds:KeyInfo><ds:KeyValue>" + encoded + "</ds:KeyValue></ds:KeyInfo>"),
      &error))
      << error;
  EXPECT_EQ(ReadThroughService(u"\\photo.dcf", kDrmRightDisplay), "JPEG DATA");
}

TEST(DrmService, DamagedObjectsFailCleanlyAndWriteNothing) {
  TestDevice device;
  const std::string cases[] = {
      "",
      "Content-Type: application/vnd.oma.drm.message\r\n\r\nno boundary",
      "Content-Type: application/vnd.oma.drm.message\r\n\r\n--b\r\nContent-Type: image/gif\r\n\r\nunterminated",
      "Content-Type: application/vnd.oma.drm.message\r\n\r\n--b\r\nContent-Type: image/gif\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\n!!!\r\n--b--",
      "Content-Type: application/vnd.oma.drm.message\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\nx\r\n--b\r\n"
      "Content-Type: image/gif\r\n\r\ny\r\n--b--",
      "Content-Type: application/vnd.oma.drm.content\r\n\r\n\x01\x05\x00image",
      "Content-Type: image/gif\r\n\r\nplain",
  };
  for (const std::string& input : cases) {
    WriteFileBytes(device.Host(u"\\bad.drm"), input);
    std::u16string type;
    EXPECT_LT(Store(u"\\bad.drm", u"\\bad.dcf", &type), 0) << input;
    EXPECT_FALSE(std::filesystem::exists(device.Host(u"\\bad.dcf"))) << input;
  }
  std::string error;
  EXPECT_FALSE(platform::InstallRightsObject(RightsXml("cid:x", "<o-dd:display/>",
                                                        "<ds:KeyValue>c2hvcnQ=</ds:KeyValue>"), &error));
  EXPECT_FALSE(platform::InstallRightsObject("<o-ex:rights><o-ex:agreement>", &error));
}

TEST(DcfFile, EveryTruncationIsRefused) {
  platform::drm::DcfFile file{"text/plain", "cid:t", "A: b\r\n", std::string(32, 'd')};
  std::string bytes = platform::drm::EncodeDcf(file);
  auto parsed = platform::drm::ParseDcf(bytes, nullptr);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(platform::drm::DcfHeader(*parsed, "a"), "b");
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    std::string error;
    EXPECT_FALSE(platform::drm::ParseDcf(std::string_view(bytes).substr(0, length), &error)) << length;
    EXPECT_FALSE(error.empty());
  }
  // A data length of five continuation bytes is not a uintvar.
  std::string lying = std::string("\x01\x01\x00x\x00\xff\xff\xff\xff\xff", 10);
  EXPECT_FALSE(platform::drm::ParseDcf(lying, nullptr));
}

}  // namespace
