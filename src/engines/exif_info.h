// The EXIF record of a camera picture: the IFD0 and EXIF IFD fields the picture properties keep,
// each present or absent, and the presence mask of the properties dialog.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win_types.h"

struct ExifRational {
  uint32_t numerator = 0;
  uint32_t denominator = 0;
  friend bool operator==(const ExifRational&, const ExifRational&) = default;
};

// Bits of the presence mask.
namespace exif_mask {
constexpr DWORD kUserComment = 0x1;
constexpr DWORD kFlash = 0x8;
constexpr DWORD kLightSource = 0x20;
constexpr DWORD kExposureProgram = 0x40;
constexpr DWORD kColorSpace = 0x80;
constexpr DWORD kShutterSpeedValue = 0x200;
constexpr DWORD kFNumber = 0x400;
constexpr DWORD kApertureValue = 0x800;
constexpr DWORD kCompressedBitsPerPixel = 0x1000;
constexpr DWORD kExposureTime = 0x2000;
constexpr DWORD kBrightnessValue = 0x8000;
constexpr DWORD kExposureBiasValue = 0x10000;
constexpr DWORD kMaxApertureValue = 0x20000;
constexpr DWORD kSubjectDistance = 0x40000;
constexpr DWORD kMeteringMode = 0x80000;
constexpr DWORD kExposureIndex = 0x200000;
constexpr DWORD kComponentsConfiguration = 0x2000000;
constexpr DWORD kFlashpixVersion = 0x4000000;
constexpr DWORD kPixelXDimension = 0x8000000;
constexpr DWORD kPixelYDimension = 0x10000000;
}  // namespace exif_mask

using ExifDate = std::array<char, 20>;   // "YYYY:MM:DD HH:MM:SS" and its terminator, as stored
using ExifBytes4 = std::array<uint8_t, 4>;

struct ExifInfo {
  int kind = 0;  // 1 once parsing has begun

  // Texts hold exactly the stored bytes (the stored terminator included when there is one).
  std::optional<std::string> make;              // 271
  std::optional<std::string> model;             // 272
  std::optional<std::string> imageDescription;  // 270
  std::optional<std::string> software;          // 305
  std::optional<std::string> copyright;         // 33432
  std::optional<std::string> makerNote;         // 37500, raw bytes
  // 37510: the text after the 8-byte character code; a Unicode comment keeps only its length.
  std::optional<std::string> userComment;
  uint32_t userCommentLength = 0;
  bool userCommentUnicode = false;

  std::optional<ExifDate> dateTime;           // 306
  std::optional<ExifDate> dateTimeOriginal;   // 36867
  std::optional<ExifDate> dateTimeDigitized;  // 36868

  std::optional<ExifBytes4> exifVersion;              // 36864
  std::optional<ExifBytes4> componentsConfiguration;  // 37121
  std::optional<ExifBytes4> flashpixVersion;          // 40960

  std::optional<uint32_t> orientation;       // 274
  std::optional<uint32_t> resolutionUnit;    // 296
  std::optional<uint32_t> yCbCrPositioning;  // 531
  std::optional<uint32_t> exposureProgram;   // 34850
  std::optional<uint16_t> meteringMode;      // 37383
  std::optional<uint32_t> lightSource;       // 37384
  std::optional<uint32_t> flash;             // 37385
  std::optional<uint32_t> colorSpace;        // 40961
  std::optional<uint32_t> pixelXDimension;   // 40962
  std::optional<uint32_t> pixelYDimension;   // 40963

  std::optional<ExifRational> xResolution;             // 282
  std::optional<ExifRational> yResolution;             // 283
  std::optional<ExifRational> exposureTime;            // 33434
  std::optional<ExifRational> fNumber;                 // 33437
  std::optional<ExifRational> compressedBitsPerPixel;  // 37122
  std::optional<ExifRational> shutterSpeedValue;       // 37377
  std::optional<ExifRational> apertureValue;           // 37378
  std::optional<ExifRational> brightnessValue;         // 37379
  std::optional<ExifRational> exposureBiasValue;       // 37380
  std::optional<ExifRational> maxApertureValue;        // 37381
  std::optional<ExifRational> subjectDistance;         // 37382
  std::optional<ExifRational> focalLength;             // 37386
  std::optional<ExifRational> exposureIndex;           // 41493

  std::optional<std::vector<uint16_t>> isoSpeedRatings;  // 34855

  DWORD mask = 0;  // filled only when the reader was asked for it
};

// Frees a record made by ReadExif or ReadExifInfo; a record whose kind is neither 1 nor 2 is left
// alone, as is null.
void FreeExifInfo(ExifInfo* info);
