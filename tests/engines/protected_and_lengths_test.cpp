#include <gtest/gtest.h>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/codec_module.h"
#include "engines/dib_image.h"
#include "engines/image_convert.h"
#include "engines/image_decode.h"
#include "engines/image_info.h"
#include "engines/image_stream.h"
#include "model/media_types.h"
#include "engines/media_lengths.h"
#include "mm1/mm1_library.h"
#include "platform/drm/drm_service.h"
#include "presentation/message_loading.h"
#include "support/test_device.h"

namespace {

using test_support::CorpusPath;
using test_support::ReadFileBytes;
using test_support::TestDevice;
using test_support::WriteFileBytes;

std::string ReadAll(ImageStream& stream) {
  std::string bytes;
  char buffer[4096];
  DWORD done = 0;
  while (stream.Read(buffer, sizeof buffer, &done) && done > 0) bytes.append(buffer, done);
  return bytes;
}

// A forward-locked picture stored the way a received one is, as \locked.gif; gives the picture.
std::string StoreLockedPicture(TestDevice& device) {
  std::string gif = ReadFileBytes(CorpusPath("gif/mmsd-con-210-p2.gif"));
  WriteFileBytes(device.Host(u"\\locked.in"),
                 "Content-Type: application/vnd.oma.drm.message\r\n\r\n--b\r\nContent-Type: image/gif\r\n\r\n" + gif +
                     "\r\n--b--\r\n");
  WCHAR type[64];
  EXPECT_EQ(FileDrmStoreContent(u"\\locked.in", u"\\locked.gif", nullptr, type, 64), S_OK);
  return gif;
}

TEST(ProtectedPictures, ProtectedContentReadsDecryptedOnlyWhereTheServiceAllows) {
  TestDevice device;
  std::string gif = StoreLockedPicture(device);
  auto plain = ImageStream::OpenFile(u"\\locked.gif", image_stream_mode::kProtected);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(ReadAll(*plain), gif);
  auto raw = ImageStream::OpenFile(u"\\locked.gif", image_stream_mode::kRead);
  ASSERT_NE(raw, nullptr);
  EXPECT_NE(ReadAll(*raw), gif);
  // An ordinary file opens as itself; content without known rights does not open.
  WriteFileBytes(device.Host(u"\\open.gif"), gif);
  auto ordinary = ImageStream::OpenFile(u"\\open.gif", image_stream_mode::kProtected);
  ASSERT_NE(ordinary, nullptr);
  EXPECT_EQ(ReadAll(*ordinary), gif);
  std::string dcf = ReadFileBytes(device.Host(u"\\locked.gif"));
  // Another content URI (the byte after "cid:"): rights the device has never seen.
  dcf[3 + static_cast<unsigned char>(dcf[1]) + 4] ^= 1;
  WriteFileBytes(device.Host(u"\\foreign.gif"), dcf);
  EXPECT_EQ(ImageStream::OpenFile(u"\\foreign.gif", image_stream_mode::kProtected), nullptr);
}

// A picture of combined delivery that may be displayed once, stored the way a received one is.
void StoreOnceViewablePicture(TestDevice& device, const std::u16string& path) {
  std::string rights =
      "<o-ex:rights xmlns:o-ex=\"http://odrl.net/1.1/ODRL-EX\" xmlns:o-dd=\"http://odrl.net/1.1/ODRL-DD\">"
      "<o-ex:context><o-dd:version>1.0</o-dd:version></o-ex:context><o-ex:agreement><o-ex:asset>"
      "<o-ex:context><o-dd:uid>cid:once@example</o-dd:uid></o-ex:context></o-ex:asset><o-ex:permission>"
      "<o-dd:display><o-ex:constraint><o-dd:count>1</o-dd:count></o-ex:constraint></o-dd:display>"
      "</o-ex:permission></o-ex:agreement></o-ex:rights>";
  WriteFileBytes(device.Host(u"\\once.in"),
                 "Content-Type: application/vnd.oma.drm.message\r\n\r\n--b\r\n"
                 "Content-Type: application/vnd.oma.drm.rights+xml\r\n\r\n" + rights +
                 "\r\n--b\r\nContent-Type: image/gif\r\n\r\n" + ReadFileBytes(CorpusPath("gif/mmsd-con-210-p2.gif")) +
                 "\r\n--b--\r\n");
  WCHAR type[64];
  ASSERT_EQ(FileDrmStoreContent(u"\\once.in", path.c_str(), nullptr, type, 64), S_OK);
}

TEST(ProtectedPictures, APictureShownOnceIsMeasuredFreelyDecodedOnceAndNeverResized) {
  TestDevice device;
  StoreOnceViewablePicture(device, u"\\once.gif");
  SIZE size{};
  // Measuring uses no display.
  ASSERT_TRUE(GetImageInfo(u"\\once.gif", &size, nullptr, media_type::kNone));
  ASSERT_TRUE(GetImageInfo(u"\\once.gif", &size, nullptr, media_type::kNone));
  SIZE box{1000, 1000};
  std::unique_ptr<DibImage, DibImageDeleter> shown(DecodeImage(u"\\once.gif", &box, media_type::kNone, 0xFFFFFFFF));
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(box.cx, size.cx);
  EXPECT_EQ(box.cy, size.cy);
  // The one display is spent: the service reports the refusal and nothing is decoded.
  testing::internal::CaptureStderr();
  box = SIZE{1000, 1000};
  std::unique_ptr<DibImage, DibImageDeleter> again(DecodeImage(u"\\once.gif", &box, media_type::kNone, 0xFFFFFFFF));
  std::string reported = testing::internal::GetCapturedStderr();
  EXPECT_EQ(again, nullptr);
  EXPECT_NE(reported.find("no rights"), std::string::npos) << reported;
  FreeCodecLibrary();
}

TEST(ProtectedPictures, ProtectedPicturesAreNotResizedAndNotShownWithoutDrmSupport) {
  TestDevice device;
  StoreLockedPicture(device);
  SIZE size{};
  ASSERT_TRUE(GetImageInfo(u"\\locked.gif", &size, nullptr, media_type::kNone));
  ASSERT_GT(size.cx, 2);
  SIZE box{size.cx, size.cy};
  std::unique_ptr<DibImage, DibImageDeleter> shown(DecodeImage(u"\\locked.gif", &box, media_type::kNone, 0xFFFFFFFF));
  EXPECT_NE(shown, nullptr);
  EXPECT_FALSE(ResizeImageFile(u"\\locked.gif", u"\\small.gif", size.cx / 2, size.cy / 2, 90));
  EXPECT_FALSE(std::filesystem::exists(device.Host(u"\\small.gif")));
  ASSERT_TRUE(SetConfigValue(numeric_setting::kIsSupportDrm, 0, FALSE));
  box = SIZE{size.cx, size.cy};
  std::unique_ptr<DibImage, DibImageDeleter> raw(DecodeImage(u"\\locked.gif", &box, media_type::kNone, 0xFFFFFFFF));
  EXPECT_EQ(raw, nullptr);
  FreeCodecLibrary();
}

// A two-frame GIF of 1 x 1 pixels whose frames last 1.5 s each.
std::string SlowGif() {
  const std::string frame = std::string("\x21\xF9\x04\x00\x96\x00\x00\x00", 8) +
                            std::string("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
  return std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00", 19) + frame + frame + ";";
}

TEST(MediaLengths, AnAnimatedPictureKeepsItsSlideAsLongAsItPlays) {
  TestDevice device;
  WriteFileBytes(device.Host(u"\\src\\slow.gif"), SlowGif());
  mm1::WriteHandle writer = mm1::CreateMessage();
  mm1::PartRecord record;
  record.folder = device.Host(u"\\src");
  record.fileName = "slow.gif";
  record.contentType = "image/gif";
  ASSERT_TRUE(writer->AddPart(record));
  ASSERT_TRUE(writer->Write(device.Host(u"\\slow.mms")));
  MessageModel measured;
  ASSERT_EQ(LoadMessage(measured, u"\\slow.mms", u"\\measured\\", false, EngineMediaLengths()), 1);
  ASSERT_EQ(measured.slides.size(), 1u);
  EXPECT_EQ(measured.slides.front().duration, 3000u);
  MessageModel unmeasured;
  ASSERT_EQ(LoadMessage(unmeasured, u"\\slow.mms", u"\\unmeasured\\", false), 1);
  EXPECT_EQ(unmeasured.slides.front().duration, 2000u);
}

}  // namespace
