// A GIF file read into memory and indexed: the logical screen, the global palette, the loop
// settings, and where each frame's image descriptor starts with the control values that precede it.
// Frames are then decoded one at a time by going back to their descriptor.
#pragma once

#include <cstdint>
#include <vector>

#include "codec_io.h"

namespace image_codec {

// The largest GIF file read; GIF data beyond it is treated as cut off.
constexpr uint32_t kMaxGifFileBytes = 64u * 1024 * 1024;

struct GifFrameRecord {
  size_t descriptorOffset = 0;  // just after the ',' that starts the image descriptor
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
  std::vector<uint8_t> palette;  // local colour table, 4 bytes per entry (blue, green, red, 0)
  int delay = 0;                 // hundredths of a second
  int transparentIndex = -1;
  int disposal = 0;
};

struct GifIndex {
  std::vector<uint8_t> data;
  int screenWidth = 0;
  int screenHeight = 0;
  int backgroundIndex = 0;
  int globalBitsPerPixel = 0;
  std::vector<uint8_t> globalPalette;
  ImageGifLoopInfo loop{};
  std::vector<GifFrameRecord> frames;
};

// Reads the stream from its start and indexes it. Frames are kept up to the first damaged one and
// at most IMAGE_CODEC_MAX_GIF_FRAMES; fails when the file is not a GIF, its screen is beyond the
// limits, or it holds no whole frame.
bool BuildGifIndex(StreamIo& io, GifIndex& index);

// Decodes the part of one frame that lies on the logical screen: its indices, rows in display order
// (interlacing undone), visible width x visible height bytes. What lies beyond the screen is never
// shown, so it is neither kept nor, past the last visible row, decoded: a frame declared far larger
// than its screen costs no more than the screen.
bool DecodeGifFrame(const GifIndex& index, const GifFrameRecord& frame, std::vector<uint8_t>& pixels);

}  // namespace image_codec
