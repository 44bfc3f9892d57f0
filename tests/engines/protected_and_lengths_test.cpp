#include <gtest/gtest.h>

#include "engines/image_stream.h"
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

TEST(ProtectedPictures, ProtectedContentReadsDecryptedOnlyWhereTheServiceAllows) {
  TestDevice device;
  std::string gif = ReadFileBytes(CorpusPath("gif/mmsd-con-210-p2.gif"));
  WriteFileBytes(device.Host(u"\\locked.in"),
                 "Content-Type: application/vnd.oma.drm.message\r\n\r\n--b\r\nContent-Type: image/gif\r\n\r\n" + gif +
                     "\r\n--b--\r\n");
  WCHAR type[64];
  ASSERT_EQ(FileDrmStoreContent(u"\\locked.in", u"\\locked.gif", nullptr, type, 64), S_OK);
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
