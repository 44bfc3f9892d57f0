// Four-component JPEGs as printers' and scanners' software writes them, made here with the JPEG
// library: CMYK marked by an Adobe segment (stored inverted, 255 meaning no ink), CMYK without one
// (stored as ink), and YCCK, which is always Adobe-marked. Each must come out as the colours the ink
// makes, at full and reduced scale. Also: progressive pictures padded with hundreds of repeated
// scans fail instead of burning time, and the encoder reports a stream that stops taking bytes.
#include <gtest/gtest.h>

#include <jpeglib.h>

#include <array>
#include <cstdio>

#include "codec_library.h"

namespace codec_test {
namespace {

enum class FourComponents { kAdobeCmyk, kPlainCmyk, kYcck };

// A 16 x 16 picture of one CMYK value, stored as given.
std::string WriteCmykJpeg(FourComponents form, const std::array<uint8_t, 4>& stored) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = 16;
  cinfo.image_height = 16;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_colorspace(&cinfo, form == FourComponents::kYcck ? JCS_YCCK : JCS_CMYK);
  cinfo.write_Adobe_marker = form == FourComponents::kPlainCmyk ? FALSE : TRUE;
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row;
  for (int x = 0; x < 16; ++x) row.insert(row.end(), stored.begin(), stored.end());
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return bytes;
}

struct CmykCase {
  const char* name;
  FourComponents form;
  std::array<uint8_t, 4> stored;
  std::array<uint8_t, 3> rgb;  // what the ink looks like
};

TEST(JpegForms, FourComponentPicturesGiveTheColourOfTheirInk) {
  const CmykCase cases[] = {
      // Adobe: 255 is no ink, so the stored values are the light that comes through.
      {"Adobe, no black", FourComponents::kAdobeCmyk, {200, 100, 50, 255}, {200, 100, 50}},
      {"Adobe, half black", FourComponents::kAdobeCmyk, {255, 255, 0, 128}, {128, 128, 0}},
      {"Adobe, no ink", FourComponents::kAdobeCmyk, {255, 255, 255, 255}, {255, 255, 255}},
      // Plain: the stored values are ink.
      {"plain, no black", FourComponents::kPlainCmyk, {55, 155, 205, 0}, {200, 100, 50}},
      {"plain, full black", FourComponents::kPlainCmyk, {0, 0, 0, 255}, {0, 0, 0}},
      {"plain, no ink", FourComponents::kPlainCmyk, {0, 0, 0, 0}, {255, 255, 255}},
      // YCCK carries CMYK the Adobe way.
      {"YCCK, no black", FourComponents::kYcck, {200, 100, 50, 255}, {200, 100, 50}},
      {"YCCK, half black", FourComponents::kYcck, {255, 255, 255, 128}, {128, 128, 128}},
  };
  for (const CmykCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = WriteCmykJpeg(c.form, c.stored);
    for (int request : {0, 4}) {
      SCOPED_TRACE(request);
      Decoded picture = DecodeWhole("JPEG", bytes, request, request);
      ASSERT_TRUE(picture.ok);
      ASSERT_EQ(picture.bitCount, 24);
      EXPECT_EQ(picture.width, request == 0 ? 16 : 4);
      EXPECT_EQ(picture.height, request == 0 ? 16 : 4);
      std::vector<uint8_t> rgb = ToRgb(picture);
      ASSERT_EQ(rgb.size(), static_cast<size_t>(picture.width * picture.height * 3));
      for (size_t i = 0; i < rgb.size(); ++i) EXPECT_NEAR(rgb[i], c.rgb[i % 3], 3) << i;
    }
  }
}

// A 16 x 16 grey progressive JPEG in the library's own scan order.
std::string WriteProgressiveGrey() {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = 16;
  cinfo.image_height = 16;
  cinfo.input_components = 1;
  cinfo.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(16);
  while (cinfo.next_scanline < cinfo.image_height) {
    for (int x = 0; x < 16; ++x) row[static_cast<size_t>(x)] = static_cast<uint8_t>(x * 16 + cinfo.next_scanline);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return bytes;
}

// The scan (start of scan segment and its data) whose spectral range and successive approximation
// are those given; empty when there is none.
std::string ScanOf(const std::string& jpeg, int start, int end, int high, int low) {
  for (size_t at = jpeg.find("\xFF\xDA"); at != std::string::npos; at = jpeg.find("\xFF\xDA", at + 2)) {
    const size_t components = static_cast<uint8_t>(jpeg[at + 4]);
    const size_t fields = at + 5 + 2 * components;
    if (fields + 3 > jpeg.size()) break;
    if (static_cast<uint8_t>(jpeg[fields]) == start && static_cast<uint8_t>(jpeg[fields + 1]) == end &&
        static_cast<uint8_t>(jpeg[fields + 2]) == (high << 4 | low)) {
      size_t next = jpeg.find("\xFF\xDA", at + 2);
      if (next == std::string::npos) next = jpeg.size() - 2;  // before the end of image
      return jpeg.substr(at, next - at);
    }
  }
  return {};
}

TEST(JpegForms, HundredsOfRepeatedScansFailTheDecode) {
  const std::string jpeg = WriteProgressiveGrey();
  ASSERT_TRUE(DecodeWhole("JPEG", jpeg).ok);
  const std::string body = jpeg.substr(0, jpeg.size() - 2);
  // The DC refinement scan once more refines one coefficient a step too far: one warning a scan, so
  // it is the count of scans that stops it. The AC refinement scan warns for each of its 63
  // coefficients: the count of warnings stops it first.
  const struct {
    const char* name;
    std::string scan;
    int copies;
  } cases[] = {{"DC refinement", ScanOf(jpeg, 0, 0, 1, 0), 600}, {"AC refinement", ScanOf(jpeg, 1, 63, 1, 0), 40}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_FALSE(c.scan.empty());
    std::string hostile = body;
    for (int i = 0; i < c.copies; ++i) hostile += c.scan;
    hostile += "\xFF\xD9";
    EXPECT_FALSE(DecodeWhole("JPEG", hostile).ok);
  }
}

TEST(JpegForms, TheEncoderReportsAStreamThatStopsTakingBytes) {
  // Noise does not compress: the 64 KiB output buffer fills while the rows go in.
  std::vector<uint8_t> dib = MakeDib(256, 256, 24);
  uint32_t seed = 12345;
  for (int y = 0; y < 256; ++y) {
    for (int i = 0; i < 256 * 3; ++i) {
      seed = seed * 1103515245u + 12345u;
      DibRow(dib, y)[i] = static_cast<uint8_t>(seed >> 24);
    }
  }
  auto encode = [&dib](MemoryStream& stream, int& refused) {
    ImageCodecHandle handle = nullptr;
    refused = -1;
    if (Entry<ImageEncodeInitFn>("JPEG_EncodeInit")(stream.get(), dib.data(), &handle) != 0 ||
        Entry<ImageSetQualityFn>("JPEG_EncodeSetQuality")(handle, 100) != 0) {
      return false;
    }
    auto scan = Entry<ImageEncodeScanLinesFn>("JPEG_EncodeScanLines");
    refused = 0;
    for (int y = 0; y < 256; ++y) refused += scan(handle, y, 1, DibRow(dib, y), 0) != 0;
    return Entry<ImageUninitFn>("JPEG_EncodeUninit")(handle) == 0;
  };
  MemoryStream roomy;
  int refused = 0;
  ASSERT_TRUE(encode(roomy, refused));
  EXPECT_EQ(refused, 0);
  ASSERT_GT(roomy.bytes().size(), 65536u);
  // Little room: a full buffer goes out while the rows go in, and fails them. One byte short of
  // the whole file: the last write, at the close, fails it.
  for (size_t room : {size_t{100}, roomy.bytes().size() - 1}) {
    SCOPED_TRACE(room);
    MemoryStream stream;
    stream.LimitWrites(room);
    EXPECT_FALSE(encode(stream, refused));
    if (room == 100) EXPECT_GT(refused, 0);
    EXPECT_LE(stream.bytes().size(), room);
  }
}

}  // namespace
}  // namespace codec_test
