// Every PNG, BMP, WBMP and GIF of the shared corpus decodes through the library to the size and the
// pixels that an independent decoder found (expected/*.image.json).
#include <gtest/gtest.h>

#include <filesystem>

#include <png.h>

#include "codec_library.h"
#include "png_reference.h"
#include "support/json_value.h"
#include "support/test_device.h"

namespace codec_test {
namespace {

std::string FamilyOf(const std::filesystem::path& path) {
  std::string extension = path.extension().string().substr(1);
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return extension;
}

std::vector<std::filesystem::path> ExpectedFiles(const std::string& suffix) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(test_support::CorpusPath("expected"))) {
    std::string name = entry.path().filename().string();
    if (name.size() > suffix.size() && name.ends_with(suffix)) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(CorpusDecode, StillPicturesMatchTheReferenceDecode) {
  int checked = 0;
  for (const auto& expectedPath : ExpectedFiles(".image.json")) {
    const json_test::Value expected = json_test::Reader(ReadText(expectedPath.string())).Parse();
    const std::string& file = expected["file"].text;
    ASSERT_FALSE(file.empty()) << expectedPath;
    std::string family = FamilyOf(file);
    if (family == "GIF") continue;
    SCOPED_TRACE(file);
    std::string bytes = test_support::ReadFileBytes(test_support::CorpusPath(file));
    Decoded picture = DecodeWhole(family, bytes);
    ASSERT_TRUE(picture.ok);
    const json_test::Value& image = expected["image"];
    EXPECT_EQ(picture.width, image["width"].number);
    EXPECT_EQ(picture.height, image["height"].number);
    const std::string& sha = image["rgb_sha256"].text;
    const std::string& alphaSha = image["alpha8_sha256"].text;
    ReferencePng reference = family == "PNG" ? ReadReferencePng(bytes) : ReferencePng{};
    bool transparent = std::find_if(reference.alpha.begin(), reference.alpha.end(),
                                    [](uint8_t alpha) { return alpha != 255; }) != reference.alpha.end();
    if (transparent) {
      // The reference gives colour and alpha apart; the codec blends them over white. A direct
      // libpng read that matches both reference checksums gives the pixels to blend.
      EXPECT_EQ(Sha256Hex(reference.rgb), sha);
      // The recorded alpha of this palette picture with tRNS matches neither libpng's nor netpbm's
      // reading (both give the same mask of fully clear and fully opaque pixels); its colours are
      // still checked against the reference.
      if (file != "png/ftbbn3p08.png") {
        EXPECT_EQ(Sha256Hex(reference.alpha), alphaSha);
      }
      EXPECT_EQ(Sha256Hex(ToRgb(picture)), Sha256Hex(OverWhite(reference)));
      ++checked;
      continue;
    }
    // 16-bit PNGs carry a 48-bit checksum only: their size is what can be compared. Where the two
    // reference decoders disagree (widening 5- and 6-bit samples), either opinion is accepted.
    std::string actual = Sha256Hex(ToRgb(picture));
    const std::string& second = image["pillow_rgb_sha256"].text;
    if (!sha.empty()) {
      EXPECT_TRUE(actual == sha || actual == second) << actual;
    }
    ++checked;
  }
  EXPECT_GE(checked, 20);
}

// Transparent pixels come out white, half-transparent ones halfway to white, opaque ones as they
// are; values worked out by hand.
TEST(PngTransparency, AlphaAndTransparentGreyAreBlendedOverWhite) {
  struct Case {
    const char* what;
    std::string png;
    std::vector<uint8_t> rgb;
  };
  const Case cases[] = {
      {"RGBA", WriteTestPng(3, 1, PNG_COLOR_TYPE_RGB_ALPHA, {0, 0, 0, 0, 255, 0, 0, 128, 10, 20, 30, 255}),
       {255, 255, 255, 255, 127, 127, 10, 20, 30}},
      {"grey and alpha", WriteTestPng(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, {0, 51, 200, 0}), {204, 204, 204, 255, 255, 255}},
      {"grey with tRNS", WriteTestPng(2, 1, PNG_COLOR_TYPE_GRAY, {0, 90}, 0), {255, 255, 255, 90, 90, 90}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_FALSE(c.png.empty());
    Decoded picture = DecodeWhole("PNG", c.png);
    ASSERT_TRUE(picture.ok);
    EXPECT_EQ(ToRgb(picture), c.rgb);
  }
}

// Frames as stored (not composited), each through its own or the global palette.
std::vector<uint8_t> FrameRgb(ImageCodecHandle handle, const ImageGifFrameInfo& info) {
  uint8_t palette[1024] = {};
  uint32_t paletteBytes = sizeof palette;
  Entry<ImageGetColorTabFn>("GIF_DecodeGetColorTab")(handle, palette, &paletteBytes);
  std::vector<uint8_t> rgb;
  std::vector<uint8_t> row(info.width);
  auto scan = Entry<ImageDecodeScanLinesFn>("GIF_DecodeScanLines");
  for (int y = 0; y < info.height; ++y) {
    int32_t done = 0, reserved = 0;
    if (scan(handle, row.data(), 1, &done, &reserved) != 0) return {};
    for (uint8_t index : row) {
      uint32_t at = index * 4u < paletteBytes ? index * 4u : 0;
      rgb.insert(rgb.end(), {palette[at + 2], palette[at + 1], palette[at]});
    }
  }
  return rgb;
}

TEST(CorpusDecode, GifFramesMatchTheReferenceDecode) {
  int frames = 0;
  for (const auto& expectedPath : ExpectedFiles(".gif.image.json")) {
    const json_test::Value expected = json_test::Reader(ReadText(expectedPath.string())).Parse();
    const std::string& file = expected["file"].text;
    ASSERT_FALSE(file.empty()) << expectedPath;
    SCOPED_TRACE(file);
    MemoryStream stream(test_support::ReadFileBytes(test_support::CorpusPath(file)));
    ImageCodecHandle handle = nullptr;
    ASSERT_EQ(Entry<ImageDecodeInitFn>("GIF_DecodeInit")(stream.get(), &handle), 0);
    for (const json_test::Value& frame : expected["frames"].items) {
      const int index = static_cast<int>(frame["index"].number);
      ASSERT_EQ(Entry<ImageGifSetFrameIndexFn>("GIF_DecodeSetFrameIndex")(handle, index), 0);
      ImageGifFrameInfo info{};
      ASSERT_EQ(Entry<ImageGifGetFrameInfoFn>("GIF_DecodeGetFrameInfo")(handle, &info), 0);
      EXPECT_EQ(info.left, frame["left"].number);
      EXPECT_EQ(info.top, frame["top"].number);
      EXPECT_EQ(info.width, frame["width"].number);
      EXPECT_EQ(info.height, frame["height"].number);
      EXPECT_EQ(Sha256Hex(FrameRgb(handle, info)), frame["rgb_sha256"].text) << "frame " << index;
      ++frames;
    }
    Entry<ImageUninitFn>("GIF_DecodeUninit")(handle);
  }
  EXPECT_GE(frames, 2);
}

TEST(CorpusDecode, EveryCameraJpegDecodesAtFullAndReducedScale) {
  for (const auto& entry : std::filesystem::directory_iterator(test_support::CorpusPath("jpeg"))) {
    SCOPED_TRACE(entry.path().filename().string());
    std::string bytes = test_support::ReadFileBytes(entry.path());
    MemoryStream stream(bytes);
    int32_t width = 0, height = 0;
    ASSERT_EQ(Entry<ImageGetInfoFromFileFn>("JPEG_GetInfoFromFile")(stream.get(), &width, &height, 0), 0);
    Decoded full = DecodeWhole("JPEG", bytes);
    ASSERT_TRUE(full.ok);
    EXPECT_EQ(full.width, width);
    EXPECT_EQ(full.height, height);
    Decoded eighth = DecodeWhole("JPEG", bytes, (width + 7) / 8, (height + 7) / 8);
    ASSERT_TRUE(eighth.ok);
    EXPECT_EQ(eighth.width, (width + 7) / 8);
    EXPECT_EQ(eighth.height, (height + 7) / 8);
  }
}

}  // namespace
}  // namespace codec_test
