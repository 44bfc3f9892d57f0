#include "engines/image_encode.h"

#include <memory>
#include <string>

#include "engines/codec_module.h"
#include "engines/image_stream.h"
#include "engines/picture_type.h"
#include "platform/kernel/file_api.h"

namespace {

bool WriteRows(CodecFamily family, const DibImage* image, const CodecHandle& handle) {
  for (LONG row = 0; row < image->header.biHeight; ++row) {
    if (CallCodec<ImageEncodeScanLinesFn>(family, CodecEntry::kEncodeScanLines, handle.get(), row, 1,
                                          DibRowFromTop(image, row), 0) != 0) {
      return false;
    }
  }
  return true;
}

bool Encode(CodecFamily family, const DibImage* image, ImageStream& stream, int quality, const BYTE* exifData,
            DWORD exifLength) {
  CodecHandle handle(family, CodecEntry::kEncodeUninit);
  if (CallCodec<ImageEncodeInitFn>(family, CodecEntry::kEncodeInit, stream.codecStream(), image, handle.out()) != 0) {
    return false;
  }
  if (family == CodecFamily::kJpeg) {
    if (CallCodec<ImageSetQualityFn>(family, CodecEntry::kEncodeSetQuality, handle.get(), quality) != 0) return false;
    if (exifData != nullptr && exifLength > 0 &&
        CallCodec<ImageSetExifDataFn>(family, CodecEntry::kEncodeSetExifData, handle.get(), exifData, exifLength) != 0) {
      return false;
    }
  } else if (image->header.biBitCount == 8 && family != CodecFamily::kWbmp) {
    auto* palette = reinterpret_cast<const BYTE*>(DibPalette(const_cast<DibImage*>(image)));
    if (CallCodec<ImageSetColorTabFn>(family, CodecEntry::kEncodeSetColorTab, handle.get(), palette,
                                      static_cast<int32_t>(image->header.biClrUsed)) != 0) {
      return false;
    }
  }
  if (!WriteRows(family, image, handle)) return false;
  return handle.Close() == 0;
}

std::u16string JpegSibling(LPCWSTR path) {
  std::u16string name(path);
  size_t dot = name.find_last_of(u'.');
  size_t separator = name.find_last_of(u"\\/");
  if (dot != std::u16string::npos && (separator == std::u16string::npos || dot > separator)) name.resize(dot);
  return name + u".jpg";
}

}  // namespace

BOOL EncodeImage(const DibImage* image, LPCWSTR path, DWORD typeCode, int quality, const BYTE* exifData,
                 DWORD exifLength) {
  if (image == nullptr || path == nullptr || path[0] == 0) return FALSE;
  MediaType type = ResolvePictureType(path, typeCode);
  if (media_type::KindOf(type) != media_type::kImage) return FALSE;
  std::u16string target(path);
  if (type == picture_type::kGif) {
    target = JpegSibling(path);
    type = picture_type::kJpeg;
    exifData = nullptr;
  }
  CodecFamily family;
  if (!FamilyOfType(type, family)) return FALSE;
  bool written = false;
  {
    std::unique_ptr<ImageStream> stream = ImageStream::OpenFile(target.c_str(), image_stream_mode::kWrite);
    if (!stream) return FALSE;
    written = Encode(family, image, *stream, quality, exifData, exifLength);
  }
  if (!written) DeleteFileW(target.c_str());
  return written ? TRUE : FALSE;
}
