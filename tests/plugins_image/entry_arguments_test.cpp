// The decoders' entry points, resolved by name as the module resolves them, refuse what a careless
// caller hands them: null handles, streams and out-parameters, more than one row at a time, rows past
// the last, frames that do not exist. Each refusal is a failure code, never a crash, and leaves the
// handle as it was: the picture still decodes whole afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "codec_library.h"

namespace codec_test {
namespace {

template <typename T>
T Resolve(const std::string& name) {
  T entry = Entry<T>(name);
  EXPECT_NE(entry, nullptr) << name;
  return entry;
}

struct BadCall {
  const char* what;
  std::function<int32_t(ImageCodecHandle)> call;  // given an open handle, which it may ignore
};

// A 5 x 3 picture whose pixel (x, y) is blue x * 50, green y * 100, red 30.
std::vector<uint8_t> ColourDib() {
  std::vector<uint8_t> dib = MakeDib(5, 3, 24);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      uint8_t* pixel = DibRow(dib, y) + x * 3;
      pixel[0] = static_cast<uint8_t>(x * 50);
      pixel[1] = static_cast<uint8_t>(y * 100);
      pixel[2] = 30;
    }
  }
  return dib;
}

// A 10 x 2 WBMP: row 0 is white from x = 3 on, row 1 white at x = 0 and x = 9 only.
const std::string kWbmp("\x00\x00\x0A\x02\x1F\xC0\x80\x40", 8);

// A GIF89a with a 4 x 2 screen, a four-colour global table and one frame: indices 0 1 2 3 / 3 2 1 0.
const std::string kGif(
    "GIF89a\x04\x00\x02\x00\x81\x00\x00"
    "\x00\x00\x00\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF"
    ",\x00\x00\x00\x00\x04\x00\x02\x00\x00"
    "\x02\x05\x44\x34\x23\x01\x05\x00;",
    44);

// Runs every bad call against an open handle; after each the header query must still answer.
void ExpectRefusedAndHarmless(const std::string& family, ImageCodecHandle handle, const std::vector<BadCall>& calls,
                              const std::function<bool(ImageCodecHandle)>& stillWorks) {
  for (const BadCall& bad : calls) {
    SCOPED_TRACE(family + ": " + bad.what);
    EXPECT_NE(bad.call(handle), 0);
    EXPECT_TRUE(stillWorks(handle));
  }
}

// What every decoder refuses on its stream-taking entry points: a null stream, a stream without
// operations, an empty stream and null out-parameters.
void ExpectStreamChecks(const std::string& family, const std::string& goodBytes) {
  SCOPED_TRACE(family);
  auto init = Resolve<ImageDecodeInitFn>(family + "_DecodeInit");
  auto info = Resolve<ImageGetInfoFromFileFn>(family + "_GetInfoFromFile");
  ImageCodecStream bare{nullptr};
  MemoryStream empty;
  ImageCodecHandle handle = reinterpret_cast<ImageCodecHandle>(1);
  EXPECT_NE(init(nullptr, &handle), 0);
  EXPECT_EQ(handle, nullptr);
  EXPECT_NE(init(&bare, &handle), 0);
  EXPECT_NE(init(empty.get(), &handle), 0);
  MemoryStream good(goodBytes);
  EXPECT_NE(init(good.get(), nullptr), 0);
  int32_t width = -1, height = -1;
  EXPECT_NE(info(nullptr, &width, &height, 0), 0);
  EXPECT_NE(info(&bare, &width, &height, 0), 0);
  EXPECT_NE(info(empty.get(), &width, &height, 0), 0);
  EXPECT_NE(info(good.get(), nullptr, &height, 0), 0);
  EXPECT_NE(info(good.get(), &width, nullptr, 0), 0);
  EXPECT_NE(Resolve<ImageUninitFn>(family + "_DecodeUninit")(nullptr), 0);
}

// The checks the still-picture families share: null handles and out-parameters, row counts other
// than one, rows past the last. `rowBytes` is what one delivered row takes.
std::vector<BadCall> StillPictureChecks(const std::string& family, size_t rowBytes, bool hasColourTable) {
  auto header = Resolve<ImageGetInfoHeaderFn>(family + "_DecodeGetInfoHeader");
  auto dimension = Resolve<ImageSetDimensionFn>(family + "_DecodeSetDimension");
  auto scan = Resolve<ImageDecodeScanLinesFn>(family + "_DecodeScanLines");
  auto row = std::make_shared<std::vector<uint8_t>>(rowBytes);
  std::vector<BadCall> calls = {
      {"header, null handle",
       [header](ImageCodecHandle) {
         ImageBitmapHeader h{};
         return header(nullptr, &h);
       }},
      {"header, null record", [header](ImageCodecHandle h) { return header(h, nullptr); }},
      {"dimension, null handle",
       [dimension](ImageCodecHandle) {
         int32_t w = 1, ht = 1;
         return dimension(nullptr, &w, &ht);
       }},
      {"dimension, null width",
       [dimension](ImageCodecHandle h) {
         int32_t ht = 1;
         return dimension(h, nullptr, &ht);
       }},
      {"dimension, null height",
       [dimension](ImageCodecHandle h) {
         int32_t w = 1;
         return dimension(h, &w, nullptr);
       }},
      {"rows, null handle",
       [scan, row](ImageCodecHandle) {
         int32_t done = 0;
         return scan(nullptr, row->data(), 1, &done, nullptr);
       }},
      {"rows, null row",
       [scan](ImageCodecHandle h) {
         int32_t done = 0;
         return scan(h, nullptr, 1, &done, nullptr);
       }},
      {"rows, two at once",
       [scan](ImageCodecHandle h) {
         std::vector<uint8_t> two(4096);
         int32_t done = 0;
         return scan(h, two.data(), 2, &done, nullptr);
       }},
      {"rows, none",
       [scan, row](ImageCodecHandle h) {
         int32_t done = 0;
         return scan(h, row->data(), 0, &done, nullptr);
       }},
      {"rows, negative count",
       [scan, row](ImageCodecHandle h) {
         int32_t done = 0;
         return scan(h, row->data(), -1, &done, nullptr);
       }},
  };
  if (hasColourTable) {
    auto table = Resolve<ImageGetColorTabFn>(family + "_DecodeGetColorTab");
    calls.push_back({"colour table, null handle", [table](ImageCodecHandle) {
                       uint8_t buffer[8];
                       uint32_t bytes = sizeof buffer;
                       return table(nullptr, buffer, &bytes);
                     }});
    calls.push_back({"colour table, null buffer", [table](ImageCodecHandle h) {
                       uint32_t bytes = 8;
                       return table(h, nullptr, &bytes);
                     }});
    calls.push_back({"colour table, null count", [table](ImageCodecHandle h) {
                       uint8_t buffer[8];
                       return table(h, buffer, nullptr);
                     }});
  }
  return calls;
}

bool HeaderSays(const std::string& family, ImageCodecHandle handle, int width, int height, int bitCount) {
  ImageBitmapHeader header{};
  return Entry<ImageGetInfoHeaderFn>(family + "_DecodeGetInfoHeader")(handle, &header) == 0 && header.width == width &&
         header.height == height && header.bitCount == bitCount;
}

// Reads every row, checks them with `expected`, then asks once more past the last row.
void ExpectRowsThenEnd(const std::string& family, ImageCodecHandle handle, int height, size_t rowBytes,
                       const std::function<void(int, const std::vector<uint8_t>&)>& expected) {
  auto scan = Entry<ImageDecodeScanLinesFn>(family + "_DecodeScanLines");
  std::vector<uint8_t> row(rowBytes);
  for (int y = 0; y < height; ++y) {
    int32_t done = 0;
    // The count of rows done is optional.
    ASSERT_EQ(scan(handle, row.data(), 1, y == 0 ? nullptr : &done, nullptr), 0) << y;
    if (y > 0) EXPECT_EQ(done, 1);
    expected(y, row);
  }
  int32_t done = 0;
  EXPECT_NE(scan(handle, row.data(), 1, &done, nullptr), 0);
  EXPECT_NE(scan(handle, row.data(), 1, &done, nullptr), 0);
}

TEST(EntryArguments, BmpRefusesBadArgumentsAndStillDecodes) {
  std::vector<uint8_t> dib = ColourDib();
  const std::string bytes = EncodeWhole("BMP", dib);
  ASSERT_FALSE(bytes.empty());
  ExpectStreamChecks("BMP", bytes);
  MemoryStream stream(bytes);
  ImageCodecHandle handle = nullptr;
  ASSERT_EQ(Entry<ImageDecodeInitFn>("BMP_DecodeInit")(stream.get(), &handle), 0);
  std::vector<BadCall> calls = StillPictureChecks("BMP", 15, true);
  auto mask = Resolve<ImageGetMaskFn>("BMP_DecodeGetMask");
  calls.push_back({"mask, null handle", [mask](ImageCodecHandle) {
                     uint32_t masks[3];
                     return mask(nullptr, masks);
                   }});
  calls.push_back({"mask, null out", [mask](ImageCodecHandle h) { return mask(h, nullptr); }});
  ExpectRefusedAndHarmless("BMP", handle, calls, [](ImageCodecHandle h) { return HeaderSays("BMP", h, 5, 3, 24); });
  ExpectRowsThenEnd("BMP", handle, 3, 15, [](int y, const std::vector<uint8_t>& row) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(row[x * 3], x * 50);
      EXPECT_EQ(row[x * 3 + 1], y * 100);
      EXPECT_EQ(row[x * 3 + 2], 30);
    }
  });
  EXPECT_EQ(Entry<ImageUninitFn>("BMP_DecodeUninit")(handle), 0);
}

TEST(EntryArguments, PngRefusesBadArgumentsAndStillDecodes) {
  std::vector<uint8_t> dib = ColourDib();
  const std::string bytes = EncodeWhole("PNG", dib);
  ASSERT_FALSE(bytes.empty());
  ExpectStreamChecks("PNG", bytes);
  MemoryStream stream(bytes);
  ImageCodecHandle handle = nullptr;
  ASSERT_EQ(Entry<ImageDecodeInitFn>("PNG_DecodeInit")(stream.get(), &handle), 0);
  std::vector<BadCall> calls = StillPictureChecks("PNG", 15, true);
  auto info = Resolve<ImageGetPngInfoFn>("PNG_DecodeGetPngInfo");
  calls.push_back({"png info, null handle", [info](ImageCodecHandle) {
                     ImagePngInfo i{};
                     return info(nullptr, &i);
                   }});
  calls.push_back({"png info, null record", [info](ImageCodecHandle h) { return info(h, nullptr); }});
  ExpectRefusedAndHarmless("PNG", handle, calls, [](ImageCodecHandle h) { return HeaderSays("PNG", h, 5, 3, 24); });
  ExpectRowsThenEnd("PNG", handle, 3, 15, [](int y, const std::vector<uint8_t>& row) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(row[x * 3], x * 50);
      EXPECT_EQ(row[x * 3 + 1], y * 100);
      EXPECT_EQ(row[x * 3 + 2], 30);
    }
  });
  EXPECT_EQ(Entry<ImageUninitFn>("PNG_DecodeUninit")(handle), 0);
}

TEST(EntryArguments, JpegRefusesBadArgumentsAndStillDecodes) {
  // Flat 8 x 8 blocks of grey keep their value through the encoder.
  std::vector<uint8_t> dib = MakeDib(16, 8, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) DibRow(dib, y)[x] = x < 8 ? 40 : 200;
  }
  const std::string bytes = EncodeWhole("JPEG", dib, 95);
  ASSERT_FALSE(bytes.empty());
  ExpectStreamChecks("JPEG", bytes);
  MemoryStream stream(bytes);
  ImageCodecHandle handle = nullptr;
  ASSERT_EQ(Entry<ImageDecodeInitFn>("JPEG_DecodeInit")(stream.get(), &handle), 0);
  std::vector<BadCall> calls = StillPictureChecks("JPEG", 16, false);
  auto dimension = Entry<ImageSetDimensionFn>("JPEG_DecodeSetDimension");
  calls.push_back({"dimension, zero width", [dimension](ImageCodecHandle h) {
                     int32_t w = 0, ht = 4;
                     return dimension(h, &w, &ht);
                   }});
  calls.push_back({"dimension, negative height", [dimension](ImageCodecHandle h) {
                     int32_t w = 4, ht = -4;
                     return dimension(h, &w, &ht);
                   }});
  ExpectRefusedAndHarmless("JPEG", handle, calls, [](ImageCodecHandle h) { return HeaderSays("JPEG", h, 16, 8, 8); });
  ExpectRowsThenEnd("JPEG", handle, 8, 16, [](int, const std::vector<uint8_t>& row) {
    for (int x = 0; x < 16; ++x) EXPECT_NEAR(row[x], x < 8 ? 40 : 200, 2) << x;
  });
  // Once rows have been read the scale is fixed.
  int32_t width = 8, height = 4;
  EXPECT_NE(dimension(handle, &width, &height), 0);
  EXPECT_TRUE(HeaderSays("JPEG", handle, 16, 8, 8));
  EXPECT_EQ(Entry<ImageUninitFn>("JPEG_DecodeUninit")(handle), 0);
}

TEST(EntryArguments, WbmpRefusesBadArgumentsAndStillDecodes) {
  ExpectStreamChecks("WBMP", kWbmp);
  MemoryStream stream(kWbmp);
  ImageCodecHandle handle = nullptr;
  ASSERT_EQ(Entry<ImageDecodeInitFn>("WBMP_DecodeInit")(stream.get(), &handle), 0);
  ExpectRefusedAndHarmless("WBMP", handle, StillPictureChecks("WBMP", 30, true),
                           [](ImageCodecHandle h) { return HeaderSays("WBMP", h, 10, 2, 24); });
  ExpectRowsThenEnd("WBMP", handle, 2, 30, [](int y, const std::vector<uint8_t>& row) {
    for (int x = 0; x < 10; ++x) {
      const bool white = y == 0 ? x >= 3 : x == 0 || x == 9;
      EXPECT_EQ(row[x * 3], white ? 255 : 0) << x << "," << y;
      EXPECT_EQ(row[x * 3 + 2], white ? 255 : 0) << x << "," << y;
    }
  });
  EXPECT_EQ(Entry<ImageUninitFn>("WBMP_DecodeUninit")(handle), 0);
}

TEST(EntryArguments, GifRefusesBadArgumentsAndStillDecodes) {
  auto init = Resolve<ImageDecodeInitFn>("GIF_DecodeInit");
  auto global = Resolve<ImageGifGetGlobInfoFn>("GIF_DecodeGetGlobInfo");
  auto select = Resolve<ImageGifSetFrameIndexFn>("GIF_DecodeSetFrameIndex");
  auto frameInfo = Resolve<ImageGifGetFrameInfoFn>("GIF_DecodeGetFrameInfo");
  auto table = Resolve<ImageGetColorTabFn>("GIF_DecodeGetColorTab");
  auto scan = Resolve<ImageDecodeScanLinesFn>("GIF_DecodeScanLines");
  auto duration = Resolve<ImageGifGetDurationFn>("GIF_GetDuration");
  auto loop = Resolve<ImageGifGetGifInfoFn>("GIF_GetGifInfo");

  ImageCodecStream bare{nullptr};
  MemoryStream empty;
  MemoryStream good(kGif);
  ImageCodecHandle handle = reinterpret_cast<ImageCodecHandle>(1);
  EXPECT_NE(init(nullptr, &handle), 0);
  EXPECT_EQ(handle, nullptr);
  EXPECT_NE(init(&bare, &handle), 0);
  EXPECT_NE(init(empty.get(), &handle), 0);
  EXPECT_NE(init(good.get(), nullptr), 0);
  int32_t hundredths = -1;
  ImageGifLoopInfo loopInfo{};
  EXPECT_NE(duration(good.get(), nullptr), 0);
  EXPECT_NE(duration(&bare, &hundredths), 0);
  EXPECT_NE(duration(empty.get(), &hundredths), 0);
  EXPECT_NE(loop(good.get(), nullptr), 0);
  EXPECT_NE(loop(&bare, &loopInfo), 0);
  EXPECT_NE(loop(empty.get(), &loopInfo), 0);
  EXPECT_EQ(duration(good.get(), &hundredths), 0);
  EXPECT_EQ(hundredths, 0);
  EXPECT_EQ(loop(good.get(), &loopInfo), 0);
  EXPECT_EQ(loopInfo.hasLoop, 0);
  EXPECT_NE(Entry<ImageUninitFn>("GIF_DecodeUninit")(nullptr), 0);

  ASSERT_EQ(init(good.get(), &handle), 0);
  // Before a frame is selected there is no frame to describe nor rows to give; the global table is
  // what the colour table query answers.
  ImageGifFrameInfo frame{};
  uint8_t row[4] = {};
  int32_t done = 0;
  EXPECT_NE(frameInfo(handle, &frame), 0);
  EXPECT_NE(scan(handle, row, 1, &done, nullptr), 0);
  uint8_t palette[16] = {};
  uint32_t bytes = sizeof palette;
  ASSERT_EQ(table(handle, palette, &bytes), 0);
  EXPECT_EQ(bytes, 16u);
  EXPECT_EQ(palette[6], 0xFF);  // entry 1 is red, stored blue-green-red

  const std::vector<BadCall> calls = {
      {"global info, null handle",
       [global](ImageCodecHandle) {
         ImageGifGlobalInfo info{};
         return global(nullptr, &info);
       }},
      {"global info, null record", [global](ImageCodecHandle h) { return global(h, nullptr); }},
      {"select, null handle", [select](ImageCodecHandle) { return select(nullptr, 0); }},
      {"frame info, null handle",
       [frameInfo](ImageCodecHandle) {
         ImageGifFrameInfo info{};
         return frameInfo(nullptr, &info);
       }},
      {"frame info, null record", [frameInfo](ImageCodecHandle h) { return frameInfo(h, nullptr); }},
      {"colour table, null handle",
       [table](ImageCodecHandle) {
         uint8_t buffer[8];
         uint32_t count = sizeof buffer;
         return table(nullptr, buffer, &count);
       }},
      {"colour table, null buffer",
       [table](ImageCodecHandle h) {
         uint32_t count = 8;
         return table(h, nullptr, &count);
       }},
      {"colour table, null count",
       [table](ImageCodecHandle h) {
         uint8_t buffer[8];
         return table(h, buffer, nullptr);
       }},
      {"rows, null handle",
       [scan](ImageCodecHandle) {
         uint8_t buffer[4];
         int32_t count = 0;
         return scan(nullptr, buffer, 1, &count, nullptr);
       }},
      {"rows, null row",
       [scan](ImageCodecHandle h) {
         int32_t count = 0;
         return scan(h, nullptr, 1, &count, nullptr);
       }},
      {"rows, two at once",
       [scan](ImageCodecHandle h) {
         uint8_t buffer[8];
         int32_t count = 0;
         return scan(h, buffer, 2, &count, nullptr);
       }},
  };
  auto stillWorks = [global](ImageCodecHandle h) {
    ImageGifGlobalInfo info{};
    return global(h, &info) == 0 && info.screenWidth == 4 && info.screenHeight == 2 && info.frameCount == 1 &&
           info.hasGlobalColorTable == 1 && info.bitsPerPixel == 2;
  };
  ASSERT_EQ(select(handle, 0), 0);
  ExpectRefusedAndHarmless("GIF", handle, calls, stillWorks);

  // Frames that do not exist are refused, and leave no frame selected until a real one is.
  for (int32_t index : {1, -1, 4096, INT32_MIN}) {
    SCOPED_TRACE(index);
    EXPECT_NE(select(handle, index), 0);
    EXPECT_NE(frameInfo(handle, &frame), 0);
    EXPECT_NE(scan(handle, row, 1, &done, nullptr), 0);
  }
  ASSERT_EQ(select(handle, 0), 0);
  ASSERT_EQ(frameInfo(handle, &frame), 0);
  EXPECT_EQ(frame.width, 4);
  EXPECT_EQ(frame.height, 2);
  EXPECT_EQ(frame.transparentIndex, -1);
  const uint8_t expected[2][4] = {{0, 1, 2, 3}, {3, 2, 1, 0}};
  for (int y = 0; y < 2; ++y) {
    ASSERT_EQ(scan(handle, row, 1, y == 0 ? nullptr : &done, nullptr), 0);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(row[x], expected[y][x]) << x << "," << y;
  }
  EXPECT_NE(scan(handle, row, 1, &done, nullptr), 0);
  // Selecting the frame again starts it over.
  ASSERT_EQ(select(handle, 0), 0);
  ASSERT_EQ(scan(handle, row, 1, &done, nullptr), 0);
  EXPECT_EQ(row[3], 3);
  EXPECT_EQ(Entry<ImageUninitFn>("GIF_DecodeUninit")(handle), 0);
}

TEST(EntryArguments, WbmpEncoderRefusesBadArgumentsAndOutOfOrderRows) {
  auto init = Resolve<ImageEncodeInitFn>("WBMP_EncodeInit");
  auto scan = Resolve<ImageEncodeScanLinesFn>("WBMP_EncodeScanLines");
  auto uninit = Resolve<ImageUninitFn>("WBMP_EncodeUninit");
  std::vector<uint8_t> dib = MakeDib(9, 2, 24);
  ImageCodecStream bare{nullptr};
  MemoryStream refused;
  ImageCodecHandle handle = reinterpret_cast<ImageCodecHandle>(1);
  EXPECT_NE(init(refused.get(), dib.data(), nullptr), 0);
  EXPECT_NE(init(refused.get(), nullptr, &handle), 0);
  EXPECT_EQ(handle, nullptr);
  EXPECT_NE(init(nullptr, dib.data(), &handle), 0);
  EXPECT_NE(init(&bare, dib.data(), &handle), 0);
  std::vector<uint8_t> sixteen = MakeDib(4, 2, 16);
  EXPECT_NE(init(refused.get(), sixteen.data(), &handle), 0);
  EXPECT_NE(uninit(nullptr), 0);
  EXPECT_TRUE(refused.bytes().empty());

  const uint8_t white[27] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                             255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
  const uint8_t black[27] = {};
  MemoryStream stream;
  ASSERT_EQ(init(stream.get(), dib.data(), &handle), 0);
  EXPECT_NE(scan(nullptr, 0, 1, white, 0), 0);
  EXPECT_NE(scan(handle, 0, 1, nullptr, 0), 0);
  EXPECT_NE(scan(handle, 0, 2, white, 0), 0);
  // The refusals above wrote nothing: the first row still goes in.
  ASSERT_EQ(scan(handle, 0, 1, white, 0), 0);
  ASSERT_EQ(scan(handle, 1, 1, black, 0), 0);
  // A third row of a two-row picture is refused, and spoils the file.
  EXPECT_NE(scan(handle, 2, 1, black, 0), 0);
  EXPECT_NE(scan(handle, 2, 1, black, 0), 0);
  EXPECT_NE(uninit(handle), 0);
  // Type 0, fixed header 0, width 9, height 2, then the rows padded to whole bytes.
  EXPECT_EQ(stream.bytes(), std::string("\x00\x00\x09\x02\xFF\x80\x00\x00", 8));

  // A row out of order fails the picture: the rows after it and the close are refused.
  MemoryStream skipped;
  ASSERT_EQ(init(skipped.get(), dib.data(), &handle), 0);
  EXPECT_NE(scan(handle, 1, 1, white, 0), 0);
  EXPECT_NE(scan(handle, 0, 1, white, 0), 0);
  EXPECT_NE(uninit(handle), 0);

  // Closing before the last row reports the picture incomplete.
  MemoryStream cut;
  ASSERT_EQ(init(cut.get(), dib.data(), &handle), 0);
  ASSERT_EQ(scan(handle, 0, 1, white, 0), 0);
  EXPECT_NE(uninit(handle), 0);
}

}  // namespace
}  // namespace codec_test
