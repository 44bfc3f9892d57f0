// GIF decoding over giflib: the logical screen and global palette, then frame by frame (selected
// with GIF_DecodeSetFrameIndex) rows of 8-bit palette indices, clipped to the logical screen.
#include <algorithm>
#include <bit>

#include "gif_index.h"

namespace image_codec {
namespace {

struct GifDecoder {
  explicit GifDecoder(ImageCodecStream* stream) : io(stream) {}
  StreamIo io;
  GifIndex index;
  int current = -1;
  std::vector<uint8_t> pixels;  // the current frame's part on the screen, clipped width x height
  ImageGifFrameInfo clipped{};
  int nextRow = 0;
};

// The part of the frame that lies on the logical screen; empty when none does.
ImageGifFrameInfo ClipToScreen(const GifIndex& index, const GifFrameRecord& frame, int frameIndex) {
  ImageGifFrameInfo info{};
  int right = std::min(frame.left + frame.width, index.screenWidth);
  int bottom = std::min(frame.top + frame.height, index.screenHeight);
  if (frame.left < index.screenWidth && frame.top < index.screenHeight && right > frame.left && bottom > frame.top) {
    info.left = static_cast<uint16_t>(frame.left);
    info.top = static_cast<uint16_t>(frame.top);
    info.width = static_cast<uint16_t>(right - frame.left);
    info.height = static_cast<uint16_t>(bottom - frame.top);
  }
  info.hasLocalColorTable = frame.palette.empty() ? 0 : 1;
  info.frameIndex = frameIndex;
  info.bitsPerPixel = frame.palette.empty() ? 0 : std::bit_width(frame.palette.size() / 4 - 1);
  info.delay = frame.delay;
  info.transparentIndex = frame.transparentIndex;
  info.disposal = frame.disposal;
  return info;
}

int32_t SelectFrame(GifDecoder& decoder, int32_t index) {
  decoder.current = -1;
  if (index < 0 || static_cast<size_t>(index) >= decoder.index.frames.size()) return kFailed;
  const GifFrameRecord& frame = decoder.index.frames[static_cast<size_t>(index)];
  if (!DecodeGifFrame(decoder.index, frame, decoder.pixels)) return kFailed;
  decoder.current = index;
  decoder.clipped = ClipToScreen(decoder.index, frame, index);
  decoder.nextRow = 0;
  return kOk;
}

int32_t ReadRow(GifDecoder& decoder, uint8_t* row) {
  const ImageGifFrameInfo& clipped = decoder.clipped;
  if (decoder.current < 0 || decoder.nextRow >= clipped.height) return kFailed;
  size_t offset = static_cast<size_t>(decoder.nextRow) * clipped.width;
  std::memcpy(row, &decoder.pixels[offset], clipped.width);
  ++decoder.nextRow;
  return kOk;
}

}  // namespace

IMAGE_CODEC_EXPORT int32_t GIF_DecodeInit(ImageStreamArg stream, ImageCodecHandle* handle) {
  if (handle == nullptr) return kFailed;
  *handle = nullptr;
  auto decoder = std::make_unique<GifDecoder>(stream);
  if (!BuildGifIndex(decoder->io, decoder->index)) return kFailed;
  *handle = ReleaseToHandle(std::move(decoder));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_DecodeUninit(ImageCodecHandle handle) {
  if (handle == nullptr) return kFailed;
  TakeFromHandle<GifDecoder>(handle);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_DecodeGetGlobInfo(ImageCodecHandle handle, ImageGifGlobalInfo* info) {
  if (handle == nullptr || info == nullptr) return kFailed;
  const GifIndex& index = static_cast<GifDecoder*>(handle)->index;
  info->screenWidth = static_cast<uint16_t>(index.screenWidth);
  info->screenHeight = static_cast<uint16_t>(index.screenHeight);
  info->hasGlobalColorTable = index.globalPalette.empty() ? 0 : 1;
  info->bitsPerPixel = index.globalBitsPerPixel;
  info->backgroundIndex = index.backgroundIndex;
  info->frameCount = static_cast<int32_t>(index.frames.size());
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_DecodeSetFrameIndex(ImageCodecHandle handle, int32_t index) {
  if (handle == nullptr) return kFailed;
  return SelectFrame(*static_cast<GifDecoder*>(handle), index);
}

IMAGE_CODEC_EXPORT int32_t GIF_DecodeGetFrameInfo(ImageCodecHandle handle, ImageGifFrameInfo* info) {
  auto* decoder = static_cast<GifDecoder*>(handle);
  if (decoder == nullptr || info == nullptr || decoder->current < 0) return kFailed;
  *info = decoder->clipped;
  return kOk;
}

// The palette of the selected frame: its local table when it has one, else the global table.
IMAGE_CODEC_EXPORT int32_t GIF_DecodeGetColorTab(ImageCodecHandle handle, uint8_t* buffer, uint32_t* byteCount) {
  auto* decoder = static_cast<GifDecoder*>(handle);
  if (decoder == nullptr || buffer == nullptr || byteCount == nullptr) return kFailed;
  const std::vector<uint8_t>* palette = &decoder->index.globalPalette;
  if (decoder->current >= 0 && !decoder->index.frames[static_cast<size_t>(decoder->current)].palette.empty()) {
    palette = &decoder->index.frames[static_cast<size_t>(decoder->current)].palette;
  }
  uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(palette->size()), *byteCount / 4 * 4);
  std::copy_n(palette->begin(), count, buffer);
  *byteCount = count;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_DecodeScanLines(ImageCodecHandle handle, uint8_t* row, int32_t rows,
                                               int32_t* rowsDone, int32_t*) {
  if (handle == nullptr || row == nullptr || rows != 1) return kFailed;
  if (ReadRow(*static_cast<GifDecoder*>(handle), row) != kOk) return kFailed;
  if (rowsDone != nullptr) *rowsDone = 1;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_GetDuration(ImageStreamArg stream, int32_t* hundredths) {
  if (hundredths == nullptr) return kFailed;
  StreamIo io(stream);
  GifIndex index;
  if (!BuildGifIndex(io, index)) return kFailed;
  int64_t total = 0;
  for (const GifFrameRecord& frame : index.frames) total += frame.delay;
  *hundredths = static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_GetGifInfo(ImageStreamArg stream, ImageGifLoopInfo* info) {
  if (info == nullptr) return kFailed;
  StreamIo io(stream);
  GifIndex index;
  if (!BuildGifIndex(io, index)) return kFailed;
  *info = index.loop;
  return kOk;
}

}  // namespace image_codec
