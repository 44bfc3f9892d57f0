// Pictures large enough to be decoded on the codec's second thread: the rows come out as the
// picture holds them, at full and reduced size, a damaged end keeps the rows before it, and a
// decode given up half way ends cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "codec_library.h"

namespace codec_test {
namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;  // above a megapixel

// Bands that change every 8 rows, so that a row delivered out of place shows in the PSNR.
std::vector<uint8_t> Banded(int bitCount) {
  std::vector<uint8_t> dib = MakeDib(kWidth, kHeight, bitCount);
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = DibRow(dib, y);
    const auto band = static_cast<uint8_t>((y / 8) * 37);
    for (int x = 0; x < kWidth; ++x) {
      if (bitCount == 8) {
        row[x] = band;
      } else {
        // The bands are in green, which the encoder keeps at full resolution; blue and red change
        // slowly, since they are stored at half resolution.
        row[x * 3] = static_cast<uint8_t>(x / 5);
        row[x * 3 + 1] = band;
        row[x * 3 + 2] = static_cast<uint8_t>(y / 4);
      }
    }
  }
  return dib;
}

std::vector<uint8_t> TopRows(std::vector<uint8_t>& dib, int rows, int bitCount) {
  std::vector<uint8_t> out;
  const size_t bytes = static_cast<size_t>(kWidth) * bitCount / 8;
  for (int y = 0; y < rows; ++y) out.insert(out.end(), DibRow(dib, y), DibRow(dib, y) + bytes);
  return out;
}

TEST(LargeJpegDecode, RowsArriveInPlaceInColourAndGrey) {
  for (int bitCount : {24, 8}) {
    SCOPED_TRACE(bitCount);
    std::vector<uint8_t> dib = Banded(bitCount);
    std::string file = EncodeWhole("JPEG", dib, 95);
    ASSERT_FALSE(file.empty());
    Decoded back = DecodeWhole("JPEG", file);
    ASSERT_TRUE(back.ok);
    ASSERT_EQ(back.width, kWidth);
    ASSERT_EQ(back.height, kHeight);
    EXPECT_GE(Psnr(back.rows, TopRows(dib, kHeight, bitCount)), 30.0);

    Decoded half = DecodeWhole("JPEG", file, kWidth / 2, kHeight / 2);
    ASSERT_TRUE(half.ok);
    EXPECT_EQ(half.width, kWidth / 2);
    EXPECT_EQ(half.height, kHeight / 2);
    // Row 50 of the half-size picture covers rows 100 and 101 of the full one, in band 12.
    const size_t bytes = static_cast<size_t>(half.width) * bitCount / 8;
    EXPECT_NEAR(half.rows[bytes * 50 + (bitCount == 24 ? 1 : 0)], static_cast<uint8_t>(12 * 37), 6);
  }
}

// The same file decoded by the JPEG library alone, on one thread, with the settings the codec uses.
std::vector<uint8_t> DecodeAlone(const std::string& file, unsigned denominator) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(file.data()), file.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGR;
  cinfo.scale_num = 1;
  cinfo.scale_denom = denominator;
  cinfo.do_fancy_upsampling = denominator == 1;
  jpeg_start_decompress(&cinfo);
  const size_t rowBytes = static_cast<size_t>(cinfo.output_width) * 3;
  std::vector<uint8_t> rows(rowBytes * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = &rows[rowBytes * cinfo.output_scanline];
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return rows;
}

// Decoding ahead on the second thread must not change a single pixel: a block handed over torn or
// twice would show here long before it shows in the PSNR.
TEST(LargeJpegDecode, ThreadedRowsAreExactlyTheLibrarysOwn) {
  std::vector<uint8_t> dib = Banded(24);
  std::string file = EncodeWhole("JPEG", dib, 90);
  ASSERT_FALSE(file.empty());
  for (unsigned denominator : {1u, 2u, 4u}) {
    SCOPED_TRACE(denominator);
    const int width = static_cast<int>((kWidth + denominator - 1) / denominator);
    const int height = static_cast<int>((kHeight + denominator - 1) / denominator);
    Decoded threaded = denominator == 1 ? DecodeWhole("JPEG", file) : DecodeWhole("JPEG", file, width, height);
    ASSERT_TRUE(threaded.ok);
    ASSERT_EQ(threaded.width, width);
    std::vector<uint8_t> alone = DecodeAlone(file, denominator);
    ASSERT_EQ(threaded.rows.size(), alone.size());
    EXPECT_TRUE(threaded.rows == alone);
  }
}

TEST(LargeJpegDecode, ATruncatedPictureKeepsItsTopRows) {
  std::vector<uint8_t> dib = Banded(24);
  std::string file = EncodeWhole("JPEG", dib, 95);
  Decoded back = DecodeWhole("JPEG", file.substr(0, file.size() / 3));
  ASSERT_EQ(back.height, kHeight);
  ASSERT_GE(back.rows.size(), static_cast<size_t>(kWidth) * 3 * 128);
  std::vector<uint8_t> top(back.rows.begin(), back.rows.begin() + kWidth * 3 * 128);
  EXPECT_GE(Psnr(top, TopRows(dib, 128, 24)), 30.0);
}

TEST(LargeJpegDecode, StopsCleanlyHalfWayAndRefusesRowsPastTheEnd) {
  std::vector<uint8_t> dib = Banded(24);
  std::string file = EncodeWhole("JPEG", dib, 80);
  auto init = Entry<ImageDecodeInitFn>("JPEG_DecodeInit");
  auto scan = Entry<ImageDecodeScanLinesFn>("JPEG_DecodeScanLines");
  auto setDimension = Entry<ImageSetDimensionFn>("JPEG_DecodeSetDimension");
  auto uninit = Entry<ImageUninitFn>("JPEG_DecodeUninit");
  std::vector<uint8_t> row(static_cast<size_t>(kWidth) * 3);
  int32_t done = 0, reserved = 0;
  {
    MemoryStream stream(file);
    ImageCodecHandle handle = nullptr;
    ASSERT_EQ(init(stream.get(), &handle), 0);
    for (int y = 0; y < 20; ++y) ASSERT_EQ(scan(handle, row.data(), 1, &done, &reserved), 0);
    int32_t width = kWidth / 2, height = kHeight / 2;
    EXPECT_NE(setDimension(handle, &width, &height), 0);  // the size is fixed once rows have come
    EXPECT_EQ(uninit(handle), 0);
  }
  MemoryStream stream(file);
  ImageCodecHandle handle = nullptr;
  ASSERT_EQ(init(stream.get(), &handle), 0);
  for (int y = 0; y < kHeight; ++y) ASSERT_EQ(scan(handle, row.data(), 1, &done, &reserved), 0) << y;
  EXPECT_NE(scan(handle, row.data(), 1, &done, &reserved), 0);
  EXPECT_EQ(uninit(handle), 0);
}

}  // namespace
}  // namespace codec_test
