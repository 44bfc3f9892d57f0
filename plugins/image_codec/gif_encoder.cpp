// GIF89a encoding over giflib. The caller gives the logical screen, the global palette and the loop
// settings, then frame by frame its information, its local palette when it has one, and its rows of
// palette indices from the top. A palette given before the first frame is the global one.
#include <algorithm>
#include <bit>

#include <gif_lib.h>

#include "codec_io.h"

namespace image_codec {
namespace {

struct GifEncoder {
  explicit GifEncoder(ImageCodecStream* stream) : io(stream) {}
  ~GifEncoder() {
    int error = 0;
    if (gif != nullptr) EGifCloseFile(gif, &error);
  }
  GifEncoder(const GifEncoder&) = delete;
  GifEncoder& operator=(const GifEncoder&) = delete;

  StreamIo io;
  GifFileType* gif = nullptr;
  ImageGifGlobalInfo global{};
  ImageGifLoopInfo loop{};
  std::vector<uint8_t> globalPalette;
  bool screenWritten = false;
  bool inFrame = false;  // frame information given, descriptor not yet written
  ImageGifFrameInfo frame{};
  std::vector<uint8_t> localPalette;
  int rowsWritten = 0;
  int frameHeight = 0;
  bool failed = false;
};

int WriteOutput(GifFileType* gif, const GifByteType* data, int length) {
  auto* io = static_cast<StreamIo*>(gif->UserData);
  return length >= 0 && io->Write(data, static_cast<uint32_t>(length)) ? length : 0;
}

// giflib wants a power-of-two table of at least two entries; the rest is padded with black.
ColorMapObject* MakeColorMap(const std::vector<uint8_t>& palette) {
  if (palette.empty()) return nullptr;
  size_t entries = palette.size() / 4;
  int size = static_cast<int>(std::max<size_t>(2, std::bit_ceil(entries)));
  std::vector<GifColorType> colours(static_cast<size_t>(size), GifColorType{0, 0, 0});
  for (size_t i = 0; i < entries; ++i) {
    colours[i] = GifColorType{palette[i * 4 + 2], palette[i * 4 + 1], palette[i * 4]};
  }
  return GifMakeMapObject(size, colours.data());
}

bool WriteLoop(GifEncoder& encoder) {
  if (!encoder.loop.hasLoop) return true;
  const uint8_t loopBlock[3] = {1, static_cast<uint8_t>(encoder.loop.loopCount & 0xFF),
                                static_cast<uint8_t>((encoder.loop.loopCount >> 8) & 0xFF)};
  return EGifPutExtensionLeader(encoder.gif, APPLICATION_EXT_FUNC_CODE) != GIF_ERROR &&
         EGifPutExtensionBlock(encoder.gif, 11, "NETSCAPE2.0") != GIF_ERROR &&
         EGifPutExtensionBlock(encoder.gif, 3, loopBlock) != GIF_ERROR &&
         EGifPutExtensionTrailer(encoder.gif) != GIF_ERROR;
}

bool WriteScreen(GifEncoder& encoder) {
  if (encoder.screenWritten) return true;
  encoder.screenWritten = true;
  ColorMapObject* map = MakeColorMap(encoder.globalPalette);
  bool written = EGifPutScreenDesc(encoder.gif, encoder.global.screenWidth, encoder.global.screenHeight, 8,
                                   encoder.global.backgroundIndex, map) != GIF_ERROR;
  GifFreeMapObject(map);
  return written && WriteLoop(encoder);
}

bool WriteControl(GifEncoder& encoder, const ImageGifFrameInfo& info) {
  bool transparent = info.transparentIndex >= 0 && info.transparentIndex < 256;
  if (info.delay == 0 && !transparent && info.disposal == 0) return true;
  const uint8_t control[4] = {static_cast<uint8_t>(((info.disposal & 7) << 2) | (transparent ? 1 : 0)),
                              static_cast<uint8_t>(info.delay & 0xFF), static_cast<uint8_t>((info.delay >> 8) & 0xFF),
                              static_cast<uint8_t>(transparent ? info.transparentIndex : 0)};
  return EGifPutExtension(encoder.gif, GRAPHICS_EXT_FUNC_CODE, 4, control) != GIF_ERROR;
}

bool WriteDescriptor(GifEncoder& encoder) {
  ColorMapObject* map = MakeColorMap(encoder.localPalette);
  const ImageGifFrameInfo& frame = encoder.frame;
  bool written = EGifPutImageDesc(encoder.gif, frame.left, frame.top, frame.width, frame.height, false, map) != GIF_ERROR;
  GifFreeMapObject(map);
  encoder.inFrame = false;
  encoder.rowsWritten = 0;
  encoder.frameHeight = frame.height;
  return written;
}

int32_t Fail(GifEncoder& encoder) {
  encoder.failed = true;
  return kFailed;
}

}  // namespace

IMAGE_CODEC_EXPORT int32_t GIF_EncodeInit(ImageStreamArg stream, const ImageGifEncoderInfo* info, ImageCodecHandle* handle) {
  if (handle == nullptr) return kFailed;
  *handle = nullptr;
  auto encoder = std::make_unique<GifEncoder>(stream);
  if (!encoder->io.Valid() || (info != nullptr && info->bitsPerPixel != 8)) return kFailed;
  int error = 0;
  encoder->gif = EGifOpen(&encoder->io, WriteOutput, &error);
  if (encoder->gif == nullptr) return kFailed;
  EGifSetGifVersion(encoder->gif, true);
  *handle = ReleaseToHandle(std::move(encoder));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_EncodeSetGlobalInfo(ImageCodecHandle handle, const ImageGifGlobalInfo* info) {
  auto* encoder = static_cast<GifEncoder*>(handle);
  if (encoder == nullptr || info == nullptr || encoder->screenWritten ||
      !WithinLimits(info->screenWidth, info->screenHeight)) {
    return kFailed;
  }
  encoder->global = *info;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_EncodeSetLoop(ImageCodecHandle handle, const ImageGifLoopInfo* info) {
  auto* encoder = static_cast<GifEncoder*>(handle);
  if (encoder == nullptr || info == nullptr || encoder->screenWritten) return kFailed;
  encoder->loop = *info;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_EncodeSetColorTab(ImageCodecHandle handle, const uint8_t* palette, int32_t entries) {
  auto* encoder = static_cast<GifEncoder*>(handle);
  if (encoder == nullptr || palette == nullptr || entries < 1 || entries > 256) return kFailed;
  std::vector<uint8_t>& target = encoder->inFrame ? encoder->localPalette : encoder->globalPalette;
  if (!encoder->inFrame && encoder->screenWritten) return kFailed;
  target.assign(palette, palette + entries * 4);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_EncodeSetFrameInfo(ImageCodecHandle handle, const ImageGifFrameInfo* info) {
  auto* encoder = static_cast<GifEncoder*>(handle);
  if (encoder == nullptr || encoder->failed || info == nullptr || encoder->inFrame ||
      encoder->rowsWritten != encoder->frameHeight) {
    return kFailed;
  }
  bool inside = info->width > 0 && info->height > 0 && info->left + info->width <= encoder->global.screenWidth &&
                info->top + info->height <= encoder->global.screenHeight;
  if (!inside || !WriteScreen(*encoder) || !WriteControl(*encoder, *info)) return Fail(*encoder);
  encoder->frame = *info;
  encoder->localPalette.clear();
  encoder->inFrame = true;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_EncodeScanLines(ImageCodecHandle handle, int32_t rowFromTop, int32_t rows,
                                               const uint8_t* pixels, int32_t) {
  auto* encoder = static_cast<GifEncoder*>(handle);
  if (encoder == nullptr || encoder->failed || rows != 1 || pixels == nullptr) return kFailed;
  if (encoder->inFrame && !WriteDescriptor(*encoder)) return Fail(*encoder);
  if (rowFromTop != encoder->rowsWritten || rowFromTop >= encoder->frameHeight) return Fail(*encoder);
  if (EGifPutLine(encoder->gif, const_cast<GifPixelType*>(pixels), encoder->frame.width) == GIF_ERROR) {
    return Fail(*encoder);
  }
  ++encoder->rowsWritten;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t GIF_EncodeUninit(ImageCodecHandle handle) {
  if (handle == nullptr) return kFailed;
  std::unique_ptr<GifEncoder> encoder = TakeFromHandle<GifEncoder>(handle);
  bool complete = !encoder->failed && !encoder->inFrame && encoder->rowsWritten == encoder->frameHeight &&
                  WriteScreen(*encoder);
  int error = 0;
  bool closed = EGifCloseFile(encoder->gif, &error) != GIF_ERROR;
  encoder->gif = nullptr;
  return complete && closed ? kOk : kFailed;
}

}  // namespace image_codec
