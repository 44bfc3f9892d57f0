#include "engines/exif_reader.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/jpeg_segments.h"
#include "engines/picture_type.h"
#include "engines/tiff_parser.h"

namespace {

using namespace jpeg_marker;

bool ReadByte(ImageStream& stream, uint8_t& byte) { return stream.ReadExact(&byte, 1); }

bool ReadLength(ImageStream& stream, uint16_t& length) {
  uint8_t bytes[2];
  if (!stream.ReadExact(bytes, 2)) return false;
  length = static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
  return true;
}

// Reads the TIFF block of an APP1 segment whose length field comes next. kNoExif when the segment
// is some other APP1 (XMP, for one), which the scan then passes over.
int ReadTiffBlock(ImageStream& stream, std::vector<uint8_t>& block) {
  uint16_t length = 0;
  uint8_t header[6];
  if (!ReadLength(stream, length) || length < 8) return exif_error::kRead;
  if (!stream.ReadExact(header, sizeof header)) return exif_error::kRead;
  if (std::memcmp(header, "Exif\0\0", 6) != 0) {
    return stream.Seek(length - 8, 2) == 0 ? exif_error::kNoExif : exif_error::kSeek;
  }
  block.resize(length - 8u);
  return stream.ReadExact(block.data(), static_cast<DWORD>(block.size())) ? 0 : exif_error::kRead;
}

// The marker scan: one byte at a time; at 0xFF the marker code. DQT, SOS and EOI end it without
// EXIF, APP1 "Exif" ends it with the block, other segments with a length are passed over.
int FindTiffBlock(ImageStream& stream, std::vector<uint8_t>& block) {
  uint8_t byte = 0;
  while (ReadByte(stream, byte)) {
    if (byte != 0xFF) continue;
    uint8_t code = 0xFF;
    while (code == 0xFF) {
      if (!ReadByte(stream, code)) return exif_error::kNoExif;
    }
    if (code == kDqt || code == kSos || code == kEoi) return exif_error::kNoExif;
    if (code == kApp1) {
      int result = ReadTiffBlock(stream, block);
      if (result != exif_error::kNoExif) return result;
    } else if ((code >= 0xE0 && code <= 0xEF) || code == kCom) {
      uint16_t length = 0;
      if (!ReadLength(stream, length) || length < 2) return exif_error::kRead;
      if (stream.Seek(length - 2, 2) != 0) return exif_error::kSeek;
    }
  }
  return exif_error::kNoExif;
}

}  // namespace

void FreeExifInfo(ExifInfo* info) {
  if (info == nullptr || (info->kind != 1 && info->kind != 2)) return;
  delete info;
}

int ReadExif(ImageStream& stream, ExifInfo** info, int mode) {
  if (info == nullptr) return exif_error::kOutOfMemory;
  *info = nullptr;
  std::unique_ptr<ExifInfo> record(new (std::nothrow) ExifInfo);
  if (!record) return exif_error::kOutOfMemory;
  if (stream.Seek(0, 0) != 0) return exif_error::kSeek;
  uint8_t soi[2];
  if (!stream.ReadExact(soi, 2)) return exif_error::kRead;
  if (soi[0] != 0xFF || soi[1] != kSoi) return exif_error::kNotJpeg;
  std::vector<uint8_t> block;
  if (int result = FindTiffBlock(stream, block); result != 0) return result;
  DWORD* mask = mode == kExifRecordWithMask ? &record->mask : nullptr;
  if (ParseTiff(block.data(), static_cast<DWORD>(block.size()), record.get(), mask) != 0) {
    return exif_error::kOutOfMemory;
  }
  *info = record.release();
  return 0;
}

BOOL ReadExifInfo(LPCWSTR path, ExifInfo** info, DWORD typeCode) {
  if (info == nullptr) return FALSE;
  *info = nullptr;
  if (GetConfigValue(numeric_setting::kSupportEXIF) == 0 || path == nullptr) return FALSE;
  if (ResolvePictureType(path, typeCode) != picture_type::kJpeg) return FALSE;
  std::unique_ptr<ImageStream> stream = ImageStream::OpenFile(path, image_stream_mode::kProtectedMeasure);
  if (!stream) return FALSE;
  return ReadExif(*stream, info, kExifRecordWithMask) == 0 ? TRUE : FALSE;
}
