// Four-component JPEGs as printers' and scanners' software writes them, made here with the JPEG
// library: CMYK marked by an Adobe segment (stored inverted, 255 meaning no ink), CMYK without one
// (stored as ink), and YCCK, which is always Adobe-marked. Each must come out as the colours the ink
// makes, at full and reduced scale.
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

}  // namespace
}  // namespace codec_test
