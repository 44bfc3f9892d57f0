// WBMP sizes of 128 pixels and more take several bytes each way; headers of other types and cut
// files are refused. The encoder writes those sizes, takes top-down and palette pictures, and
// reports a stream that stops taking bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "codec_library.h"

namespace codec_test {
namespace {

// Pixel (x, y) of the test pictures is white when (x + y) % 3 == 0.
bool WhiteAt(int x, int y) { return (x + y) % 3 == 0; }

std::string PackedRows(int width, int height) {
  std::string rows;
  const int stride = (width + 7) / 8;
  for (int y = 0; y < height; ++y) {
    std::string row(static_cast<size_t>(stride), '\0');
    for (int x = 0; x < width; ++x) {
      if (WhiteAt(x, y))
        row[static_cast<size_t>(x / 8)] = static_cast<char>(row[static_cast<size_t>(x / 8)] | (0x80 >> (x % 8)));
    }
    rows += row;
  }
  return rows;
}

TEST(WbmpForms, SizesOfSeveralBytesDecode) {
  // Type 0, fixed header 0, width 200 (0x81 0x48), height 130 (0x81 0x02).
  const std::string bytes = std::string("\x00\x00\x81\x48\x81\x02", 6) + PackedRows(200, 130);
  MemoryStream stream(bytes);
  int32_t width = 0, height = 0;
  ASSERT_EQ(Entry<ImageGetInfoFromFileFn>("WBMP_GetInfoFromFile")(stream.get(), &width, &height, 0), 0);
  EXPECT_EQ(width, 200);
  EXPECT_EQ(height, 130);
  Decoded picture = DecodeWhole("WBMP", bytes);
  ASSERT_TRUE(picture.ok);
  ASSERT_EQ(picture.width, 200);
  ASSERT_EQ(picture.height, 130);
  int wrong = 0;
  for (int y = 0; y < 130; ++y) {
    for (int x = 0; x < 200; ++x) {
      const size_t at = (static_cast<size_t>(y) * 200 + x) * 3;
      const uint8_t expected = WhiteAt(x, y) ? 255 : 0;
      wrong += picture.rows[at] != expected || picture.rows[at + 1] != expected || picture.rows[at + 2] != expected;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(WbmpForms, OtherTypesAndCutHeadersAreRefused) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"type 1", std::string("\x01\x00\x02\x02\x00\x00", 6)},
      {"type of two bytes", std::string("\x81\x00\x00\x02\x02\x00\x00", 7)},
      {"extension headers follow", std::string("\x00\x80\x02\x02\x00\x00", 6)},
      {"nothing after the type", std::string("\x00", 1)},
      {"nothing after the fixed header", std::string("\x00\x00", 2)},
      {"width not ended", std::string("\x00\x00\x81", 3)},
      {"no height", std::string("\x00\x00\x02", 3)},
      {"zero width", std::string("\x00\x00\x00\x02\x00\x00", 6)},
      {"zero height", std::string("\x00\x00\x02\x00", 4)},
      {"width beyond the limit", std::string("\x00\x00\x84\x80\x00\x02\x00\x00", 8)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryStream stream(c.bytes);
    ImageCodecHandle handle = reinterpret_cast<ImageCodecHandle>(1);
    EXPECT_NE(Entry<ImageDecodeInitFn>("WBMP_DecodeInit")(stream.get(), &handle), 0);
    EXPECT_EQ(handle, nullptr);
    MemoryStream again(c.bytes);
    int32_t width = 0, height = 0;
    EXPECT_NE(Entry<ImageGetInfoFromFileFn>("WBMP_GetInfoFromFile")(again.get(), &width, &height, 0), 0);
  }

  // Rows cut off: the rows present decode, the first missing one fails.
  const std::string cut = std::string("\x00\x00\x0A\x03", 4) + PackedRows(10, 3).substr(0, 5);
  MemoryStream stream(cut);
  ImageCodecHandle handle = nullptr;
  ASSERT_EQ(Entry<ImageDecodeInitFn>("WBMP_DecodeInit")(stream.get(), &handle), 0);
  auto scan = Entry<ImageDecodeScanLinesFn>("WBMP_DecodeScanLines");
  uint8_t row[30];
  int32_t done = 0;
  EXPECT_EQ(scan(handle, row, 1, &done, nullptr), 0);
  EXPECT_EQ(scan(handle, row, 1, &done, nullptr), 0);
  EXPECT_EQ(row[0], 0);    // (0, 1)
  EXPECT_EQ(row[6], 255);  // (2, 1)
  EXPECT_NE(scan(handle, row, 1, &done, nullptr), 0);
  Entry<ImageUninitFn>("WBMP_DecodeUninit")(handle);
}

// A DibImage header (and palette) alone: the WBMP encoder takes its rows from the caller.
std::vector<uint8_t> DibHeader(int width, int height, int bitCount, const std::vector<uint8_t>& palette) {
  ImageBitmapHeader header{};
  header.size = sizeof header;
  header.width = width;
  header.height = height;
  header.planes = 1;
  header.bitCount = static_cast<uint16_t>(bitCount);
  header.clrUsed = static_cast<uint32_t>(palette.size() / 4);
  std::vector<uint8_t> dib(sizeof header);
  std::memcpy(dib.data(), &header, sizeof header);
  dib.insert(dib.end(), palette.begin(), palette.end());
  return dib;
}

std::string Encode(ImageStreamArg stream, const std::vector<uint8_t>& dib, int height,
                   const std::function<std::vector<uint8_t>(int)>& row, bool* closed) {
  ImageCodecHandle handle = nullptr;
  if (Entry<ImageEncodeInitFn>("WBMP_EncodeInit")(stream, dib.data(), &handle) != 0) return "init failed";
  std::string failures;
  auto scan = Entry<ImageEncodeScanLinesFn>("WBMP_EncodeScanLines");
  for (int y = 0; y < height; ++y) {
    if (scan(handle, y, 1, row(y).data(), 0) != 0) failures += "row " + std::to_string(y) + " failed;";
  }
  *closed = Entry<ImageUninitFn>("WBMP_EncodeUninit")(handle) == 0;
  return failures;
}

TEST(WbmpForms, EncoderWritesLongSizesTopDownAndPalettePictures) {
  // 24 bits, 130 x 3, top-down: rows arrive top first either way.
  MemoryStream colour;
  bool closed = false;
  EXPECT_EQ(Encode(
                colour.get(), DibHeader(130, -3, 24, {}), 3,
                [](int y) {
                  std::vector<uint8_t> row(130 * 3);
                  for (int x = 0; x < 130; ++x)
                    std::fill_n(&row[static_cast<size_t>(x) * 3], 3, WhiteAt(x, y) ? 250 : 5);
                  return row;
                },
                &closed),
            "");
  EXPECT_TRUE(closed);
  EXPECT_EQ(colour.bytes(), std::string("\x00\x00\x81\x02\x03", 5) + PackedRows(130, 3));

  // 8 bits with a two-entry table: black, then white.
  MemoryStream palette;
  EXPECT_EQ(Encode(
                palette.get(), DibHeader(9, 2, 8, {0, 0, 0, 0, 255, 255, 255, 0}), 2,
                [](int y) {
                  std::vector<uint8_t> row(9);
                  for (int x = 0; x < 9; ++x) row[static_cast<size_t>(x)] = WhiteAt(x, y) ? 1 : 0;
                  return row;
                },
                &closed),
            "");
  EXPECT_TRUE(closed);
  EXPECT_EQ(palette.bytes(), std::string("\x00\x00\x09\x02", 4) + PackedRows(9, 2));
}

TEST(WbmpForms, EncoderReportsAStreamThatStopsTakingBytes) {
  const std::vector<uint8_t> dib = DibHeader(16, 3, 24, {});
  auto white = [](int) { return std::vector<uint8_t>(16 * 3, 255); };
  // No room for the header.
  MemoryStream none;
  none.LimitWrites(3);
  bool closed = true;
  EXPECT_EQ(Encode(none.get(), dib, 3, white, &closed), "init failed");
  // Room for the header and one row: the second row fails, and so does every row after it.
  MemoryStream oneRow;
  oneRow.LimitWrites(4 + 2);
  EXPECT_EQ(Encode(oneRow.get(), dib, 3, white, &closed), "row 1 failed;row 2 failed;");
  EXPECT_FALSE(closed);
}

}  // namespace
}  // namespace codec_test
