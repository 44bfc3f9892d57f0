// Encoders: what each family writes decodes back to the picture given (exactly for the lossless
// families, within a stated PSNR for JPEG), JPEG carries the segments it is given, GIF keeps frames,
// palettes, delays and loop settings; DCT scaling picks the largest divisor that still covers.
#include <gtest/gtest.h>

#include <cstring>

#include "codec_library.h"

namespace codec_test {
namespace {

std::vector<uint8_t> Gradient(int width, int height, int bitCount) {
  std::vector<uint8_t> dib = MakeDib(width, height, bitCount);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = DibRow(dib, y);
    for (int x = 0; x < width; ++x) {
      if (bitCount == 8) {
        row[x] = static_cast<uint8_t>((x * 255) / width);
      } else {
        row[x * 3] = static_cast<uint8_t>(x * 255 / width);
        row[x * 3 + 1] = static_cast<uint8_t>(y * 255 / height);
        row[x * 3 + 2] = static_cast<uint8_t>((x + y) * 2);
      }
    }
  }
  return dib;
}

std::vector<uint8_t> RowsOf(std::vector<uint8_t>& dib, int width, int height, int bitCount) {
  std::vector<uint8_t> rows;
  for (int y = 0; y < height; ++y) rows.insert(rows.end(), DibRow(dib, y), DibRow(dib, y) + width * bitCount / 8);
  return rows;
}

std::vector<uint8_t> Expand(const std::vector<uint8_t>& grey) {
  std::vector<uint8_t> bgr;
  for (uint8_t g : grey) bgr.insert(bgr.end(), 3, g);
  return bgr;
}

TEST(Encode, LosslessFamiliesRoundTrip) {
  struct Case {
    const char* family;
    int bitCount;
  } cases[] = {{"PNG", 24}, {"PNG", 8}, {"BMP", 24}, {"BMP", 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.family) + " " + std::to_string(c.bitCount));
    std::vector<uint8_t> dib = Gradient(37, 23, c.bitCount);
    std::string file = EncodeWhole(c.family, dib);
    ASSERT_FALSE(file.empty());
    Decoded back = DecodeWhole(c.family, file);
    ASSERT_TRUE(back.ok);
    std::vector<uint8_t> original = RowsOf(dib, 37, 23, c.bitCount);
    EXPECT_EQ(back.rows, c.bitCount == 8 ? Expand(original) : original);
  }
}

TEST(Encode, WbmpThresholdsAtHalfLuminance) {
  std::vector<uint8_t> dib = MakeDib(10, 2, 24);
  std::memset(DibRow(dib, 0), 200, 30);
  std::memset(DibRow(dib, 1), 40, 30);
  Decoded back = DecodeWhole("WBMP", EncodeWhole("WBMP", dib));
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.rows[0], 255);
  EXPECT_EQ(back.rows[30], 0);
}

TEST(Encode, JpegKeepsColourAndGreyWithinPsnr) {
  for (int bitCount : {24, 8}) {
    SCOPED_TRACE(bitCount);
    std::vector<uint8_t> dib = Gradient(64, 48, bitCount);
    Decoded back = DecodeWhole("JPEG", EncodeWhole("JPEG", dib, 90));
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.bitCount, bitCount);  // a grey palette stays one-component
    EXPECT_GE(Psnr(back.rows, RowsOf(dib, 64, 48, bitCount)), 30.0);
  }
}

TEST(Encode, JpegWritesTheGivenSegmentsInsteadOfItsOwnJfif) {
  const std::string app0("\xFF\xE0\x00\x10JFIF\x00\x01\x02\x00\x00\x48\x00\x48\x00\x00", 18);
  const std::string app1("\xFF\xE1\x00\x0C" "Exif\x00\x00MM\x00\x2A", 14);
  const std::string comment("\xFF\xFE\x00\x05hi\x21", 7);
  std::vector<uint8_t> dib = Gradient(16, 16, 24);
  std::string file = EncodeWhole("JPEG", dib, 80, app0 + app1 + comment);
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(file.substr(2, app0.size() + app1.size() + comment.size()), app0 + app1 + comment);
  EXPECT_EQ(file.find("JFIF", app0.size()), std::string::npos);
  std::vector<uint8_t> again = Gradient(16, 16, 24);
  EXPECT_TRUE(EncodeWhole("JPEG", again, 80, std::string("\xFF\xE1\x00\x30", 4)).empty());  // length past the end
}

// An Adobe APP14 segment: version 100, no flags, and the colour transform (0 RGB, 1 YCbCr).
std::string AdobeSegment(char transform) {
  return std::string("\xFF\xEE\x00\x0E" "Adobe\x00\x64\x00\x00\x00\x00", 15) + transform;
}

// The first chunk of an ICC profile of 128 bytes whose header names the colour space.
std::string IccSegment(const char* colourSpace) {
  std::string profile(128, '\0');
  profile.replace(16, 4, colourSpace);
  std::string payload = std::string("ICC_PROFILE\x00\x01\x01", 14) + profile;
  const size_t length = payload.size() + 2;
  return std::string("\xFF\xE2", 2) + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) + payload;
}

// Segments go out as they were copied, except that a colour description the new data no longer
// fits is corrected or left out, so that decoders do not show wrong colours.
TEST(Encode, CopiedColourSegmentsDescribeTheWrittenData) {
  // A red picture carried with the segments of an RGB Adobe camera file still decodes red: with EXIF
  // there is no JFIF segment, and the Adobe transform says how the data is coded.
  const std::string exif("\xFF\xE1\x00\x0C" "Exif\x00\x00MM\x00\x2A", 14);
  std::vector<uint8_t> red = MakeDib(16, 16, 24);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) std::memcpy(DibRow(red, y) + x * 3, "\x00\x00\xFF", 3);
  }
  std::string file = EncodeWhole("JPEG", red, 90, exif + AdobeSegment(0) + IccSegment("CMYK"));
  ASSERT_FALSE(file.empty());
  size_t adobe = file.find("Adobe");
  ASSERT_NE(adobe, std::string::npos);
  EXPECT_EQ(file[adobe + 11], 1) << "the data is YCbCr";
  EXPECT_EQ(file.find("ICC_PROFILE"), std::string::npos) << "a CMYK profile does not describe it";
  Decoded back = DecodeWhole("JPEG", file);
  ASSERT_TRUE(back.ok);
  std::vector<uint8_t> rgb = ToRgb(back);
  EXPECT_GT(rgb[0], 230);
  EXPECT_LT(rgb[1], 25);
  EXPECT_LT(rgb[2], 25);

  // A profile of the written colour space stays, and grey data gets the transform 0.
  std::vector<uint8_t> colour = Gradient(16, 16, 24);
  EXPECT_NE(EncodeWhole("JPEG", colour, 90, IccSegment("RGB ")).find("ICC_PROFILE"), std::string::npos);
  std::vector<uint8_t> grey = Gradient(16, 16, 8);
  std::string greyFile = EncodeWhole("JPEG", grey, 90, AdobeSegment(1) + IccSegment("GRAY"));
  ASSERT_NE(greyFile.find("Adobe"), std::string::npos);
  EXPECT_EQ(greyFile[greyFile.find("Adobe") + 11], 0);
  EXPECT_NE(greyFile.find("ICC_PROFILE"), std::string::npos);
}

TEST(Encode, JpegDctScalingPicksTheLargestCoveringDivisor) {
  std::vector<uint8_t> dib = Gradient(1600, 1200, 24);
  std::string file = EncodeWhole("JPEG", dib, 75);
  struct Case {
    int requestWidth, requestHeight, width, height;
  } cases[] = {{200, 150, 200, 150}, {160, 120, 200, 150}, {201, 150, 400, 300}, {800, 600, 800, 600}, {1000, 750, 1600, 1200}};
  for (const Case& c : cases) {
    Decoded scaled = DecodeWhole("JPEG", file, c.requestWidth, c.requestHeight);
    ASSERT_TRUE(scaled.ok);
    EXPECT_EQ(scaled.width, c.width) << c.requestWidth;
    EXPECT_EQ(scaled.height, c.height) << c.requestWidth;
  }
}

TEST(Encode, GifKeepsFramesPalettesDelaysAndLoop) {
  MemoryStream out;
  ImageCodecHandle encoder = nullptr;
  ImageGifEncoderInfo description{8};
  ASSERT_EQ(Entry<ImageGifEncodeInitFn>("GIF_EncodeInit")(out.get(), &description, &encoder), 0);
  ImageGifGlobalInfo global{8, 6, 1, 8, 0, 0};
  ImageGifLoopInfo loop{1, 3};
  const uint8_t globalPalette[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  const uint8_t localPalette[12] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
  ASSERT_EQ(Entry<ImageGifSetGlobalInfoFn>("GIF_EncodeSetGlobalInfo")(encoder, &global), 0);
  ASSERT_EQ(Entry<ImageSetColorTabFn>("GIF_EncodeSetColorTab")(encoder, globalPalette, 2), 0);
  ASSERT_EQ(Entry<ImageGifSetLoopFn>("GIF_EncodeSetLoop")(encoder, &loop), 0);
  ImageGifFrameInfo frames[2] = {{0, 0, 8, 6, 0, 0, 0, 25, -1, 0}, {2, 1, 4, 3, 1, 1, 2, 40, 2, 2}};
  auto scan = Entry<ImageEncodeScanLinesFn>("GIF_EncodeScanLines");
  for (ImageGifFrameInfo& frame : frames) {
    ASSERT_EQ(Entry<ImageGifSetFrameInfoFn>("GIF_EncodeSetFrameInfo")(encoder, &frame), 0);
    if (frame.hasLocalColorTable) {
      ASSERT_EQ(Entry<ImageSetColorTabFn>("GIF_EncodeSetColorTab")(encoder, localPalette, 3), 0);
    }
    std::vector<uint8_t> row(frame.width);
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) row[x] = static_cast<uint8_t>((x + y) % (frame.hasLocalColorTable ? 3 : 2));
      ASSERT_EQ(scan(encoder, y, 1, row.data(), 0), 0);
    }
  }
  ASSERT_EQ(Entry<ImageUninitFn>("GIF_EncodeUninit")(encoder), 0);

  MemoryStream in(out.bytes());
  ImageGifLoopInfo readLoop{};
  ASSERT_EQ(Entry<ImageGifGetGifInfoFn>("GIF_GetGifInfo")(in.get(), &readLoop), 0);
  EXPECT_EQ(readLoop.hasLoop, 1);
  EXPECT_EQ(readLoop.loopCount, 3);
  int32_t duration = 0;
  ASSERT_EQ(Entry<ImageGifGetDurationFn>("GIF_GetDuration")(in.get(), &duration), 0);
  EXPECT_EQ(duration, 65);
  ImageCodecHandle decoder = nullptr;
  ASSERT_EQ(Entry<ImageDecodeInitFn>("GIF_DecodeInit")(in.get(), &decoder), 0);
  ImageGifFrameInfo second{};
  ASSERT_EQ(Entry<ImageGifSetFrameIndexFn>("GIF_DecodeSetFrameIndex")(decoder, 1), 0);
  ASSERT_EQ(Entry<ImageGifGetFrameInfoFn>("GIF_DecodeGetFrameInfo")(decoder, &second), 0);
  EXPECT_EQ(second.left, 2);
  EXPECT_EQ(second.width, 4);
  EXPECT_EQ(second.transparentIndex, 2);
  EXPECT_EQ(second.disposal, 2);
  uint8_t palette[1024];
  uint32_t paletteBytes = sizeof palette;
  ASSERT_EQ(Entry<ImageGetColorTabFn>("GIF_DecodeGetColorTab")(decoder, palette, &paletteBytes), 0);
  EXPECT_EQ(palette[2], 255);  // the local table's first entry is red
  std::vector<uint8_t> row(4);
  int32_t done = 0, reserved = 0;
  ASSERT_EQ(Entry<ImageDecodeScanLinesFn>("GIF_DecodeScanLines")(decoder, row.data(), 1, &done, &reserved), 0);
  EXPECT_EQ(row, (std::vector<uint8_t>{0, 1, 2, 0}));
  Entry<ImageUninitFn>("GIF_DecodeUninit")(decoder);
}

}  // namespace
}  // namespace codec_test
