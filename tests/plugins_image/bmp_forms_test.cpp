// BMP files as other writers make them, built byte by byte here: OS/2 headers with three-byte
// palettes, bit-field masks of 16 and 32 bits (with and without alpha), V4 and V5 headers, top-down
// rows, palettes shorter than the depth allows, indices beyond them, and run-length data using every
// escape. The rows must be the colours the file holds; headers that lie are refused.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "codec_library.h"

namespace codec_test {
namespace {

using Bgr = std::array<uint8_t, 3>;

void PutLe16(std::string& out, uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void PutLe32(std::string& out, uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out, value >> 16);
}

struct BmpParts {
  uint32_t headerSize = 40;
  int32_t width = 0;
  int32_t height = 0;  // negative: top-down rows
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> masks;   // red, green, blue (and alpha): in the header from 52 bytes, else after it
  std::vector<Bgr> palette;      // three bytes an entry in an OS/2 file, four otherwise
  std::string pixels;            // as stored
  int32_t pixelOffsetShift = 0;  // moves the pixel offset off where the data is
};

std::string BuildBmp(const BmpParts& parts) {
  std::string info;
  PutLe32(info, parts.headerSize);
  if (parts.headerSize == 12) {
    PutLe16(info, static_cast<uint32_t>(parts.width));
    PutLe16(info, static_cast<uint32_t>(parts.height));
    PutLe16(info, 1);
    PutLe16(info, parts.bitCount);
  } else {
    PutLe32(info, static_cast<uint32_t>(parts.width));
    PutLe32(info, static_cast<uint32_t>(parts.height));
    PutLe16(info, 1);
    PutLe16(info, parts.bitCount);
    PutLe32(info, parts.compression);
    PutLe32(info, static_cast<uint32_t>(parts.pixels.size()));
    PutLe32(info, 2835);
    PutLe32(info, 2835);
    PutLe32(info, parts.colorsUsed);
    PutLe32(info, 0);
    if (parts.headerSize >= 52) {
      for (size_t i = 0; i < 4 && info.size() + 4 <= parts.headerSize; ++i) {
        PutLe32(info, i < parts.masks.size() ? parts.masks[i] : 0);
      }
    }
    info.resize(parts.headerSize, '\0');
    if (parts.headerSize == 40) {
      for (uint32_t mask : parts.masks) PutLe32(info, mask);
    }
  }
  for (const Bgr& entry : parts.palette) {
    info.append(reinterpret_cast<const char*>(entry.data()), 3);
    if (parts.headerSize != 12) info += '\0';
  }
  std::string file = "BM";
  const uint32_t offset = 14 + static_cast<uint32_t>(info.size());
  PutLe32(file, offset + static_cast<uint32_t>(parts.pixels.size()));
  PutLe32(file, 0);
  PutLe32(file, static_cast<uint32_t>(static_cast<int32_t>(offset) + parts.pixelOffsetShift));
  return file + info + parts.pixels;
}

// The decoded rows, top first, as blue-green-red triples; empty when the decode fails.
std::vector<Bgr> Pixels(const std::string& bytes) {
  Decoded picture = DecodeWhole("BMP", bytes);
  std::vector<Bgr> pixels;
  if (!picture.ok || picture.bitCount != 24) return pixels;
  for (size_t i = 0; i + 3 <= picture.rows.size(); i += 3) {
    pixels.push_back({picture.rows[i], picture.rows[i + 1], picture.rows[i + 2]});
  }
  return pixels;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int value : values) out += static_cast<char>(value);
  return out;
}

const Bgr kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{0, 0, 255}, kGreen{0, 255, 0}, kBlue{255, 0, 0};

TEST(BmpForms, Os2HeaderWithThreeBytePalette) {
  BmpParts parts;
  parts.headerSize = 12;
  parts.width = 3;
  parts.height = 2;
  parts.bitCount = 8;
  parts.palette.assign(256, kBlack);
  parts.palette[1] = kRed;
  parts.palette[2] = kGreen;
  parts.palette[255] = {10, 20, 30};
  // Bottom row first: 2 2 1 / 1 255 2, each padded to four bytes.
  parts.pixels = Bytes({2, 2, 1, 0, 1, 255, 2, 0});
  EXPECT_EQ(Pixels(BuildBmp(parts)), (std::vector<Bgr>{kRed, Bgr{10, 20, 30}, kGreen, kGreen, kGreen, kRed}));

  // A 24-bit OS/2 picture has no palette.
  BmpParts direct;
  direct.headerSize = 12;
  direct.width = 1;
  direct.height = 1;
  direct.pixels = Bytes({1, 2, 3, 0});
  EXPECT_EQ(Pixels(BuildBmp(direct)), (std::vector<Bgr>{{1, 2, 3}}));
}

TEST(BmpForms, SixteenBitMasksScaleEachChannelToFullRange) {
  // Pixels, left to right: full red, full green, full blue, white, black, mid grey.
  struct Case {
    const char* name;
    uint32_t compression;
    std::vector<uint32_t> masks;
    std::vector<uint16_t> values;
  };
  const Case cases[] = {
      {"565 after a 40-byte header", 3, {0xF800, 0x07E0, 0x001F}, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410}},
      {"555 after a 40-byte header", 3, {0x7C00, 0x03E0, 0x001F}, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000, 0x4210}},
      {"555 by default", 0, {}, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x8000, 0x4210}},
      {"444 with alpha", 6, {0x0F00, 0x00F0, 0x000F, 0xF000}, {0x0F00, 0x00F0, 0x000F, 0x0FFF, 0xF000, 0x0888}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BmpParts parts;
    parts.width = 6;
    parts.height = 1;
    parts.bitCount = 16;
    parts.compression = c.compression;
    parts.masks = c.masks;
    for (uint16_t value : c.values) PutLe16(parts.pixels, value);
    std::vector<Bgr> pixels = Pixels(BuildBmp(parts));
    ASSERT_EQ(pixels.size(), 6u);
    EXPECT_EQ(pixels[0], kRed);
    EXPECT_EQ(pixels[1], kGreen);
    EXPECT_EQ(pixels[2], kBlue);
    EXPECT_EQ(pixels[3], kWhite);
    EXPECT_EQ(pixels[4], kBlack);  // bits outside every colour mask count for nothing
    for (uint8_t channel : pixels[5]) EXPECT_NEAR(channel, 132, 4);
  }
}

TEST(BmpForms, ThirtyTwoBitMasksInEveryHeaderSize) {
  // The channels in an unusual order (red lowest), so that default masks would give other colours.
  const std::vector<uint32_t> masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
  for (uint32_t headerSize : {40u, 52u, 56u, 108u, 124u}) {
    for (uint32_t compression : {3u, 6u}) {
      SCOPED_TRACE(std::to_string(headerSize) + " bytes, compression " + std::to_string(compression));
      BmpParts parts;
      parts.headerSize = headerSize;
      parts.width = 2;
      parts.height = -2;  // top-down
      parts.bitCount = 32;
      parts.compression = compression;
      parts.masks = masks;
      if (headerSize == 40 && compression == 3) parts.masks.resize(3);
      for (uint32_t value : {0xFF0000FFu, 0x80FF0000u, 0x0000FF00u, 0x00102030u}) PutLe32(parts.pixels, value);
      EXPECT_EQ(Pixels(BuildBmp(parts)), (std::vector<Bgr>{kRed, kBlue, kGreen, Bgr{0x10, 0x20, 0x30}}));
    }
  }

  // Without bit fields a 32-bit picture is blue, green, red and a spare byte.
  BmpParts plain;
  plain.width = 1;
  plain.height = 2;
  plain.bitCount = 32;
  plain.pixels = Bytes({1, 2, 3, 0xFF, 4, 5, 6, 0});
  EXPECT_EQ(Pixels(BuildBmp(plain)), (std::vector<Bgr>{{4, 5, 6}, {1, 2, 3}}));
}

TEST(BmpForms, ShortPalettesAndIndicesBeyondThem) {
  // Two colours declared in an 8-bit picture: the pixels follow right after them, and indices past
  // the table are black.
  BmpParts eight;
  eight.width = 4;
  eight.height = 1;
  eight.bitCount = 8;
  eight.colorsUsed = 2;
  eight.palette = {kRed, kGreen};
  eight.pixels = Bytes({0, 1, 2, 255});
  const std::string eightBytes = BuildBmp(eight);
  EXPECT_EQ(Pixels(eightBytes), (std::vector<Bgr>{kRed, kGreen, kBlack, kBlack}));
  // The table handed out is the whole depth's, the missing entries black.
  MemoryStream stream(eightBytes);
  ImageCodecHandle handle = nullptr;
  ASSERT_EQ(Entry<ImageDecodeInitFn>("BMP_DecodeInit")(stream.get(), &handle), 0);
  std::string table(1024, '\x55');
  uint32_t count = 1024;
  ASSERT_EQ(
      Entry<ImageGetColorTabFn>("BMP_DecodeGetColorTab")(handle, reinterpret_cast<uint8_t*>(table.data()), &count), 0);
  EXPECT_EQ(count, 1024u);
  EXPECT_EQ(table.substr(0, 12), std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00\x00\x00\x00\x00", 12));
  EXPECT_EQ(table.find_first_not_of('\0', 8), std::string::npos);
  Entry<ImageUninitFn>("BMP_DecodeUninit")(handle);

  // A count beyond what the depth allows is held to the depth: a 1-bit picture reads two entries.
  BmpParts one;
  one.width = 10;
  one.height = 2;
  one.bitCount = 1;
  one.colorsUsed = 300;
  one.palette = {kBlue, kWhite};
  // Rows padded to four bytes; bottom row 1000000001, top row 0111111110.
  one.pixels = Bytes({0x80, 0x40, 0, 0, 0x7F, 0x80, 0, 0});
  std::vector<Bgr> expected;
  for (int x = 0; x < 10; ++x) expected.push_back(x == 0 || x == 9 ? kBlue : kWhite);
  for (int x = 0; x < 10; ++x) expected.push_back(x == 0 || x == 9 ? kWhite : kBlue);
  EXPECT_EQ(Pixels(BuildBmp(one)), expected);

  // Three of sixteen colours in a 4-bit picture with an odd width.
  BmpParts four;
  four.width = 5;
  four.height = 1;
  four.bitCount = 4;
  four.colorsUsed = 3;
  four.palette = {kRed, kGreen, kBlue};
  four.pixels = Bytes({0x01, 0x2F, 0x10, 0});
  EXPECT_EQ(Pixels(BuildBmp(four)), (std::vector<Bgr>{kRed, kGreen, kBlue, kBlack, kGreen}));
}

TEST(BmpForms, RunLengthEscapesDrawWhereTheySay) {
  // RLE8, 6 x 3, bottom line first:
  //   a run of three 1s, an absolute run of 2 3 4 (padded), end of line;
  //   a move right 2 and up 1 lands on the top line at x 2, then a run of two 5s, end of bitmap.
  BmpParts eight;
  eight.width = 6;
  eight.height = 3;
  eight.bitCount = 8;
  eight.compression = 1;
  eight.colorsUsed = 6;
  eight.palette = {kBlack, kRed, kGreen, kBlue, kWhite, {9, 9, 9}};
  eight.pixels = Bytes({3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 1, 2, 5, 0, 1});
  const Bgr grey{9, 9, 9};
  EXPECT_EQ(Pixels(BuildBmp(eight)), (std::vector<Bgr>{kBlack, kBlack, grey, grey, kBlack, kBlack,  //
                                                       kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kRed, kRed, kRed,
                                                       kGreen, kBlue, kWhite}));

  // RLE4, 5 x 2: a run of five alternating 1 2 nibbles, end of line, then an absolute run of three
  // nibbles 3 4 3 (two bytes, so no padding) and an end of line that ends the picture.
  BmpParts four;
  four.width = 5;
  four.height = 2;
  four.bitCount = 4;
  four.compression = 2;
  four.colorsUsed = 5;
  four.palette = {kBlack, kRed, kGreen, kBlue, kWhite};
  four.pixels = Bytes({5, 0x12, 0, 0, 0, 3, 0x34, 0x30, 0, 0, 0, 1});
  EXPECT_EQ(Pixels(BuildBmp(four)), (std::vector<Bgr>{kBlue, kWhite, kBlue, kBlack, kBlack,  //
                                                      kRed, kGreen, kRed, kGreen, kRed}));

  // Data that stops before the end of the picture keeps what was drawn; the rest stays index 0.
  BmpParts cut = eight;
  cut.pixels = Bytes({6, 4});
  EXPECT_EQ(Pixels(BuildBmp(cut)), (std::vector<Bgr>{kBlack, kBlack, kBlack, kBlack, kBlack, kBlack,  //
                                                     kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kWhite, kWhite,
                                                     kWhite, kWhite, kWhite, kWhite}));
}

TEST(BmpForms, HeadersThatLieAreRefused) {
  BmpParts good;
  good.width = 2;
  good.height = 2;
  good.pixels = std::string(16, '\x40');
  ASSERT_EQ(Pixels(BuildBmp(good)).size(), 4u);

  struct Case {
    const char* name;
    std::function<void(BmpParts&)> change;
  };
  const Case cases[] = {
      {"info header of 20 bytes", [](BmpParts& p) { p.headerSize = 20; }},
      {"info header of 200 bytes", [](BmpParts& p) { p.headerSize = 200; }},
      {"zero width", [](BmpParts& p) { p.width = 0; }},
      {"negative width", [](BmpParts& p) { p.width = -2; }},
      {"height of INT32_MIN", [](BmpParts& p) { p.height = INT32_MIN; }},
      {"2 bits a pixel", [](BmpParts& p) { p.bitCount = 2; }},
      {"run-length 8 at 24 bits", [](BmpParts& p) { p.compression = 1; }},
      {"run-length 4 at 8 bits",
       [](BmpParts& p) {
         p.bitCount = 8;
         p.compression = 2;
       }},
      {"bit fields at 24 bits", [](BmpParts& p) { p.compression = 3; }},
      {"unknown compression", [](BmpParts& p) { p.compression = 4; }},
      {"16-bit OS/2",
       [](BmpParts& p) {
         p.headerSize = 12;
         p.bitCount = 16;
       }},
      {"pixels inside the header", [](BmpParts& p) { p.pixelOffsetShift = -20; }},
      {"bit-field masks cut off",
       [](BmpParts& p) {
         p.bitCount = 16;
         p.compression = 3;
         p.pixels.clear();
         p.masks = {0xF800};
       }},
      {"palette cut off",
       [](BmpParts& p) {
         p.bitCount = 8;
         p.colorsUsed = 200;
         p.palette.assign(3, kRed);
         p.pixels.clear();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BmpParts parts = good;
    c.change(parts);
    const std::string bytes = BuildBmp(parts);
    MemoryStream stream(bytes);
    ImageCodecHandle handle = reinterpret_cast<ImageCodecHandle>(1);
    EXPECT_NE(Entry<ImageDecodeInitFn>("BMP_DecodeInit")(stream.get(), &handle), 0);
    EXPECT_EQ(handle, nullptr);
    MemoryStream again(bytes);
    int32_t width = 0, height = 0;
    EXPECT_NE(Entry<ImageGetInfoFromFileFn>("BMP_GetInfoFromFile")(again.get(), &width, &height, 0), 0);
  }

  // Not a BMP at all, and a file header alone.
  for (const std::string& bytes : {std::string("BA") + BuildBmp(good).substr(2), BuildBmp(good).substr(0, 20)}) {
    MemoryStream stream(bytes);
    ImageCodecHandle handle = nullptr;
    EXPECT_NE(Entry<ImageDecodeInitFn>("BMP_DecodeInit")(stream.get(), &handle), 0);
  }

  // Rows missing from the end of the file: the top row, stored last, is asked for first and fails.
  const std::string cut = BuildBmp(good).substr(0, 14 + 40 + 8);
  MemoryStream stream(cut);
  ImageCodecHandle handle = nullptr;
  ASSERT_EQ(Entry<ImageDecodeInitFn>("BMP_DecodeInit")(stream.get(), &handle), 0);
  auto scan = Entry<ImageDecodeScanLinesFn>("BMP_DecodeScanLines");
  uint8_t row[6] = {};
  int32_t done = 0;
  EXPECT_NE(scan(handle, row, 1, &done, nullptr), 0);
  Entry<ImageUninitFn>("BMP_DecodeUninit")(handle);
}

}  // namespace
}  // namespace codec_test
