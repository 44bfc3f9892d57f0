// GIFs with what animations carry besides their frames, written with giflib: graphic control blocks
// (delay, disposal, transparency, and one cut short), the NETSCAPE2.0 loop among other application
// blocks, comments, local colour tables, frames partly and wholly off the screen, a screen without
// any colour table, and a file cut inside a frame. What each frame reports and draws must be what was
// written.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include <functional>

#include "codec_library.h"

namespace codec_test {
namespace {

int AppendToString(GifFileType* gif, const GifByteType* bytes, int count) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(count));
  return count;
}

// Writes a GIF89a with giflib; `body` puts the extensions and frames.
std::string WriteGif(int width, int height, ColorMapObject* global, const std::function<void(GifFileType*)>& body) {
  std::string bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, AppendToString, &error);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, width, height, 8, 2, global);
  body(gif);
  EGifCloseFile(gif, &error);
  return bytes;
}

// A colour map of `count` entries, entry i = (i * 10, 255 - i, i).
ColorMapObject* Map(int count) {
  ColorMapObject* map = GifMakeMapObject(count, nullptr);
  for (int i = 0; i < count; ++i) {
    map->Colors[i] =
        GifColorType{static_cast<GifByteType>(i * 10), static_cast<GifByteType>(255 - i), static_cast<GifByteType>(i)};
  }
  return map;
}

void PutControl(GifFileType* gif, int disposal, int delay, int transparent) {
  const GifByteType block[4] = {static_cast<GifByteType>(disposal << 2 | (transparent >= 0 ? 1 : 0)),
                                static_cast<GifByteType>(delay & 0xFF), static_cast<GifByteType>(delay >> 8),
                                static_cast<GifByteType>(transparent >= 0 ? transparent : 7)};
  EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
}

void PutApplication(GifFileType* gif, const char* name, std::initializer_list<std::string> blocks) {
  EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
  EGifPutExtensionBlock(gif, 11, name);
  for (const std::string& block : blocks) EGifPutExtensionBlock(gif, static_cast<int>(block.size()), block.data());
  EGifPutExtensionTrailer(gif);
}

// A frame whose pixel (x, y) is (x * 2 + y) % modulo.
void PutFrame(GifFileType* gif, int left, int top, int width, int height, ColorMapObject* local, int modulo) {
  EGifPutImageDesc(gif, left, top, width, height, false, local);
  std::vector<GifPixelType> row(static_cast<size_t>(width));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) row[static_cast<size_t>(x)] = static_cast<GifPixelType>((x * 2 + y) % modulo);
    EGifPutLine(gif, row.data(), width);
  }
}

struct Opened {
  explicit Opened(const std::string& bytes) : stream(bytes) {
    result = Entry<ImageDecodeInitFn>("GIF_DecodeInit")(stream.get(), &handle);
  }
  ~Opened() {
    if (handle != nullptr) Entry<ImageUninitFn>("GIF_DecodeUninit")(handle);
  }
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;
  MemoryStream stream;
  ImageCodecHandle handle = nullptr;
  int32_t result = -1;
};

ImageGifFrameInfo Select(ImageCodecHandle handle, int index) {
  ImageGifFrameInfo info{};
  EXPECT_EQ(Entry<ImageGifSetFrameIndexFn>("GIF_DecodeSetFrameIndex")(handle, index), 0) << index;
  EXPECT_EQ(Entry<ImageGifGetFrameInfoFn>("GIF_DecodeGetFrameInfo")(handle, &info), 0) << index;
  return info;
}

std::vector<uint8_t> Rows(ImageCodecHandle handle, const ImageGifFrameInfo& info) {
  std::vector<uint8_t> pixels(static_cast<size_t>(info.width) * info.height);
  auto scan = Entry<ImageDecodeScanLinesFn>("GIF_DecodeScanLines");
  for (int y = 0; y < info.height; ++y) {
    int32_t done = 0;
    EXPECT_EQ(scan(handle, &pixels[static_cast<size_t>(y) * info.width], 1, &done, nullptr), 0) << y;
  }
  uint8_t extra[16];
  int32_t done = 0;
  EXPECT_NE(scan(handle, extra, 1, &done, nullptr), 0);
  return pixels;
}

std::string Table(ImageCodecHandle handle) {
  std::string table(1024, '\x55');
  uint32_t bytes = 1024;
  EXPECT_EQ(
      Entry<ImageGetColorTabFn>("GIF_DecodeGetColorTab")(handle, reinterpret_cast<uint8_t*>(table.data()), &bytes), 0);
  return table.substr(0, bytes);
}

// The blue-green-red-zero quads of Map(count).
std::string Quads(int count) {
  std::string quads;
  for (int i = 0; i < count; ++i) {
    quads += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i * 10), '\0'};
  }
  return quads;
}

// Four frames on an 8 x 4 screen:
//   0: the whole screen, disposal 1, 25 hundredths, index 3 transparent;
//   1: at (1, 10), below the screen, after a control block cut to two bytes;
//   2: at (9, 0), right of the screen;
//   3: at (6, 2), 4 x 4 with an 8-entry local table, half off to the right and bottom, disposal 2,
//      a second, no transparency (put last: giflib leaks the local table of a frame followed by one
//      without).
// Around them: a comment, an XMP application block, NETSCAPE2.0 with a buffering sub-block and a
// loop of 5, and an unknown extension.
std::string Animation() {
  ColorMapObject* global = Map(4);
  ColorMapObject* local = Map(8);
  std::string bytes = WriteGif(8, 4, global, [local](GifFileType* gif) {
    EGifPutComment(gif, "made for the test");
    PutApplication(gif, "XMP DataXMP", {"<x/>"});
    PutApplication(gif, "NETSCAPE2.0", {std::string("\x02\x00\x10\x00\x00", 5), std::string("\x01\x05\x00", 3)});
    PutControl(gif, 1, 25, 3);
    PutFrame(gif, 0, 0, 8, 4, nullptr, 4);
    const GifByteType shortControl[2] = {0x09, 0x50};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 2, shortControl);
    PutFrame(gif, 1, 10, 2, 2, nullptr, 4);
    PutFrame(gif, 9, 0, 2, 2, nullptr, 4);
    const GifByteType unknown[3] = {1, 2, 3};
    EGifPutExtension(gif, 0x7F, 3, unknown);
    PutControl(gif, 2, 100, -1);
    PutFrame(gif, 6, 2, 4, 4, local, 8);
  });
  GifFreeMapObject(global);
  GifFreeMapObject(local);
  return bytes;
}

TEST(GifForms, ControlBlocksLoopAndExtensionsAreReadAroundTheFrames) {
  const std::string bytes = Animation();
  Opened gif(bytes);
  ASSERT_EQ(gif.result, 0);
  ImageGifGlobalInfo global{};
  ASSERT_EQ(Entry<ImageGifGetGlobInfoFn>("GIF_DecodeGetGlobInfo")(gif.handle, &global), 0);
  EXPECT_EQ(global.screenWidth, 8);
  EXPECT_EQ(global.screenHeight, 4);
  EXPECT_EQ(global.hasGlobalColorTable, 1);
  EXPECT_EQ(global.bitsPerPixel, 2);
  EXPECT_EQ(global.backgroundIndex, 2);
  EXPECT_EQ(global.frameCount, 4);

  ImageGifFrameInfo first = Select(gif.handle, 0);
  EXPECT_EQ(first.width, 8);
  EXPECT_EQ(first.height, 4);
  EXPECT_EQ(first.hasLocalColorTable, 0);
  EXPECT_EQ(first.delay, 25);
  EXPECT_EQ(first.disposal, 1);
  EXPECT_EQ(first.transparentIndex, 3);
  EXPECT_EQ(Table(gif.handle), Quads(4));
  std::vector<uint8_t> pixels = Rows(gif.handle, first);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(pixels[static_cast<size_t>(y * 8 + x)], (x * 2 + y) % 4) << x << "," << y;
  }

  // Only the top-left 2 x 2 of the last frame is on the screen.
  ImageGifFrameInfo last = Select(gif.handle, 3);
  EXPECT_EQ(last.left, 6);
  EXPECT_EQ(last.top, 2);
  EXPECT_EQ(last.width, 2);
  EXPECT_EQ(last.height, 2);
  EXPECT_EQ(last.hasLocalColorTable, 1);
  EXPECT_EQ(last.bitsPerPixel, 3);
  EXPECT_EQ(last.delay, 100);
  EXPECT_EQ(last.disposal, 2);
  EXPECT_EQ(last.transparentIndex, -1);
  EXPECT_EQ(Table(gif.handle), Quads(8));
  EXPECT_EQ(Rows(gif.handle, last), (std::vector<uint8_t>{0, 2, 1, 3}));

  // A control block too short to hold its fields leaves the frame's defaults; frames off the screen
  // have nothing to draw.
  for (int index : {1, 2}) {
    SCOPED_TRACE(index);
    ImageGifFrameInfo outside = Select(gif.handle, index);
    EXPECT_EQ(outside.width * outside.height, 0);
    EXPECT_EQ(outside.delay, 0);
    EXPECT_EQ(outside.disposal, 0);
    EXPECT_EQ(outside.transparentIndex, -1);
    EXPECT_EQ(Table(gif.handle), Quads(4));
    uint8_t row[8];
    int32_t done = 0;
    EXPECT_NE(Entry<ImageDecodeScanLinesFn>("GIF_DecodeScanLines")(gif.handle, row, 1, &done, nullptr), 0);
  }

  MemoryStream durationStream(bytes);
  int32_t hundredths = 0;
  ASSERT_EQ(Entry<ImageGifGetDurationFn>("GIF_GetDuration")(durationStream.get(), &hundredths), 0);
  EXPECT_EQ(hundredths, 125);
  MemoryStream loopStream(bytes);
  ImageGifLoopInfo loop{};
  ASSERT_EQ(Entry<ImageGifGetGifInfoFn>("GIF_GetGifInfo")(loopStream.get(), &loop), 0);
  EXPECT_EQ(loop.hasLoop, 1);
  EXPECT_EQ(loop.loopCount, 5);
}

TEST(GifForms, OnlyTheNetscapeBlockSetsTheLoop) {
  // The same sub-block under another application's name, and NETSCAPE2.0 with a buffering
  // sub-block only: neither is a loop.
  for (const char* name : {"ANIMEXTS1.0", "NETSCAPE2.0"}) {
    SCOPED_TRACE(name);
    ColorMapObject* global = Map(2);
    const bool netscape = std::string(name) == "NETSCAPE2.0";
    const std::string bytes = WriteGif(2, 2, global, [name, netscape](GifFileType* gif) {
      if (netscape) {
        PutApplication(gif, name, {std::string("\x02\x00\x10\x00\x00", 5)});
      } else {
        PutApplication(gif, name, {std::string("\x01\x00\x00", 3)});
      }
      PutFrame(gif, 0, 0, 2, 2, nullptr, 2);
    });
    GifFreeMapObject(global);
    MemoryStream stream(bytes);
    ImageGifLoopInfo loop{7, 7};
    ASSERT_EQ(Entry<ImageGifGetGifInfoFn>("GIF_GetGifInfo")(stream.get(), &loop), 0);
    EXPECT_EQ(loop.hasLoop, 0);
    EXPECT_EQ(loop.loopCount, 0);
  }
}

TEST(GifForms, AScreenWithoutColourTablesGivesNone) {
  // giflib writes no such file: a 3 x 1 screen without a global table, one frame without a local
  // one, indices 0 2 0 in two-bit codes.
  const std::string bytes(
      "GIF89a\x03\x00\x01\x00\x00\x00\x00"
      ",\x00\x00\x00\x00\x03\x00\x01\x00\x00"
      "\x02\x02\x84\x50\x00;",
      29);
  Opened gif(bytes);
  ASSERT_EQ(gif.result, 0);
  ImageGifGlobalInfo global{};
  ASSERT_EQ(Entry<ImageGifGetGlobInfoFn>("GIF_DecodeGetGlobInfo")(gif.handle, &global), 0);
  EXPECT_EQ(global.hasGlobalColorTable, 0);
  EXPECT_EQ(global.bitsPerPixel, 0);
  ImageGifFrameInfo frame = Select(gif.handle, 0);
  EXPECT_EQ(frame.hasLocalColorTable, 0);
  EXPECT_EQ(frame.bitsPerPixel, 0);
  EXPECT_EQ(Table(gif.handle), "");
  EXPECT_EQ(Rows(gif.handle, frame), (std::vector<uint8_t>{0, 2, 0}));
}

TEST(GifForms, AFileCutInsideAFrameKeepsTheFramesBeforeIt) {
  ColorMapObject* global = Map(4);
  auto firstFrame = [](GifFileType* gif) {
    PutControl(gif, 0, 10, -1);
    PutFrame(gif, 0, 0, 8, 4, nullptr, 4);
  };
  const std::string one = WriteGif(8, 4, global, firstFrame);
  const std::string whole = WriteGif(8, 4, global, [firstFrame](GifFileType* gif) {
    firstFrame(gif);
    PutControl(gif, 0, 20, -1);
    PutFrame(gif, 0, 0, 8, 4, nullptr, 3);
  });
  GifFreeMapObject(global);
  // The second frame's descriptor follows the first frame (the one-frame file without its ';') and
  // the eight bytes of its control block. Cut inside the descriptor, then inside the frame's data.
  const size_t second = one.size() - 1 + 8;
  ASSERT_EQ(whole.compare(0, one.size() - 1, one, 0, one.size() - 1), 0);
  ASSERT_EQ(whole[second], ',');
  for (size_t cut : {second + 5, second + 13}) {
    SCOPED_TRACE(cut);
    const std::string bytes = whole.substr(0, cut);
    Opened gif(bytes);
    ASSERT_EQ(gif.result, 0);
    ImageGifGlobalInfo info{};
    ASSERT_EQ(Entry<ImageGifGetGlobInfoFn>("GIF_DecodeGetGlobInfo")(gif.handle, &info), 0);
    EXPECT_EQ(info.frameCount, 1);
    ImageGifFrameInfo frame = Select(gif.handle, 0);
    std::vector<uint8_t> pixels = Rows(gif.handle, frame);
    ASSERT_EQ(pixels.size(), 32u);
    EXPECT_EQ(pixels[9], 3);
    MemoryStream durationStream(bytes);
    int32_t hundredths = 0;
    ASSERT_EQ(Entry<ImageGifGetDurationFn>("GIF_GetDuration")(durationStream.get(), &hundredths), 0);
    EXPECT_EQ(hundredths, 10);
  }
  // Cut before any whole frame, the file is refused.
  Opened none(whole.substr(0, whole.find(',') + 4));
  EXPECT_NE(none.result, 0);
  EXPECT_EQ(none.handle, nullptr);
}

}  // namespace
}  // namespace codec_test
