#include "engines/image_convert.h"

#include <memory>
#include <string>
#include <vector>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/dib_image.h"
#include "engines/gif_resize.h"
#include "engines/image_decode.h"
#include "engines/image_encode.h"
#include "engines/image_info.h"
#include "engines/image_stream.h"
#include "engines/jpeg_segments.h"
#include "engines/picture_type.h"
#include "model/drm_handling.h"
#include "platform/kernel/file_api.h"
#include "platform/text/cstring.h"

namespace {

using DibPointer = std::unique_ptr<DibImage, DibImageDeleter>;

// An 8-bit copy of a grey 24-bit picture with the grey ramp as its palette.
DibPointer ToGrey(const DibImage* image) {
  DibPointer grey(CreateDibImage(image->header.biWidth, image->header.biHeight, 8));
  if (!grey) return grey;
  RGBQUAD* palette = DibPalette(grey.get());
  for (int i = 0; i < 256; ++i) palette[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
  for (LONG y = 0; y < image->header.biHeight; ++y) {
    const BYTE* in = DibRowFromTop(image, y);
    BYTE* out = DibRowFromTop(grey.get(), y);
    for (LONG x = 0; x < image->header.biWidth; ++x) out[x] = in[x * 3 + 1];
  }
  return grey;
}

// The source's segments with the new size written into its EXIF block; empty when there are none.
std::vector<uint8_t> ExifSegments(LPCWSTR source, SIZE size) {
  std::vector<uint8_t> block;
  std::unique_ptr<ImageStream> stream = ImageStream::OpenFile(source, image_stream_mode::kProtectedMeasure);
  if (!stream || CopyAppSegments(*stream, block) != 0) return {};
  UpdateExifDimensions(block.data(), static_cast<DWORD>(block.size()), size.cx, size.cy);
  return block;
}

BOOL ConvertJpeg(LPCWSTR destination, LPCWSTR source, SIZE size, int quality) {
  SIZE original{};
  int bitCount = 24;
  if (!GetImageInfo(source, &original, &bitCount, picture_type::kJpeg)) return FALSE;
  DibPointer image(DecodeImage(source, &size, picture_type::kJpeg, 0xFFFFFF));
  if (!image) return FALSE;
  std::vector<uint8_t> segments;
  if (GetConfigValue(numeric_setting::kSupportEXIF) != 0) segments = ExifSegments(source, size);
  const BYTE* exif = segments.empty() ? nullptr : segments.data();
  if (bitCount != 24) {
    DibPointer grey = ToGrey(image.get());
    if (!grey) return FALSE;
    return EncodeImage(grey.get(), destination, picture_type::kJpeg, quality, exif, static_cast<DWORD>(segments.size()));
  }
  return EncodeImage(image.get(), destination, picture_type::kJpeg, quality, exif, static_cast<DWORD>(segments.size()));
}

BOOL ConvertStill(LPCWSTR destination, LPCWSTR source, SIZE size, MediaType type, int quality) {
  DibPointer image(DecodeImage(source, &size, type, 0xFFFFFF));
  if (!image) return FALSE;
  return EncodeImage(image.get(), destination, type, quality, nullptr, 0);
}

bool Empty(LPCWSTR path) { return path == nullptr || path[0] == 0; }

// "<name>_temp<extension>" beside the file.
std::u16string TemporarySibling(LPCWSTR path) {
  std::u16string name(path);
  size_t dot = name.find_last_of(u'.');
  size_t separator = name.find_last_of(u"\\/");
  if (dot == std::u16string::npos || (separator != std::u16string::npos && dot < separator)) dot = name.size();
  return name.substr(0, dot) + u"_temp" + name.substr(dot);
}

}  // namespace

BOOL ConvertImage(LPCWSTR destination, LPCWSTR source, SIZE size, DWORD typeCode, int quality) {
  if (Empty(destination) || Empty(source) || size.cx < 1 || size.cy < 1) return FALSE;
  if (CString(destination).CompareNoCase(source) == 0) return FALSE;
  switch (ResolvePictureType(source, typeCode)) {
    case picture_type::kJpeg: return ConvertJpeg(destination, source, size, quality);
    case picture_type::kGif: return ResizeGif(destination, source, size);
    case picture_type::kPng: return ConvertStill(destination, source, size, picture_type::kPng, quality);
    case picture_type::kBmp: return ConvertStill(destination, source, size, picture_type::kBmp, quality);
    case picture_type::kWbmp: return ConvertStill(destination, source, size, picture_type::kWbmp, 90);
    default: return FALSE;
  }
}

BOOL ResizeImageFile(LPCWSTR source, LPCWSTR destination, LONG width, LONG height, int quality) {
  if (Empty(source) || Empty(destination) || (width == 0 && height == 0)) return FALSE;
  // A protected picture is never written out again in the clear.
  if (DrmStatus(source, 1, nullptr) != kDrmNotProtected) return FALSE;
  MediaType type = ResolvePictureType(source, media_type::kNone);
  SIZE picture{};
  if (GetImageInfo(source, &picture, nullptr, type) && width > picture.cx && height > picture.cy) return FALSE;
  return ConvertImage(destination, source, SIZE{width, height}, type, quality);
}

BOOL ResizeImageInPlace(LPCWSTR path, LONG width, LONG height, int quality) {
  if (Empty(path)) return FALSE;
  std::u16string temporary = TemporarySibling(path);
  BOOL resized = ResizeImageFile(path, temporary.c_str(), width, height, quality);
  // The resized copy goes over the original without deleting it first, so that a failed copy
  // leaves the original picture in place.
  if (resized) {
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    resized = CopyFileW(temporary.c_str(), path, FALSE);
  }
  DeleteFileW(temporary.c_str());
  return resized;
}
