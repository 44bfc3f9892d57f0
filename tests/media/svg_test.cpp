// SVG through the adapter and "svgplayback.dll": sizes and renderings against rsvg-convert's, SVGZ,
// and documents that reach outside themselves drawing only what is inside.
#include <zlib.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "engines/dib_image.h"
#include "engines/image_decode.h"
#include "engines/image_info.h"
#include "engines/svg_library.h"
#include "media_fixture.h"
#include "platform/kernel/device.h"

namespace media_test {
namespace {

using DibPointer = std::unique_ptr<DibImage, DibImageDeleter>;

class Svg : public MediaTest {};

TEST_F(Svg, SizesAndRenderingsMatchTheReference) {
  int checked = 0;
  for (const std::string& name : CorpusMediaFiles()) {
    json_test::Value summary = Expected(name)["summary"];
    if (summary["group"].text != "svg" || !summary["rsvg_renders"].boolean) continue;
    SCOPED_TRACE(name);
    std::u16string path = Put(name);
    SIZE size{};
    int bitCount = 0;
    ASSERT_TRUE(GetImageInfo(path.c_str(), &size, &bitCount, media_type::kNone));
    EXPECT_EQ(size.cx, summary["intrinsic_size"].items[0].number);
    EXPECT_EQ(size.cy, summary["intrinsic_size"].items[1].number);
    struct Rendering {
      std::string reference;
      SIZE box;
    } renderings[] = {{name + ".png", size}, {name + ".240x320.png", {240, 320}}};
    for (const Rendering& rendering : renderings) {
      SCOPED_TRACE(rendering.reference);
      int width = 0, height = 0;
      std::vector<uint8_t> expected =
          ReadPngOverWhite(test_support::CorpusPath("media/expected/" + rendering.reference), width, height);
      ASSERT_FALSE(expected.empty());
      SIZE box = rendering.box;
      DibPointer image(DecodeImage(path.c_str(), &box, media_type::kNone, 0));
      ASSERT_TRUE(image);
      ASSERT_EQ(box.cx, width);
      ASSERT_EQ(box.cy, height);
      EXPECT_GE(Psnr(RgbOf(image.get()), expected), 35.0);
    }
    ++checked;
  }
  EXPECT_EQ(checked, 6);
}

TEST_F(Svg, ExternalEntitiesAreRefused) {
  std::u16string path = Put("xxe-entity.svg");
  SIZE size{};
  EXPECT_FALSE(GetImageInfo(path.c_str(), &size, nullptr, media_type::kNone));
  SIZE box{240, 320};
  EXPECT_EQ(DecodeImage(path.c_str(), &box, media_type::kNone, 0), nullptr);
}

// A file beside the SVG, in its folder, is not drawn either: the document is read without a base.
TEST_F(Svg, ReferencesOutsideTheDocumentDrawNothing) {
  std::string png = test_support::ReadFileBytes(test_support::CorpusPath("png/basn0g08.png"));
  PutBytes("beside.png", png);
  std::u16string path = PutBytes("refs.svg",
                                 "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                                 "width='40' height='40'><image xlink:href='beside.png' width='40' height='40'/>"
                                 "<image xlink:href='file:///etc/passwd' width='40' height='40'/></svg>");
  SIZE box{40, 40};
  DibPointer image(DecodeImage(path.c_str(), &box, media_type::kNone, 0));
  ASSERT_TRUE(image);
  std::vector<uint8_t> rgb = RgbOf(image.get());
  EXPECT_EQ(std::count(rgb.begin(), rgb.end(), 255), static_cast<long>(rgb.size()));  // all white
}

TEST_F(Svg, PlayerDrawsTheDisplayAreaWithZoomAndPan) {
  std::u16string path = Put("shapes.svg");
  SvgPlayerHandle player = AS_CreatePlayer();
  ASSERT_NE(player, nullptr);
  SvgFileHandle file = AS_OpenFile(player, path.c_str());
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(AS_SelectFile(player, file), 0);
  SvgInfo info{};
  ASSERT_EQ(AS_GetSVGInfo(player, &info), 0);
  EXPECT_EQ(info.width, 176);
  SvgDisplayParam display{88, 72, 0x00FFFFFF};
  ASSERT_EQ(AS_SetDisplayParam(player, &display), 0);
  struct Frames {
    int count = 0;
    std::vector<uint8_t> last;
  } frames;
  auto callback = [](void* user, const uint8_t* pixels, int32_t, int32_t height, int32_t stride) {
    auto* seen = static_cast<Frames*>(user);
    ++seen->count;
    seen->last.assign(pixels, pixels + static_cast<size_t>(stride) * height);
  };
  ASSERT_EQ(AS_SetCallback(player, kSvgCallbackFrame, reinterpret_cast<void*>(+callback), &frames), 0);
  EXPECT_EQ(AS_Pack(player, 0, 0, 0, 0), 0);
  EXPECT_EQ(AS_Play(player), 1);
  ASSERT_EQ(frames.count, 1);
  std::vector<uint8_t> plain = frames.last;
  EXPECT_EQ(AS_ZoomByPoint(player, 0, 0, 200), 0);
  EXPECT_EQ(frames.count, 2);
  EXPECT_NE(frames.last, plain);
  EXPECT_EQ(AS_Pan(player, 10, 0), 0);
  EXPECT_EQ(AS_InvalidateRect(player, 0, 0, 88, 72), 0);
  EXPECT_EQ(frames.count, 4);
  EXPECT_EQ(AS_SetEvent(player, 0, 1, 1), 0);
  EXPECT_EQ(AS_Pause(player), 1);
  EXPECT_EQ(AS_Stop(player, 0), 0);
  EXPECT_EQ(AS_InvalidateRect(player, 0, 0, 88, 72), 0);
  EXPECT_EQ(frames.last, plain);  // stop undoes zoom and pan
  EXPECT_EQ(AS_CloseFile(player, file), 0);
  EXPECT_EQ(AS_CloseFile(player, file), -1);
  EXPECT_EQ(AS_ReleasePlayer(player), 1);
}

// Opening the same picture twice (by one path or by two holding the same bytes) may give the same
// handle; closing it once leaves the other opening usable.
TEST_F(Svg, FileOpenedTwiceStaysOpenUntilClosedTwice) {
  std::u16string first = Put("shapes.svg");
  std::u16string copy = PutBytes("copy.svg", test_support::ReadFileBytes(test_support::CorpusPath("media/shapes.svg")));
  for (const std::u16string& second : {first, copy}) {
    SvgPlayerHandle player = AS_CreatePlayer();
    ASSERT_NE(player, nullptr);
    SvgFileHandle a = AS_OpenFile(player, first.c_str());
    SvgFileHandle b = AS_OpenFile(player, second.c_str());
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(AS_SelectFile(player, b), 0);
    EXPECT_EQ(AS_CloseFile(player, a), 0);
    SvgInfo info{};
    EXPECT_EQ(AS_GetSVGInfo(player, &info), 0);
    EXPECT_EQ(info.width, 176);
    EXPECT_EQ(AS_SelectFile(player, b), 0);
    EXPECT_EQ(AS_CloseFile(player, b), 0);
    EXPECT_EQ(AS_SelectFile(player, b), -1);
    EXPECT_EQ(AS_CloseFile(player, b), -1);
    EXPECT_EQ(AS_ReleasePlayer(player), 1);
  }
}

TEST_F(Svg, AdapterRefusesNullArgumentsWithoutCalling) {
  SvgPlayerHandle player = AS_CreatePlayer();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(AS_OpenFile(player, nullptr), nullptr);
  EXPECT_EQ(AS_CloseFile(player, nullptr), -1);
  EXPECT_EQ(AS_GetSVGInfo(player, nullptr), -1);
  EXPECT_EQ(AS_GetFirstFrame(player, nullptr, nullptr), -1);
  EXPECT_EQ(AS_SetDisplayParam(nullptr, nullptr), -1);
  EXPECT_EQ(RenderSvgFirstFrame(u"", 10, 10, 0), nullptr);
  EXPECT_EQ(RenderSvgFirstFrame(Put("shapes.svg").c_str(), 0, 10, 0), nullptr);
  AS_ReleasePlayer(player);
}

// A file rewritten within one tick of the file clock, or copied with its time kept, has the same
// size and time as before: what is drawn must still be the new content.
TEST_F(Svg, RewrittenFileOfTheSameSizeAndTimeIsReadAgain) {
  const std::string narrow = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='20'/>";
  const std::string wide = "<svg xmlns='http://www.w3.org/2000/svg' width='30' height='20'/>";
  ASSERT_EQ(narrow.size(), wide.size());
  std::u16string path = PutBytes("rewritten.svg", narrow);
  SIZE size{};
  ASSERT_TRUE(GetImageInfo(path.c_str(), &size, nullptr, media_type::kNone));
  EXPECT_EQ(size.cx, 10);
  std::optional<std::filesystem::path> host = platform::HostPath(path);
  ASSERT_TRUE(host);
  std::filesystem::file_time_type written = std::filesystem::last_write_time(*host);
  PutBytes("rewritten.svg", wide);
  std::filesystem::last_write_time(*host, written);
  ASSERT_TRUE(GetImageInfo(path.c_str(), &size, nullptr, media_type::kNone));
  EXPECT_EQ(size.cx, 30);
  SIZE box{60, 20};
  DibPointer image(DecodeImage(path.c_str(), &box, media_type::kNone, 0));
  ASSERT_TRUE(image);
  EXPECT_EQ(box.cx, 30);
}

// librsvg ends the process on a convolution kernel of 400 numbers or more, unless its order is 20
// by 20: such a document is refused however the numbers are written, in UTF-8 or UTF-16; the 20 by
// 20 kernel is drawn, whichever way its order is written.
TEST_F(Svg, OversizedConvolutionKernelIsRefused) {
  auto document = [](const std::string& attributes) {
    return "<svg xmlns='http://www.w3.org/2000/svg' width='24' height='24'><filter id='f'><feConvolveMatrix " +
           attributes + "/></filter><rect width='24' height='24' filter='url(#f)'/></svg>";
  };
  auto numbers = [](int count, const std::string& number, const std::string& separator) {
    std::string list;
    for (int i = 0; i < count; ++i) list += (i == 0 ? "" : separator) + number;
    return list;
  };
  auto utf16 = [](const std::string& ascii) {
    std::string wide = "\xFF\xFE";
    for (char c : ascii) wide += std::string{c, '\0'};
    return wide;
  };
  SIZE box{24, 24};
  for (const std::string order : {"order='20'", "order = \"20, 20\""}) {
    box = SIZE{24, 24};
    DibPointer drawn(DecodeImage(
        PutBytes("k400.svg", document(order + " kernelMatrix='" + numbers(400, "0.0025", " ") + "'")).c_str(), &box,
        media_type::kNone, 0));
    EXPECT_TRUE(drawn) << order;
  }
  const std::string refused[] = {
      document("order='21' kernelMatrix='" + numbers(400, "1", " ") + "'"),
      document("kernelMatrix='" + numbers(400, "1", " ") + "' order='1'"),
      document("order='20 21' kernelMatrix='" + numbers(400, "1", " ") + "'"),
      document("order='21' kernelMatrix='" + numbers(441, "1", " ") + "'"),
      document("order='3' kernelMatrix = \"" + numbers(401, "1", ",") + "\""),
      document("order='21' kernelMatrix='" + numbers(441, "-1", "") + "'"),     // signs part the numbers
      document("order='21' kernelMatrix='" + numbers(441, ".5", "") + "'"),     // and so do points
      document("order='21' kernelMatrix='" + numbers(441, "1", "/**/") + "'"),  // and comments
      "<!DOCTYPE svg [<!ENTITY k '" + numbers(441, "1", " ") + "'>]>" + document("order='21' kernelMatrix='&k;'"),
      utf16(document("order='21' kernelMatrix='" + numbers(441, "1", " ") + "'")),
  };
  for (const std::string& bytes : refused) {
    SCOPED_TRACE(bytes.substr(0, 160));
    box = SIZE{24, 24};
    EXPECT_EQ(DecodeImage(PutBytes("kernel.svg", bytes).c_str(), &box, media_type::kNone, 0), nullptr);
  }
}

std::string Gzip(const std::string& bytes) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&stream, bytes.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

// The bound holds for what the document becomes: a 16 MB document is refused gzipped once, and
// gzipped twice too (librsvg inflates a gzip it is given, without any bound, in memory).
TEST_F(Svg, SvgzIsBoundAfterEveryInflation) {
  const std::string small = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'/>";
  const std::string large =
      "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'>" + std::string(16u << 20, ' ') + "</svg>";
  SIZE box{10, 10};
  DibPointer drawn(DecodeImage(PutBytes("small.svgz", Gzip(small)).c_str(), &box, media_type::kNone, 0));
  EXPECT_TRUE(drawn);
  const std::string refused[] = {Gzip(large), Gzip(Gzip(large)), Gzip(Gzip(small))};
  for (const std::string& bytes : refused) {
    box = SIZE{10, 10};
    EXPECT_EQ(DecodeImage(PutBytes("bomb.svgz", bytes).c_str(), &box, media_type::kNone, 0), nullptr);
  }
}

TEST_F(Svg, BrokenDocumentsFailCleanly) {
  const char* documents[] = {
      "", "<svg", "<svg xmlns='http://www.w3.org/2000/svg'/>",  // no size at all
      "\x1f\x8b\x08\x00\x00\x00\x00\x00",                        // a gzip header and nothing more
      "<svg xmlns='http://www.w3.org/2000/svg' width='1e9' height='1e9'/>",
  };
  for (const char* document : documents) {
    SCOPED_TRACE(document);
    std::u16string path = PutBytes("broken.svg", document);
    SIZE box{64, 64};
    DibPointer image(DecodeImage(path.c_str(), &box, media_type::kNone, 0));
    EXPECT_FALSE(image);
  }
}

}  // namespace
}  // namespace media_test
