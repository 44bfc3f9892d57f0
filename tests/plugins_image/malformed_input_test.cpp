// Hostile and damaged pictures: every one fails cleanly or decodes within bounds, never crashes.
// The files in data/ each broke, or were built to break, a decoder.
#include <gtest/gtest.h>

#include <gif_lib.h>

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

int AppendToString(GifFileType* gif, const GifByteType* bytes, int count) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
  return count;
}

// A 6 x 4 screen with one frame at (2, 1) declared `width` x `height`, pixel (x, y) = (x + 3 * y) % 16.
std::string GifWithFrameBeyondTheScreen(int width, int height, bool interlaced) {
  std::string bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, AppendToString, &error);
  ColorMapObject* colours = GifMakeMapObject(16, nullptr);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, 6, 4, 4, 0, colours);
  EGifPutImageDesc(gif, 2, 1, width, height, interlaced, nullptr);
  static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  std::vector<GifPixelType> row(static_cast<size_t>(width));
  for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass) {
    for (int y = interlaced ? kStart[pass] : 0; y < height; y += interlaced ? kStep[pass] : 1) {
      for (int x = 0; x < width; ++x) row[static_cast<size_t>(x)] = static_cast<GifPixelType>((x + 3 * y) % 16);
      EGifPutLine(gif, row.data(), width);
    }
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(colours);
  return bytes;
}

// Only the part of a frame on the screen is ever drawn: it is what the decoder gives, row by row
// with interlacing undone, however large the frame says it is.
TEST(MalformedInput, AGifFrameFarBeyondItsScreenGivesItsVisiblePart) {
  for (bool interlaced : {false, true}) {
    SCOPED_TRACE(interlaced);
    MemoryStream stream(GifWithFrameBeyondTheScreen(3000, 2000, interlaced));
    ImageCodecHandle handle = nullptr;
    ASSERT_EQ(Entry<ImageDecodeInitFn>("GIF_DecodeInit")(stream.get(), &handle), 0);
    ASSERT_EQ(Entry<ImageGifSetFrameIndexFn>("GIF_DecodeSetFrameIndex")(handle, 0), 0);
    ImageGifFrameInfo frame{};
    ASSERT_EQ(Entry<ImageGifGetFrameInfoFn>("GIF_DecodeGetFrameInfo")(handle, &frame), 0);
    EXPECT_EQ(frame.left, 2);
    EXPECT_EQ(frame.top, 1);
    ASSERT_EQ(frame.width, 4);
    ASSERT_EQ(frame.height, 3);
    auto scan = Entry<ImageDecodeScanLinesFn>("GIF_DecodeScanLines");
    for (int y = 0; y < 3; ++y) {
      uint8_t row[4] = {};
      int32_t done = 0;
      ASSERT_EQ(scan(handle, row, 1, &done, nullptr), 0);
      for (int x = 0; x < 4; ++x) EXPECT_EQ(row[x], (x + 3 * y) % 16) << x << "," << y;
    }
    uint8_t extra[4];
    int32_t done = 0;
    EXPECT_NE(scan(handle, extra, 1, &done, nullptr), 0);
    Entry<ImageUninitFn>("GIF_DecodeUninit")(handle);
  }
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
