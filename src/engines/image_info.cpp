#include "engines/image_info.h"

#include <algorithm>
#include <memory>

#include "engines/codec_module.h"
#include "engines/image_decode.h"
#include "engines/image_stream.h"
#include "engines/media_engine_adapter.h"
#include "engines/picture_type.h"
#include "engines/svg_library.h"

namespace {

BOOL GifInfo(ImageStream& stream, SIZE* size, int* bitCount) {
  CodecHandle handle(CodecFamily::kGif, CodecEntry::kDecodeUninit);
  ImageGifGlobalInfo global{};
  ImageGifFrameInfo frame{};
  if (CallCodec<ImageDecodeInitFn>(CodecFamily::kGif, CodecEntry::kDecodeInit, stream.codecStream(), handle.out()) != 0 ||
      CallCodec<ImageGifGetGlobInfoFn>(CodecFamily::kGif, CodecEntry::kDecodeGetGlobInfo, handle.get(), &global) != 0 ||
      CallCodec<ImageGifSetFrameIndexFn>(CodecFamily::kGif, CodecEntry::kDecodeSetFrameIndex, handle.get(), 0) != 0 ||
      CallCodec<ImageGifGetFrameInfoFn>(CodecFamily::kGif, CodecEntry::kDecodeGetFrameInfo, handle.get(), &frame) != 0) {
    return FALSE;
  }
  *size = SIZE{global.screenWidth, global.screenHeight};
  if (bitCount != nullptr) *bitCount = std::max(global.bitsPerPixel, frame.bitsPerPixel);
  return TRUE;
}

BOOL StillInfo(CodecFamily family, ImageStream& stream, SIZE* size, int* bitCount) {
  CodecHandle handle(family, CodecEntry::kDecodeUninit);
  ImageBitmapHeader header{};
  if (CallCodec<ImageDecodeInitFn>(family, CodecEntry::kDecodeInit, stream.codecStream(), handle.out()) != 0 ||
      CallCodec<ImageGetInfoHeaderFn>(family, CodecEntry::kDecodeGetInfoHeader, handle.get(), &header) != 0) {
    return FALSE;
  }
  *size = SIZE{header.width, header.height < 0 ? -header.height : header.height};
  if (bitCount != nullptr) *bitCount = header.bitCount;
  return TRUE;
}

BOOL VideoInfo(LPCWSTR path, SIZE* size, int* bitCount) {
  ULC_VideoEngine* engine = ULC_Global::GetGlobal()->InitVideoInstance();
  int32_t width = 0, height = 0;
  if (engine == nullptr || !Video_GetVideoInfo(engine, path, &width, &height, nullptr, 0)) return FALSE;
  *size = SIZE{width, height};
  if (bitCount != nullptr) *bitCount = 24;
  return TRUE;
}

}  // namespace

BOOL GetImageInfo(LPCWSTR path, SIZE* size, int* bitCount, DWORD typeCode) {
  if (path == nullptr || path[0] == 0 || size == nullptr) return FALSE;
  MediaType type = ResolvePictureType(path, typeCode);
  if (IsEngineVideoType(type)) return VideoInfo(path, size, bitCount);
  if (type == picture_type::kSvg) {
    SvgInfo info{};
    if (!GetSvgInfo(path, &info)) return FALSE;
    *size = SIZE{info.width, info.height};
    if (bitCount != nullptr) *bitCount = 24;
    return TRUE;
  }
  CodecFamily family;
  if (!FamilyOfType(type, family)) return FALSE;
  std::unique_ptr<ImageStream> stream = ImageStream::OpenFile(path, image_stream_mode::kProtectedMeasure);
  if (!stream) return FALSE;
  return family == CodecFamily::kGif ? GifInfo(*stream, size, bitCount) : StillInfo(family, *stream, size, bitCount);
}

LONG GetGifDuration(LPCWSTR path) {
  std::unique_ptr<ImageStream> stream = ImageStream::OpenFile(path, image_stream_mode::kProtectedMeasure);
  if (!stream) return -1;
  int32_t hundredths = 0;
  if (CallCodec<ImageGifGetDurationFn>(CodecFamily::kGif, CodecEntry::kGetDuration, stream->codecStream(),
                                       &hundredths) != 0) {
    return -1;
  }
  return hundredths * 10;
}
