// The animated GIF player composes frames the way a viewer does: frames placed inside the screen,
// transparency, and the disposals "restore to background" (2) and "restore to previous" (3),
// against ImageMagick's coalesced frames of the same file.
#include "engines/gif_player.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "engines/codec_module.h"
#include "support/outside_tool.h"
#include "support/test_device.h"

namespace {

// Every frame of `file` as ImageMagick composes it, over white where nothing was drawn.
std::vector<std::vector<uint8_t>> CoalescedFrames(const std::filesystem::path& file, int& width, int& height) {
  auto ppm = test_support::ToolOutput("convert", "imagemagick",
                                      test_support::ShellQuoted(file.string()) +
                                          " -coalesce -background white -alpha remove -alpha off -depth 8 ppm:-");
  std::vector<std::vector<uint8_t>> frames;
  size_t at = 0;
  while (ppm && at < ppm->size()) {
    int maxValue = 0, consumed = 0;
    if (std::sscanf(ppm->c_str() + at, "P6 %d %d %d%n", &width, &height, &maxValue, &consumed) != 3) break;
    at += static_cast<size_t>(consumed) + 1;
    const size_t bytes = static_cast<size_t>(width) * height * 3;
    frames.emplace_back(ppm->begin() + static_cast<std::ptrdiff_t>(at), ppm->begin() + static_cast<std::ptrdiff_t>(at + bytes));
    at += bytes;
  }
  return frames;
}

std::vector<uint8_t> RgbOf(const DibImage* image) {
  std::vector<uint8_t> rgb;
  for (LONG y = 0; y < image->header.biHeight; ++y) {
    const BYTE* row = DibRowFromTop(image, y);
    for (LONG x = 0; x < image->header.biWidth; ++x) rgb.insert(rgb.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
  }
  return rgb;
}

TEST(GifPlayer, DisposalsAndTransparencyComposeAsAViewerShowsThem) {
  test_support::TestDevice device;
  // 30 x 20 screen: a whole frame, then a frame at (4, 3) restored to background, a transparent one
  // at (15, 10) restored to the picture before it, and a last frame at (2, 12).
  const std::filesystem::path file = test_support::SourcePath("fuzz/picture_decode/seeds/disposal.gif");
  const std::string bytes = test_support::ReadFileBytes(file).substr(1);  // the fuzzer's selector byte
  const std::filesystem::path plain = device.root() / "disposal.gif";
  test_support::WriteFileBytes(plain, bytes);
  int width = 0, height = 0;
  const auto expected = CoalescedFrames(plain, width, height);
  ASSERT_EQ(expected.size(), 4u);
  auto stream = ImageStream::OpenMemory(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  auto player = GifPlayer::Open(*stream, SIZE{width, height}, 0);
  ASSERT_TRUE(player);
  ASSERT_EQ(player->frameCount(), 4);
  ASSERT_EQ(player->size().cx, width);
  for (int frame = 0; frame < 4; ++frame) {
    ASSERT_TRUE(player->RenderFrame(frame)) << frame;
    EXPECT_EQ(RgbOf(player->canvas()), expected[static_cast<size_t>(frame)]) << "frame " << frame;
  }
  FreeCodecLibrary();
}

}  // namespace
