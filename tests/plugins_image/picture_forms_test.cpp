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

}  // namespace
}  // namespace codec_test
