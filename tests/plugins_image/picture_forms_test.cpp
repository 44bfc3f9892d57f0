// The picture forms a message can carry beyond the corpus (progressive, restart-marked, arithmetic
// and CMYK or YCCK JPEGs, EXIF and XMP before the frame, fill bytes between segments; palette,
// grey, 16-bit, interlaced and transparent PNGs; OS/2, V3 bit-field, V4 and V5 BMPs with RLE and
// bit fields) decode to the pixels an independent decoder finds: netpbm for PNG (which, like us,
// leaves the gamma chunk alone; transparency is blended over white, as we draw it), ImageMagick for
// the others. The pictures are the picture_decode
// fuzz seeds, one file each, whose first byte only picks the fuzzer's decoder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include <unistd.h>

#include "codec_library.h"
#include "support/outside_tool.h"
#include "support/test_device.h"

namespace codec_test {
namespace {

// Widening 5- and 6-bit samples may round either way; anything else is an exact match.
constexpr double kMinimumPsnr = 45.0;

// The reference decode as red-green-blue rows; empty, with a failure, when it cannot be had.
std::vector<uint8_t> Reference(const std::filesystem::path& file, const std::string& family, int& width, int& height) {
  const std::string quoted = test_support::ShellQuoted(file.string());
  auto ppm = family == "PNG"
                 ? test_support::ToolOutput("pngtopam", "netpbm",
                                            "-mix -background=white " + quoted + " | pamdepth 255 | ppmtoppm")
                 : test_support::ToolOutput("convert", "imagemagick",
                                            test_support::ShellQuoted(file.string() + "[0]") +
                                                " -alpha off -colorspace sRGB -depth 8 ppm:-");
  if (!ppm) return {};
  int maxValue = 0, consumed = 0;
  if (std::sscanf(ppm->c_str(), "P6 %d %d %d%n", &width, &height, &maxValue, &consumed) != 3 || maxValue != 255) {
    ADD_FAILURE() << "unexpected reference output for " << file;
    return {};
  }
  std::string pixels = ppm->substr(static_cast<size_t>(consumed) + 1);
  return std::vector<uint8_t>(pixels.begin(), pixels.end());
}

TEST(PictureForms, EveryFormDecodesToTheReferencePixels) {
  const std::map<std::string, std::string> families = {{".jpg", "JPEG"}, {".png", "PNG"}, {".bmp", "BMP"},
                                                        {".wbmp", "WBMP"}};
  const std::filesystem::path scratch = std::filesystem::temp_directory_path() / ("mmsform-picture-forms-" + std::to_string(::getpid()));
  std::filesystem::create_directories(scratch);
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test_support::SourcePath("fuzz/picture_decode/seeds"))) {
    auto family = families.find(entry.path().extension().string());
    if (family == families.end()) continue;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    const std::string bytes = test_support::ReadFileBytes(entry.path()).substr(1);
    const std::filesystem::path file = scratch / name;
    test_support::WriteFileBytes(file, bytes);
    Decoded picture = DecodeWhole(family->second, bytes);
    ASSERT_TRUE(picture.ok);
    int width = 0, height = 0;
    std::vector<uint8_t> expected = Reference(file, family->second, width, height);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(picture.width, width);
    EXPECT_EQ(picture.height, height);
    EXPECT_GE(Psnr(ToRgb(picture), expected), kMinimumPsnr);
    ++compared;
  }
  std::filesystem::remove_all(scratch);
  EXPECT_GE(compared, 30);
}

// Opens a picture for its palette and masks; the handle is closed by the caller.
ImageCodecHandle Open(const std::string& family, MemoryStream& stream) {
  ImageCodecHandle handle = nullptr;
  EXPECT_EQ(Entry<ImageDecodeInitFn>(family + "_DecodeInit")(stream.get(), &handle), 0);
  return handle;
}

std::string Palette(const std::string& family, ImageCodecHandle handle, uint32_t room) {
  std::string palette(room, '\x7F');
  uint32_t bytes = room;
  if (Entry<ImageGetColorTabFn>(family + "_DecodeGetColorTab")(handle, reinterpret_cast<uint8_t*>(palette.data()),
                                                             &bytes) != 0) {
    return "failed";
  }
  return palette.substr(0, bytes);
}

// The colour tables the decoders hand out are the ones stored in the files: blue, green, red and a
// zero byte per entry, cut to the room given.
TEST(PictureForms, ColourTablesAndMasksAreTheStoredOnes) {
  // A BMP stores its table as those quads right after the info header, as many as biClrUsed says;
  // the rest of the 256 entries of an 8-bit picture are black.
  const std::string bmp = test_support::ReadFileBytes(test_support::CorpusPath("bmp/pal8.bmp"));
  const uint32_t headerSize = static_cast<uint8_t>(bmp[14]) | static_cast<uint8_t>(bmp[15]) << 8;
  const uint32_t used = static_cast<uint8_t>(bmp[46]) | static_cast<uint8_t>(bmp[47]) << 8;
  ASSERT_GT(used, 0u);
  ASSERT_LE(used, 256u);
  MemoryStream bmpStream(bmp);
  ImageCodecHandle handle = Open("BMP", bmpStream);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Palette("BMP", handle, 1024), bmp.substr(14 + headerSize, used * 4) + std::string((256 - used) * 4, '\0'));
  EXPECT_EQ(Palette("BMP", handle, 10), bmp.substr(14 + headerSize, 8));
  Entry<ImageUninitFn>("BMP_DecodeUninit")(handle);

  // A PNG stores red, green and blue triples in its PLTE chunk.
  const std::string png = test_support::ReadFileBytes(test_support::CorpusPath("png/basn3p04.png"));
  const size_t chunk = png.find("PLTE");
  ASSERT_NE(chunk, std::string::npos);
  const size_t entries = (static_cast<uint8_t>(png[chunk - 2]) << 8 | static_cast<uint8_t>(png[chunk - 1])) / 3;
  std::string expected;
  for (size_t i = 0; i < entries; ++i) {
    expected += {png[chunk + 4 + i * 3 + 2], png[chunk + 4 + i * 3 + 1], png[chunk + 4 + i * 3], '\0'};
  }
  MemoryStream pngStream(png);
  handle = Open("PNG", pngStream);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Palette("PNG", handle, 1024), expected);
  Entry<ImageUninitFn>("PNG_DecodeUninit")(handle);

  // WBMP is black and white.
  MemoryStream wbmpStream(test_support::ReadFileBytes(test_support::CorpusPath("wbmp/pm-27d0a048-p1.wbmp")));
  handle = Open("WBMP", wbmpStream);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Palette("WBMP", handle, 64), std::string("\0\0\0\0\xFF\xFF\xFF\0", 8));
  Entry<ImageUninitFn>("WBMP_DecodeUninit")(handle);

  // A 16-bit bit-field BMP gives its three masks: 5, 6 and 5 bits of red, green and blue.
  std::string bitfields = test_support::ReadFileBytes(test_support::SourcePath("fuzz/picture_decode/seeds/bmp565.bmp"));
  MemoryStream maskStream(bitfields.substr(1));
  handle = Open("BMP", maskStream);
  ASSERT_NE(handle, nullptr);
  uint32_t masks[3] = {};
  ASSERT_EQ(Entry<ImageGetMaskFn>("BMP_DecodeGetMask")(handle, masks), 0);
  EXPECT_EQ(masks[0], 0xF800u);
  EXPECT_EQ(masks[1], 0x07E0u);
  EXPECT_EQ(masks[2], 0x001Fu);
  EXPECT_NE(Entry<ImageGetMaskFn>("BMP_DecodeGetMask")(handle, nullptr), 0);
  Entry<ImageUninitFn>("BMP_DecodeUninit")(handle);
}

}  // namespace
}  // namespace codec_test
