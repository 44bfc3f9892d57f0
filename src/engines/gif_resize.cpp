#include "engines/gif_resize.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "engines/codec_module.h"
#include "engines/gif_player.h"
#include "engines/image_stream.h"
#include "platform/kernel/file_api.h"
#include "platform/text/cstring.h"

namespace {

constexpr CodecFamily kGif = CodecFamily::kGif;

struct Scale {
  int oldWidth, oldHeight, newWidth, newHeight;
};

// Copies the frame's palette across when it has its own, or the global one when `global`.
bool CopyPalette(const CodecHandle& decoder, const CodecHandle& encoder) {
  BYTE palette[1024] = {};
  uint32_t bytes = sizeof palette;
  if (CallCodec<ImageGetColorTabFn>(kGif, CodecEntry::kDecodeGetColorTab, decoder.get(), palette, &bytes) != 0) {
    return false;
  }
  return bytes >= 4 && CallCodec<ImageSetColorTabFn>(kGif, CodecEntry::kEncodeSetColorTab, encoder.get(), palette,
                                                     static_cast<int32_t>(bytes / 4)) == 0;
}

// Decodes the selected frame's rows and encodes them at the mapped size, nearest neighbour.
bool ScaleFrameRows(const CodecHandle& decoder, const CodecHandle& encoder, const ImageGifFrameInfo& frame,
                    const ImageGifFrameInfo& scaled, const Scale& scale) {
  std::vector<int> columns = NearestMap(scale.oldWidth, scale.newWidth);
  std::vector<int> rows = NearestMap(scale.oldHeight, scale.newHeight);
  std::vector<BYTE> source(frame.width);
  std::vector<BYTE> out(scaled.width);
  int newRow = scaled.top;
  for (int sourceRow = 0; sourceRow < frame.height; ++sourceRow) {
    int32_t done = 0, reserved = 0;
    if (CallCodec<ImageDecodeScanLinesFn>(kGif, CodecEntry::kDecodeScanLines, decoder.get(), source.data(), 1, &done,
                                          &reserved) != 0) {
      return false;
    }
    int screenRow = frame.top + sourceRow;
    int lastRow = scaled.top + scaled.height;
    for (; newRow < lastRow && std::clamp(rows[newRow], int{frame.top}, frame.top + frame.height - 1) == screenRow; ++newRow) {
      for (int x = 0; x < scaled.width; ++x) {
        int column = std::clamp(columns[scaled.left + x], int{frame.left}, frame.left + frame.width - 1);
        out[x] = source[column - frame.left];
      }
      if (CallCodec<ImageEncodeScanLinesFn>(kGif, CodecEntry::kEncodeScanLines, encoder.get(), newRow - scaled.top, 1,
                                            out.data(), 0) != 0) {
        return false;
      }
    }
  }
  return newRow == scaled.top + scaled.height;
}

// Frame after frame until the decoder has no more; frames that map to nothing are left out.
bool ResizeFrames(const CodecHandle& decoder, const CodecHandle& encoder, const Scale& scale) {
  int written = 0;
  for (int index = 0;; ++index) {
    ImageGifFrameInfo frame{};
    if (CallCodec<ImageGifSetFrameIndexFn>(kGif, CodecEntry::kDecodeSetFrameIndex, decoder.get(), index) != 0 ||
        CallCodec<ImageGifGetFrameInfoFn>(kGif, CodecEntry::kDecodeGetFrameInfo, decoder.get(), &frame) != 0) {
      break;
    }
    ImageGifFrameInfo scaled = frame;
    int left = ToNewCoordinate(frame.left, scale.oldWidth, scale.newWidth);
    int top = ToNewCoordinate(frame.top, scale.oldHeight, scale.newHeight);
    int right = ToNewCoordinate(frame.left + frame.width, scale.oldWidth, scale.newWidth);
    int bottom = ToNewCoordinate(frame.top + frame.height, scale.oldHeight, scale.newHeight);
    if (right <= left || bottom <= top) continue;
    scaled.left = static_cast<uint16_t>(left);
    scaled.top = static_cast<uint16_t>(top);
    scaled.width = static_cast<uint16_t>(right - left);
    scaled.height = static_cast<uint16_t>(bottom - top);
    if (CallCodec<ImageGifSetFrameInfoFn>(kGif, CodecEntry::kEncodeSetFrameInfo, encoder.get(), &scaled) != 0) return false;
    if (frame.hasLocalColorTable && !CopyPalette(decoder, encoder)) return false;
    if (!ScaleFrameRows(decoder, encoder, frame, scaled, scale)) return false;
    ++written;
  }
  return written > 0;
}

enum class Outcome { kFailed, kResized, kCopy };

Outcome Resize(ImageStream& source, ImageStream& destination, SIZE box, const ImageGifLoopInfo& loop) {
  CodecHandle decoder(kGif, CodecEntry::kDecodeUninit);
  CodecHandle encoder(kGif, CodecEntry::kEncodeUninit);
  ImageGifEncoderInfo description{8};
  ImageGifGlobalInfo global{};
  if (CallCodec<ImageDecodeInitFn>(kGif, CodecEntry::kDecodeInit, source.codecStream(), decoder.out()) != 0 ||
      CallCodec<ImageGifEncodeInitFn>(kGif, CodecEntry::kEncodeInit, destination.codecStream(), &description,
                                      encoder.out()) != 0 ||
      CallCodec<ImageGifGetGlobInfoFn>(kGif, CodecEntry::kDecodeGetGlobInfo, decoder.get(), &global) != 0 ||
      global.screenWidth == 0 || global.screenHeight == 0) {
    return Outcome::kFailed;
  }
  double s = std::min(static_cast<double>(box.cx) / global.screenWidth, static_cast<double>(box.cy) / global.screenHeight);
  auto newWidth = static_cast<int>(std::floor(global.screenWidth * s + 0.5));
  if (s > 1.0 || newWidth == global.screenWidth) return Outcome::kCopy;
  auto newHeight = std::max(static_cast<int>(std::floor(global.screenHeight * s + 0.5)), 1);
  Scale scale{global.screenWidth, global.screenHeight, std::max(newWidth, 1), newHeight};
  ImageGifGlobalInfo scaled = global;
  scaled.screenWidth = static_cast<uint16_t>(scale.newWidth);
  scaled.screenHeight = static_cast<uint16_t>(scale.newHeight);
  if (CallCodec<ImageGifSetGlobalInfoFn>(kGif, CodecEntry::kEncodeSetGlobalInfo, encoder.get(), &scaled) != 0) {
    return Outcome::kFailed;
  }
  if (global.hasGlobalColorTable && !CopyPalette(decoder, encoder)) return Outcome::kFailed;
  if (CallCodec<ImageGifSetLoopFn>(kGif, CodecEntry::kEncodeSetLoop, encoder.get(), &loop) != 0) return Outcome::kFailed;
  if (!ResizeFrames(decoder, encoder, scale)) return Outcome::kFailed;
  return encoder.Close() == 0 ? Outcome::kResized : Outcome::kFailed;
}

}  // namespace

BOOL ResizeGif(LPCWSTR destination, LPCWSTR source, SIZE box) {
  if (destination == nullptr || source == nullptr || CString(destination).CompareNoCase(source) == 0) return FALSE;
  ImageGifLoopInfo loop{};
  Outcome outcome = Outcome::kFailed;
  {
    std::unique_ptr<ImageStream> input = ImageStream::OpenFile(source, image_stream_mode::kProtected);
    if (!input || CallCodec<ImageGifGetGifInfoFn>(kGif, CodecEntry::kGetGifInfo, input->codecStream(), &loop) != 0) {
      return FALSE;
    }
    std::unique_ptr<ImageStream> output = ImageStream::OpenFile(destination, image_stream_mode::kWrite);
    if (!output) return FALSE;
    outcome = Resize(*input, *output, box, loop);
  }
  if (outcome == Outcome::kCopy) return CopyFileW(source, destination, FALSE);
  if (outcome == Outcome::kFailed) DeleteFileW(destination);
  return outcome == Outcome::kResized ? TRUE : FALSE;
}
