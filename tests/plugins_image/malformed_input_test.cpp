// Hostile and damaged pictures: every one fails cleanly or decodes within bounds, never crashes.
// The files in data/ each broke, or were built to break, a decoder.
#include <gtest/gtest.h>

#include <filesystem>

#include "codec_library.h"
#include "support/test_device.h"

namespace codec_test {
namespace {

std::string DataFile(const std::string& name) {
  return test_support::ReadFileBytes(test_support::SourcePath("tests/plugins_image/data/" + name));
}

struct MalformedCase {
  const char* file;
  const char* family;
  bool opens;  // whether DecodeInit accepts the header
};

TEST(MalformedInput, KeptFilesFailAtTheHeaderOrDecodeWithinBounds) {
  const MalformedCase cases[] = {
      {"bmp_huge_dimensions.bmp", "BMP", false},   // 100000 x 100000 claimed
      {"bmp_rle_overrun.bmp", "BMP", true},        // runs and deltas past the picture, bad indices
      {"gif_huge_screen.gif", "GIF", false},       // 65535 x 65535 screen
      {"wbmp_extension_header.wbmp", "WBMP", false},
      {"wbmp_endless_width.wbmp", "WBMP", false},  // a multi-byte width that never ends
      {"png_header_only.png", "PNG", false},
      {"jpeg_huge_sof.jpg", "JPEG", false},        // 65000 x 65000 frame header
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.file);
    MemoryStream stream(DataFile(c.file));
    ImageCodecHandle handle = nullptr;
    int32_t result = Entry<ImageDecodeInitFn>(std::string(c.family) + "_DecodeInit")(stream.get(), &handle);
    EXPECT_EQ(result == 0, c.opens);
    if (result == 0) {
      if (std::string(c.family) != "GIF") {
        EXPECT_TRUE(DecodeWhole(c.family, DataFile(c.file)).ok);
      }
      Entry<ImageUninitFn>(std::string(c.family) + "_DecodeUninit")(handle);
    } else {
      EXPECT_EQ(handle, nullptr);
    }
  }
}

TEST(MalformedInput, GifFramesOutsideTheScreenAreClipped) {
  MemoryStream stream(DataFile("gif_frame_outside_screen.gif"));
  ImageCodecHandle handle = nullptr;
  ASSERT_EQ(Entry<ImageDecodeInitFn>("GIF_DecodeInit")(stream.get(), &handle), 0);
  auto select = Entry<ImageGifSetFrameIndexFn>("GIF_DecodeSetFrameIndex");
  auto info = Entry<ImageGifGetFrameInfoFn>("GIF_DecodeGetFrameInfo");
  ImageGifFrameInfo frame{};
  ASSERT_EQ(select(handle, 0), 0);
  ASSERT_EQ(info(handle, &frame), 0);
  EXPECT_EQ(frame.width * frame.height, 0);  // wholly outside: nothing to draw
  ASSERT_EQ(select(handle, 1), 0);
  ASSERT_EQ(info(handle, &frame), 0);
  EXPECT_EQ(frame.left, 8);
  EXPECT_EQ(frame.width, 2);
  EXPECT_EQ(frame.height, 2);
  EXPECT_NE(select(handle, 2), 0);
  EXPECT_NE(info(handle, &frame), 0);
  Entry<ImageUninitFn>("GIF_DecodeUninit")(handle);
}

// A million one-pixel frames' worth of headers: the index stops at the frame cap.
TEST(MalformedInput, GifFrameCountIsCapped) {
  std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff", 19);
  const std::string frame(",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
  gif.reserve(gif.size() + frame.size() * 1000000 + 1);
  for (int i = 0; i < 1000000; ++i) gif += frame;
  gif += ';';
  MemoryStream stream(gif);
  ImageCodecHandle handle = nullptr;
  ASSERT_EQ(Entry<ImageDecodeInitFn>("GIF_DecodeInit")(stream.get(), &handle), 0);
  ImageGifGlobalInfo global{};
  ASSERT_EQ(Entry<ImageGifGetGlobInfoFn>("GIF_DecodeGetGlobInfo")(handle, &global), 0);
  EXPECT_EQ(global.frameCount, IMAGE_CODEC_MAX_GIF_FRAMES);
  Entry<ImageUninitFn>("GIF_DecodeUninit")(handle);
}

// Every corpus picture cut short at several points and with bytes damaged in its middle.
TEST(MalformedInput, TruncatedAndCorruptedCorpusPicturesNeverCrash) {
  int decoded = 0;
  for (const char* folder : {"jpeg", "png", "gif", "bmp", "wbmp"}) {
    for (const auto& entry : std::filesystem::directory_iterator(test_support::CorpusPath(folder))) {
      std::string bytes = test_support::ReadFileBytes(entry.path());
      std::string family = folder;
      for (char& c : family) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (family == "JPEG" && bytes.size() > 200000) continue;  // the cut points of small files suffice
      for (size_t cut : {size_t{0}, size_t{5}, size_t{30}, bytes.size() / 3, bytes.size() - 1}) {
        if (family != "GIF") decoded += DecodeWhole(family, bytes.substr(0, cut)).ok ? 1 : 0;
      }
      std::string damaged = bytes;
      for (size_t i = damaged.size() / 2; i < damaged.size() && i < damaged.size() / 2 + 64; i += 7) damaged[i] ^= 0x5A;
      if (family != "GIF") decoded += DecodeWhole(family, damaged).ok ? 1 : 0;
      if (family == "GIF") {
        MemoryStream stream(damaged.substr(0, damaged.size() * 2 / 3));
        int32_t duration = 0;
        Entry<ImageGifGetDurationFn>("GIF_GetDuration")(stream.get(), &duration);
        EXPECT_GE(duration, 0);
      }
    }
  }
  EXPECT_GT(decoded, 0);
}

}  // namespace
}  // namespace codec_test
