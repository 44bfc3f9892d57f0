// The codec adapter on a device of its own: decoding into boxes, re-encoding, the resize rules, GIF
// resizing with every frame, EXIF carried into resized camera pictures, and quiet failure when the
// codec library is missing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/codec_module.h"
#include "engines/exif_reader.h"
#include "engines/gif_player.h"
#include "engines/image_convert.h"
#include "engines/image_decode.h"
#include "engines/image_encode.h"
#include "engines/image_fit.h"
#include "engines/image_info.h"
#include "engines/jpeg_segments.h"
#include "model/media_types.h"
#include "support/json_value.h"
#include "support/outside_tool.h"
#include "support/test_device.h"

namespace {

using test_support::CorpusPath;
using test_support::ReadFileBytes;
using DibPointer = std::unique_ptr<DibImage, DibImageDeleter>;

class PictureAdapter : public ::testing::Test {
 protected:
  // Puts a corpus file (or bytes) on the device and gives its device path.
  std::u16string Put(const std::string& corpusFile, const std::u16string& name) {
    test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\" + name), ReadFileBytes(CorpusPath(corpusFile)));
    return u"\\My Documents\\" + name;
  }
  std::string Bytes(const std::u16string& path) { return ReadFileBytes(m_device.Host(path)); }
  bool Exists(const std::u16string& path) { return std::filesystem::exists(m_device.Host(path)); }
  // A smooth colour picture of the given size written through the adapter.
  std::u16string Synthetic(LONG width, LONG height, const std::u16string& name, bool grey = false) {
    DibPointer image(CreateDibImage(width, height, grey ? 8 : 24));
    if (grey) {
      for (int i = 0; i < 256; ++i) DibPalette(image.get())[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    }
    for (LONG y = 0; y < height; ++y) {
      BYTE* row = DibRowFromTop(image.get(), y);
      for (LONG x = 0; x < width; ++x) {
        BYTE value = static_cast<BYTE>((x * 7 + y * 3) % 256);
        if (grey) {
          row[x] = value;
          continue;
        }
        row[x * 3] = value;
        row[x * 3 + 1] = static_cast<BYTE>(y % 256);
        row[x * 3 + 2] = static_cast<BYTE>(x % 256);
      }
    }
    std::u16string path = u"\\My Documents\\" + name;
    EXPECT_TRUE(EncodeImage(image.get(), path.c_str(), media_type::kNone, 92, nullptr, 0));
    return path;
  }
  void SetUp() override { std::filesystem::create_directories(m_device.Host(u"\\My Documents")); }
  void TearDown() override { FreeCodecLibrary(); }

  test_support::TestDevice m_device;
};

std::vector<uint8_t> RgbOf(const DibImage* image) {
  std::vector<uint8_t> rgb;
  for (LONG y = 0; y < image->header.biHeight; ++y) {
    const BYTE* row = DibRowFromTop(image, y);
    for (LONG x = 0; x < image->header.biWidth; ++x) rgb.insert(rgb.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
  }
  return rgb;
}

// Reduced decodes against the reference tools' reduction of the whole picture. Two sound ways of
// reducing differ by 29 to 38 dB on the corpus photographs (netpbm's and ImageMagick's reductions
// of the detailed one differ by 30 dB themselves); a picture one pixel out of place falls below 28.
constexpr double kReducedPsnr = 28.0;

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 0;  // pictures of different sizes do not agree
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
  return sum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * a.size() / sum);
}

TEST_F(PictureAdapter, CorpusPicturesDecodeToTheirOwnSize) {
  for (const char* folder : {"jpeg", "png", "gif", "bmp", "wbmp"}) {
    for (const auto& entry : std::filesystem::directory_iterator(CorpusPath(folder))) {
      std::string name = entry.path().filename().string();
      SCOPED_TRACE(name);
      std::u16string path = Put(std::string(folder) + "/" + name, std::u16string(name.begin(), name.end()));
      SIZE size{};
      ASSERT_TRUE(GetImageInfo(path.c_str(), &size, nullptr, media_type::kNone));
      SIZE box{10000, 10000};
      DibPointer image(DecodeImage(path.c_str(), &box, media_type::kNone, 0xFFFFFFFF));
      ASSERT_TRUE(image);
      EXPECT_EQ(box.cx, size.cx);
      EXPECT_EQ(box.cy, size.cy);
      EXPECT_EQ(image->header.biBitCount, 24);
    }
  }
}

// The picture as independent tools see it at a given size: libjpeg-turbo's decoder at full size,
// then netpbm's scaler (pixel mixing, an area mean), as red-green-blue rows; empty, with a test
// failure, when a tool is missing.
std::vector<uint8_t> ReferenceFit(const std::string& host, LONG width, LONG height) {
  if (!test_support::ToolOutput("pamscale", "netpbm", "-version")) return {};
  auto ppm = test_support::ToolOutput("djpeg", "libjpeg-turbo-progs",
                                      "-ppm " + test_support::ShellQuoted(host) + " | pamscale -width " +
                                          std::to_string(width) + " -height " + std::to_string(height));
  if (!ppm) return {};
  int w = 0, h = 0, maxValue = 0, consumed = 0;
  if (std::sscanf(ppm->c_str(), "P6 %d %d %d%n", &w, &h, &maxValue, &consumed) != 3 || maxValue != 255 || w != width ||
      h != height) {
    ADD_FAILURE() << "unexpected reference output";
    return {};
  }
  std::string pixels = ppm->substr(static_cast<size_t>(consumed) + 1);
  return std::vector<uint8_t>(pixels.begin(), pixels.end());
}

// A reduced decode (DCT scaling, then the resampler) against the whole picture decoded and scaled
// down by the reference tools: the two ways of reducing may differ by rounding, never by content.
TEST_F(PictureAdapter, ReducedJpegDecodesAgreeWithTheReferenceDecoder) {
  for (const char* name : {"jolla-phone.jpg", "nikon-e950.jpg", "canon-ixus.jpg"}) {
    SCOPED_TRACE(name);
    std::u16string path = Put(std::string("jpeg/") + name, u"reduced.jpg");
    SIZE box{160, 160};
    DibPointer reduced(DecodeImage(path.c_str(), &box, media_type::kNone, 0));
    ASSERT_TRUE(reduced);
    std::vector<uint8_t> expected = ReferenceFit(m_device.Host(path).string(), box.cx, box.cy);
    ASSERT_FALSE(expected.empty());
    EXPECT_GE(Psnr(RgbOf(reduced.get()), expected), kReducedPsnr);
  }
}

TEST_F(PictureAdapter, DecodeFitsTheBoxWithoutEnlarging) {
  struct Case {
    LONG width, height, boxWidth, boxHeight, fittedWidth, fittedHeight;
    const char16_t* name;
  } cases[] = {{100, 50, 160, 120, 100, 50, u"small.png"},
               {1600, 1200, 160, 120, 160, 120, u"big.jpg"},
               {3000, 10, 100, 100, 100, 1, u"strip.bmp"}};
  for (const Case& c : cases) {
    std::u16string path = Synthetic(c.width, c.height, c.name);
    SIZE box{c.boxWidth, c.boxHeight};
    DibPointer image(DecodeImage(path.c_str(), &box, media_type::kNone, 0));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->header.biWidth, c.fittedWidth);
    EXPECT_EQ(image->header.biHeight, c.fittedHeight);
    EXPECT_EQ(box.cx, c.fittedWidth);
  }
}

TEST_F(PictureAdapter, ResizeRulesRefuseWhatNeedsNoResize) {
  std::u16string path = Synthetic(640, 480, u"vga.jpg");
  EXPECT_FALSE(ResizeImageFile(path.c_str(), u"\\My Documents\\out.jpg", 800, 800, 90));
  EXPECT_FALSE(Exists(u"\\My Documents\\out.jpg"));
  EXPECT_FALSE(ResizeImageFile(path.c_str(), u"\\My Documents\\out.jpg", 0, 0, 90));
  EXPECT_FALSE(ResizeImageFile(path.c_str(), u"", 320, 240, 90));
  EXPECT_FALSE(ConvertImage(path.c_str(), u"\\MY DOCUMENTS\\VGA.JPG", SIZE{320, 240}, media_type::kNone, 90));
  EXPECT_TRUE(ResizeImageFile(path.c_str(), u"\\My Documents\\out.jpg", 320, 240, 90));
  SIZE size{};
  ASSERT_TRUE(GetImageInfo(u"\\My Documents\\out.jpg", &size, nullptr, media_type::kNone));
  EXPECT_EQ(size.cx, 320);
  EXPECT_TRUE(ResizeImageInPlace(path.c_str(), 160, 160, 80));
  ASSERT_TRUE(GetImageInfo(path.c_str(), &size, nullptr, media_type::kNone));
  EXPECT_EQ(size.cx, 160);
  EXPECT_EQ(size.cy, 120);
  EXPECT_FALSE(Exists(u"\\My Documents\\vga_temp.jpg"));
}

TEST_F(PictureAdapter, DefaultResolutionSelectsTheBox) {
  const SIZE boxes[] = {{160, 120}, {320, 240}, {640, 480}, {1024, 768}, {1280, 1024}, {0, 0}};
  for (LONG setting = 0; setting <= 5; ++setting) {
    SetConfigValue(numeric_setting::kDefaultResolution, setting, FALSE);
    SIZE box = GetDefaultResolution();
    EXPECT_EQ(box.cx, boxes[setting].cx) << setting;
    EXPECT_EQ(box.cy, boxes[setting].cy) << setting;
  }
}

TEST_F(PictureAdapter, GifResizeKeepsEveryFrameDelayAndLoop) {
  std::u16string path = Put("gif/pm-btmms-p2-animated.gif", u"anim.gif");
  ASSERT_TRUE(ResizeImageFile(path.c_str(), u"\\My Documents\\half.gif", 34, 25, 90));
  EXPECT_EQ(GetGifDuration(u"\\My Documents\\half.gif"), GetGifDuration(path.c_str()));
  SIZE size{};
  ASSERT_TRUE(GetImageInfo(u"\\My Documents\\half.gif", &size, nullptr, media_type::kNone));
  EXPECT_EQ(size.cx, 34);
  EXPECT_EQ(size.cy, 25);
  auto original = ImageStream::OpenFile(path.c_str(), image_stream_mode::kRead);
  auto resized = ImageStream::OpenFile(u"\\My Documents\\half.gif", image_stream_mode::kRead);
  auto before = GifPlayer::Open(*original, SIZE{100, 100}, 0);
  auto after = GifPlayer::Open(*resized, SIZE{100, 100}, 0);
  ASSERT_TRUE(before && after);
  EXPECT_EQ(after->frameCount(), before->frameCount());
  ImageGifLoopInfo loopBefore{}, loopAfter{};
  CallCodec<ImageGifGetGifInfoFn>(CodecFamily::kGif, CodecEntry::kGetGifInfo, original->codecStream(), &loopBefore);
  CallCodec<ImageGifGetGifInfoFn>(CodecFamily::kGif, CodecEntry::kGetGifInfo, resized->codecStream(), &loopAfter);
  EXPECT_EQ(loopAfter.hasLoop, loopBefore.hasLoop);
  EXPECT_EQ(loopAfter.loopCount, loopBefore.loopCount);
}

TEST_F(PictureAdapter, GifWhoseWidthRoundsBackIsCopiedByteForByte) {
  std::u16string path = Put("gif/pm-projekt-exempel-p2.gif", u"still.gif");  // 101 x 80
  ASSERT_TRUE(ResizeImageFile(path.c_str(), u"\\My Documents\\same.gif", 200, 80, 90));
  EXPECT_EQ(Bytes(u"\\My Documents\\same.gif"), Bytes(path));
}

TEST_F(PictureAdapter, CameraJpegResizeKeepsSegmentsAndRewritesDimensions) {
  SetConfigValue(numeric_setting::kSupportEXIF, 1, FALSE);
  std::u16string path = Put("jpeg/canon-ixus.jpg", u"camera.jpg");  // 640 x 480, little-endian EXIF
  ASSERT_TRUE(ResizeImageFile(path.c_str(), u"\\My Documents\\small.jpg", 320, 240, 90));
  auto source = ImageStream::OpenFile(path.c_str(), image_stream_mode::kRead);
  auto result = ImageStream::OpenFile(u"\\My Documents\\small.jpg", image_stream_mode::kRead);
  std::vector<uint8_t> before, after;
  ASSERT_EQ(CopyAppSegments(*source, before), 0);
  ASSERT_EQ(CopyAppSegments(*result, after), 0);
  // Every segment is carried over as it was, but for the two rewritten dimensions: two values of at
  // most four bytes each.
  ASSERT_EQ(after.size(), before.size());
  size_t differing = 0;
  for (size_t i = 0; i < before.size(); ++i) differing += before[i] != after[i] ? 1 : 0;
  EXPECT_GT(differing, 0u);
  EXPECT_LE(differing, 8u);
  ExifInfo* info = nullptr;
  ASSERT_TRUE(ReadExifInfo(u"\\My Documents\\small.jpg", &info, media_type::kNone));
  EXPECT_EQ(info->pixelXDimension, 320u);
  EXPECT_EQ(info->pixelYDimension, 240u);
  EXPECT_EQ(info->make, std::string("Canon\0", 6));
  FreeExifInfo(info);
  // An independent reader finds the new dimensions and every other EXIF tag unchanged.
  auto tags = [&](const std::u16string& file) {
    auto text = test_support::ToolOutput("exiftool", "libimage-exiftool-perl",
                                         "-j -n -EXIF:all " + test_support::ShellQuoted(m_device.Host(file).string()));
    json_test::Value parsed = json_test::Reader(text.value_or("")).Parse();
    return parsed.items.empty() ? json_test::Value{} : parsed.items.front();
  };
  json_test::Value original = tags(path);
  json_test::Value resized = tags(u"\\My Documents\\small.jpg");
  EXPECT_EQ(resized["ExifImageWidth"].number, 320);
  EXPECT_EQ(resized["ExifImageHeight"].number, 240);
  ASSERT_GT(original.members.size(), 10u);
  for (const auto& [key, value] : original.members) {
    if (key == "SourceFile" || key == "ExifImageWidth" || key == "ExifImageHeight") continue;
    EXPECT_EQ(resized[key].text, value.text) << key;
    EXPECT_EQ(resized[key].number, value.number) << key;
  }
}

TEST_F(PictureAdapter, GreyJpegStaysGreyWithItsRewrittenExif) {
  SetConfigValue(numeric_setting::kSupportEXIF, 1, FALSE);
  std::u16string camera = Put("jpeg/fujifilm-finepix40i.jpg", u"camera.jpg");  // big-endian EXIF
  auto stream = ImageStream::OpenFile(camera.c_str(), image_stream_mode::kRead);
  std::vector<uint8_t> segments;
  ASSERT_EQ(CopyAppSegments(*stream, segments), 0);
  std::u16string grey = Synthetic(800, 600, u"grey.bmp", true);
  SIZE box{800, 600};
  DibPointer image(DecodeImage(grey.c_str(), &box, media_type::kNone, 0));
  ASSERT_TRUE(image);
  DibPointer eight(CreateDibImage(800, 600, 8));
  for (int i = 0; i < 256; ++i) DibPalette(eight.get())[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
  for (LONG y = 0; y < 600; ++y)
    for (LONG x = 0; x < 800; ++x) DibRowFromTop(eight.get(), y)[x] = DibRowFromTop(image.get(), y)[x * 3];
  ASSERT_TRUE(EncodeImage(eight.get(), u"\\My Documents\\grey.jpg", media_type::kNone, 90, segments.data(),
                          static_cast<DWORD>(segments.size())));
  ASSERT_TRUE(ResizeImageFile(u"\\My Documents\\grey.jpg", u"\\My Documents\\grey-small.jpg", 320, 240, 90));
  SIZE size{};
  int bitCount = 0;
  ASSERT_TRUE(GetImageInfo(u"\\My Documents\\grey-small.jpg", &size, &bitCount, media_type::kNone));
  EXPECT_EQ(bitCount, 8);
  EXPECT_EQ(size.cx, 320);
  ExifInfo* info = nullptr;
  ASSERT_TRUE(ReadExifInfo(u"\\My Documents\\grey-small.jpg", &info, media_type::kNone));
  EXPECT_EQ(info->pixelXDimension, 320u);
  EXPECT_EQ(info->pixelYDimension, 240u);
  FreeExifInfo(info);
}

TEST_F(PictureAdapter, MissingCodecLibraryMakesEveryCallFailQuietly) {
  std::u16string path = Put("jpeg/canon-ixus.jpg", u"camera.jpg");
  std::u16string gif = Put("gif/pm-btmms-p2-animated.gif", u"anim.gif");
  FreeCodecLibrary();
  std::filesystem::path library = m_device.Host(u"\\windows\\ImageDLL.dll");
  std::filesystem::rename(library, library.string() + ".away");
  SIZE box{100, 100};
  EXPECT_EQ(DecodeImage(path.c_str(), &box, media_type::kNone, 0), nullptr);
  SIZE size{};
  EXPECT_FALSE(GetImageInfo(path.c_str(), &size, nullptr, media_type::kNone));
  EXPECT_EQ(GetGifDuration(gif.c_str()), -1);
  EXPECT_FALSE(ResizeImageFile(path.c_str(), u"\\My Documents\\out.jpg", 100, 100, 90));
  EXPECT_FALSE(ResizeImageFile(gif.c_str(), u"\\My Documents\\out.gif", 10, 10, 90));
  DibPointer image(CreateDibImage(4, 4, 24));
  EXPECT_FALSE(EncodeImage(image.get(), u"\\My Documents\\new.png", media_type::kNone, 90, nullptr, 0));
  EXPECT_FALSE(Exists(u"\\My Documents\\new.png"));
  std::filesystem::rename(library.string() + ".away", library);
  ReleaseCodecs();
  EXPECT_TRUE(GetImageInfo(path.c_str(), &size, nullptr, media_type::kNone));
}

TEST_F(PictureAdapter, MalformedPicturesFailCleanly) {
  const struct {
    const char* file;
    bool decodes;  // whether the header is sound enough for a picture to come out
  } cases[] = {
      {"bmp_huge_dimensions.bmp", false},  {"bmp_rle_overrun.bmp", true},      {"gif_frame_outside_screen.gif", true},
      {"gif_huge_screen.gif", false},      {"jpeg_huge_sof.jpg", false},       {"png_header_only.png", false},
      {"wbmp_endless_width.wbmp", false},  {"wbmp_extension_header.wbmp", false},
  };
  size_t kept = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test_support::SourcePath("tests/plugins_image/data"))) {
    (void)entry;
    ++kept;
  }
  EXPECT_EQ(kept, std::size(cases));  // a new kept file gets its line here
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string name = c.file;
    const std::u16string path = u"\\My Documents\\" + std::u16string(name.begin(), name.end());
    test_support::WriteFileBytes(m_device.Host(path),
                                 ReadFileBytes(test_support::SourcePath("tests/plugins_image/data/" + name)));
    SIZE box{64, 64};
    DibPointer image(DecodeImage(path.c_str(), &box, media_type::kNone, 0));
    EXPECT_EQ(image != nullptr, c.decodes);
    if (image) {
      EXPECT_LE(image->header.biWidth, 64);
      EXPECT_LE(image->header.biHeight, 64);
      EXPECT_EQ(box.cx, image->header.biWidth);
    }
    const std::u16string out = u"\\My Documents\\out" + path.substr(path.rfind(u'.'));
    std::filesystem::remove(m_device.Host(out));
    const bool resized = ResizeImageFile(path.c_str(), out.c_str(), 8, 8, 90);
    EXPECT_EQ(Exists(out), resized);
    if (!c.decodes) {
      EXPECT_FALSE(resized);
    }
  }
}

}  // namespace
