#include "engines/image_decode.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/codec_module.h"
#include "engines/gif_player.h"
#include "engines/image_fit.h"
#include "engines/media_engine_adapter.h"
#include "engines/picture_type.h"
#include "engines/resampler.h"
#include "engines/svg_library.h"
#include "platform/drm/drm_service.h"

namespace {

using DibPointer = std::unique_ptr<DibImage, DibImageDeleter>;

struct DecodedRows {
  LONG width = 0;
  LONG height = 0;
  int bitCount = 0;
};

// Opens the decoder, asks for the reduced size that the fit allows, and reads the row format.
bool OpenDecoder(CodecFamily family, ImageStream& stream, CodecHandle& handle, SIZE fitted, LONG width, LONG height,
                 DecodedRows& rows) {
  if (stream.Seek(0, 0) != 0) return false;
  if (CallCodec<ImageDecodeInitFn>(family, CodecEntry::kDecodeInit, stream.codecStream(), handle.out()) != 0) {
    return false;
  }
  int divisor = DecodeDivisor(width, height, fitted);
  int32_t requestWidth = std::max<LONG>(width / divisor, 1);
  int32_t requestHeight = std::max<LONG>(height / divisor, 1);
  if (CallCodec<ImageSetDimensionFn>(family, CodecEntry::kDecodeSetDimension, handle.get(), &requestWidth,
                                     &requestHeight) != 0) {
    return false;
  }
  ImageBitmapHeader header{};
  if (CallCodec<ImageGetInfoHeaderFn>(family, CodecEntry::kDecodeGetInfoHeader, handle.get(), &header) != 0) {
    return false;
  }
  bool greyAllowed = family == CodecFamily::kJpeg;
  if (header.bitCount != 24 && !(greyAllowed && header.bitCount == 8)) return false;
  if (header.width <= 0 || header.height <= 0) return false;
  if (family == CodecFamily::kPng) {
    // Rows come ready to use; the information block only tells how many full rows to keep.
    ImagePngInfo info{};
    if (CallCodec<ImageGetPngInfoFn>(family, CodecEntry::kDecodeGetPngInfo, handle.get(), &info) != 0) return false;
  }
  rows = DecodedRows{header.width, header.height < 0 ? -header.height : header.height, header.bitCount};
  return true;
}

void ExpandGrey(const BYTE* grey, BYTE* bgr, LONG width) {
  for (LONG x = 0; x < width; ++x, bgr += 3) bgr[0] = bgr[1] = bgr[2] = grey[x];
}

// Feeds the decoded rows through the resampler into the image.
bool ResampleRows(CodecFamily family, CodecHandle& handle, const DecodedRows& rows, DibImage* image) {
  ResamplerConfig config;
  config.sourceWidth = rows.width;
  config.sourceHeight = rows.height;
  config.sourceStride = rows.width * 3;
  config.destinationWidth = image->header.biWidth;
  config.destinationHeight = image->header.biHeight;
  config.destinationStride = static_cast<int>(DibStride(image));
  config.buffer = DibPixels(image);
  config.bufferRows = image->header.biHeight;
  config.mode = ResampleMode::kArea;
  std::unique_ptr<Resampler> resampler;
  if (Resampler::Create(config, resampler) != resample_result::kOk) return false;
  std::vector<BYTE> row(static_cast<size_t>(rows.width) * 3);
  std::vector<BYTE> grey(rows.bitCount == 8 ? static_cast<size_t>(rows.width) : 0);
  BYTE* target = rows.bitCount == 8 ? grey.data() : row.data();
  for (LONG y = 0; y < rows.height; ++y) {
    int32_t done = 0, reserved = 0;
    if (CallCodec<ImageDecodeScanLinesFn>(family, CodecEntry::kDecodeScanLines, handle.get(), target, 1, &done,
                                          &reserved) != 0) {
      return false;
    }
    if (rows.bitCount == 8) ExpandGrey(grey.data(), row.data(), rows.width);
    if (resampler->PushRow(row.data()) != resample_result::kOk) return false;
  }
  return true;
}

DibImage* DecodeStill(CodecFamily family, ImageStream& stream, SIZE* size) {
  int32_t width = 0, height = 0;
  if (CallCodec<ImageGetInfoFromFileFn>(family, CodecEntry::kGetInfoFromFile, stream.codecStream(), &width, &height,
                                        0) != 0 ||
      width <= 0 || height <= 0) {
    return nullptr;
  }
  SIZE fitted = FitSize(width, height, *size);
  *size = fitted;
  CodecHandle handle(family, CodecEntry::kDecodeUninit);
  DecodedRows rows;
  if (!OpenDecoder(family, stream, handle, fitted, width, height, rows)) return nullptr;
  DibPointer image(CreateDibImage(fitted.cx, fitted.cy, 24));
  if (!image) return nullptr;
  FillDibImage(image.get(), 255, 255, 255);
  if (!ResampleRows(family, handle, rows, image.get())) return nullptr;
  return image.release();
}

}  // namespace

DibImage* DecodeStream(ImageStream& stream, DWORD typeCode, SIZE* size, DWORD flags) {
  if (size == nullptr || size->cx < 1 || size->cy < 1) return nullptr;
  CodecFamily family;
  if (!FamilyOfType(typeCode, family)) return nullptr;
  if (family != CodecFamily::kGif) return DecodeStill(family, stream, size);
  std::unique_ptr<GifPlayer> player = GifPlayer::Open(stream, *size, flags);
  if (!player) return nullptr;
  *size = player->size();
  if (!player->RenderFrame(0)) return nullptr;
  return player->TakeImage();
}

bool IsEngineVideoType(MediaType type) {
  return type == 0x40001 || type == 0x40005 || type == 0x40006;
}

DibImage* DecodeImage(LPCWSTR path, SIZE* size, DWORD typeCode, DWORD flags) {
  if (path == nullptr || path[0] == 0 || size == nullptr || size->cx < 1 || size->cy < 1) return nullptr;
  MediaType type = ResolvePictureType(path, typeCode);
  if (IsEngineVideoType(type)) {
    ULC_VideoEngine* engine = ULC_Global::GetGlobal()->InitVideoInstance();
    return engine == nullptr ? nullptr : Video_LoadFirstFrame(engine, path, size);
  }
  if (type == picture_type::kSvg) {
    // A drawing scales without loss: it fills the box, up or down, with its aspect kept.
    SvgInfo info{};
    if (!GetSvgInfo(path, &info)) return nullptr;
    SIZE fitted = FitSvgSize(info, *size);
    if (fitted.cx < 1) return nullptr;
    *size = fitted;
    return RenderSvgFirstFrame(path, fitted.cx, fitted.cy, flags);
  }
  // Protected pictures are shown through the DRM service only while DRM support is on.
  BOOL isProtected = FALSE;
  const bool shownProtected = SUCCEEDED(FileDrmIsDRM(path, &isProtected)) && isProtected &&
                              GetConfigValue(numeric_setting::kIsSupportDrm) != 0;
  std::unique_ptr<ImageStream> stream =
      ImageStream::OpenFile(path, shownProtected ? image_stream_mode::kProtected : image_stream_mode::kRead);
  if (!stream) return nullptr;
  return DecodeStream(*stream, type, size, flags);
}
