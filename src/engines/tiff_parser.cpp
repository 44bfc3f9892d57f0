#include "engines/tiff_parser.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// TIFF field types and their sizes in bytes (BYTE, ASCII, SHORT, LONG, RATIONAL, SBYTE, UNDEFINED,
// SSHORT, SLONG, SRATIONAL, FLOAT, DOUBLE); unknown types count as one byte.
uint64_t TypeSize(uint16_t type) {
  switch (type) {
    case 3:
    case 8:
      return 2;
    case 4:
    case 9:
    case 11:
      return 4;
    case 5:
    case 10:
    case 12:
      return 8;
    default:
      return 1;
  }
}

constexpr uint16_t kShort = 3;
constexpr uint16_t kExifIfdPointer = 34665;

// One 12-byte directory entry: tag 16, type 16, count 32, value or offset 32.
struct Entry {
  uint16_t tag = 0;
  uint16_t type = 0;
  uint32_t count = 0;
  uint64_t byteCount = 0;
  uint64_t valueOffset = 0;  // where the entry's value field is
  uint64_t dataOffset = 0;   // where the data is: the value field itself, or the offset it holds
};

enum class Step { kContinue, kStop };

class IfdParser {
 public:
  IfdParser(const TiffCursor& cursor, ExifInfo& info, DWORD& mask) : m_cursor(cursor), m_info(info), m_mask(mask) {}

  // Walks the entries of the directory at `offset`; returns false when the parse must end.
  bool Walk(uint32_t offset, bool exifDirectory) {
    std::optional<uint16_t> count = m_cursor.U16(offset);
    if (!count) return false;
    for (uint32_t i = 0; i < *count; ++i) {
      uint64_t at = uint64_t{offset} + 2 + uint64_t{i} * 12;
      if (!m_cursor.Contains(at, 12)) return false;
      Entry entry = ReadEntry(at);
      Step step = exifDirectory ? ExifTag(entry) : Ifd0Tag(entry);
      if (step == Step::kStop) return false;
    }
    return true;
  }

  std::optional<uint32_t> exifOffset() const { return m_exifOffset; }

 private:
  Entry ReadEntry(uint64_t at) const {
    Entry entry;
    entry.tag = *m_cursor.U16(at);
    entry.type = *m_cursor.U16(at + 2);
    entry.count = *m_cursor.U32(at + 4);
    entry.byteCount = entry.count * TypeSize(entry.type);
    entry.valueOffset = at + 8;
    entry.dataOffset = entry.byteCount <= 4 ? entry.valueOffset : *m_cursor.U32(at + 8);
    return entry;
  }

  // A number in the value field: 16 bits for a SHORT, else 32.
  uint32_t Number(const Entry& entry) const {
    return entry.type == kShort ? *m_cursor.U16(entry.valueOffset) : *m_cursor.U32(entry.valueOffset);
  }

  Step Text(const Entry& entry, std::optional<std::string>& field) {
    if (!m_cursor.Contains(entry.dataOffset, entry.byteCount)) return Step::kStop;
    field.emplace(reinterpret_cast<const char*>(m_cursor.At(entry.dataOffset)), static_cast<size_t>(entry.byteCount));
    return Step::kContinue;
  }

  Step Date(const Entry& entry, std::optional<ExifDate>& field) {
    uint64_t count = std::min<uint64_t>(entry.byteCount, 20);
    if (!m_cursor.Contains(entry.dataOffset, count)) return Step::kStop;
    ExifDate date{};
    std::memcpy(date.data(), m_cursor.At(entry.dataOffset), static_cast<size_t>(count));
    field = date;
    return Step::kContinue;
  }

  Step Rational(const Entry& entry, std::optional<ExifRational>& field, DWORD bit = 0) {
    std::optional<uint32_t> numerator = m_cursor.U32(entry.dataOffset);
    std::optional<uint32_t> denominator = m_cursor.U32(entry.dataOffset + 4);
    if (!numerator || !denominator) return Step::kStop;
    field = ExifRational{*numerator, *denominator};
    m_mask |= bit;
    return Step::kContinue;
  }

  template <typename T>
  Step NumberField(const Entry& entry, std::optional<T>& field, DWORD bit = 0) {
    field = static_cast<T>(Number(entry));
    m_mask |= bit;
    return Step::kContinue;
  }

  Step Bytes4(const Entry& entry, std::optional<ExifBytes4>& field, DWORD bit) {
    ExifBytes4 bytes{};
    std::memcpy(bytes.data(), m_cursor.At(entry.valueOffset), 4);
    field = bytes;
    m_mask |= bit;
    return Step::kContinue;
  }

  Step IsoSpeed(const Entry& entry) {
    uint64_t bytes = uint64_t{entry.count} * 2;
    uint64_t at = bytes <= 4 ? entry.valueOffset : entry.dataOffset;
    if (!m_cursor.Contains(at, bytes)) return Step::kStop;
    std::vector<uint16_t> values(entry.count);
    for (uint32_t i = 0; i < entry.count; ++i) values[i] = *m_cursor.U16(at + uint64_t{i} * 2);
    m_info.isoSpeedRatings = std::move(values);
    return Step::kContinue;
  }

  // The first 8 bytes name the character code; only non-Unicode comments keep their text.
  Step UserComment(const Entry& entry) {
    if (!m_cursor.Contains(entry.dataOffset, entry.byteCount)) return Step::kStop;
    m_info.userCommentLength = entry.count;
    m_mask |= exif_mask::kUserComment;
    if (entry.byteCount < 8) return Step::kContinue;
    const char* data = reinterpret_cast<const char*>(m_cursor.At(entry.dataOffset));
    static const char kUnicode[] = "unicode";
    m_info.userCommentUnicode = std::equal(kUnicode, kUnicode + 7, data, [](char a, char b) {
      return a == static_cast<char>(std::tolower(static_cast<unsigned char>(b)));
    });
    if (!m_info.userCommentUnicode) m_info.userComment.emplace(data + 8, static_cast<size_t>(entry.byteCount - 8));
    return Step::kContinue;
  }

  Step Ifd0Tag(const Entry& entry) {
    switch (entry.tag) {
      case 270: return Text(entry, m_info.imageDescription);
      case 271: return Text(entry, m_info.make);
      case 272: return Text(entry, m_info.model);
      case 305: return Text(entry, m_info.software);
      case 33432: return Text(entry, m_info.copyright);
      case 306: return Date(entry, m_info.dateTime);
      case 274: return NumberField(entry, m_info.orientation);
      case 531: return NumberField(entry, m_info.yCbCrPositioning);
      case 296: return NumberField(entry, m_info.resolutionUnit);
      case 282: return Rational(entry, m_info.xResolution);
      case 283: return Rational(entry, m_info.yResolution);
      case kExifIfdPointer:
        m_exifOffset = Number(entry);
        return Step::kContinue;
      default: return Step::kContinue;
    }
  }

  Step ExifTag(const Entry& entry) {
    namespace m = exif_mask;
    switch (entry.tag) {
      case 33434: return Rational(entry, m_info.exposureTime, m::kExposureTime);
      case 33437: return Rational(entry, m_info.fNumber, m::kFNumber);
      case 37122: return Rational(entry, m_info.compressedBitsPerPixel, m::kCompressedBitsPerPixel);
      case 37377: return Rational(entry, m_info.shutterSpeedValue, m::kShutterSpeedValue);
      case 37378: return Rational(entry, m_info.apertureValue, m::kApertureValue);
      case 37379: return Rational(entry, m_info.brightnessValue, m::kBrightnessValue);
      case 37380: return Rational(entry, m_info.exposureBiasValue, m::kExposureBiasValue);
      case 37381: return Rational(entry, m_info.maxApertureValue, m::kMaxApertureValue);
      case 37382: return Rational(entry, m_info.subjectDistance, m::kSubjectDistance);
      case 37386: return Rational(entry, m_info.focalLength);
      case 41493: return Rational(entry, m_info.exposureIndex, m::kExposureIndex);
      case 34850: return NumberField(entry, m_info.exposureProgram, m::kExposureProgram);
      case 37383: return NumberField(entry, m_info.meteringMode, m::kMeteringMode);
      case 37384: return NumberField(entry, m_info.lightSource, m::kLightSource);
      case 37385: return NumberField(entry, m_info.flash, m::kFlash);
      // The dimension and colour tags are also known in their byte-swapped forms, which some
      // writers produced.
      case 40961: case 0x01A0: return NumberField(entry, m_info.colorSpace, m::kColorSpace);
      case 40962: case 0x02A0: return NumberField(entry, m_info.pixelXDimension, m::kPixelXDimension);
      case 40963: case 0x03A0: return NumberField(entry, m_info.pixelYDimension, m::kPixelYDimension);
      case 40960: case 0x00A0: return Bytes4(entry, m_info.flashpixVersion, m::kFlashpixVersion);
      case 36864: return Bytes4(entry, m_info.exifVersion, 0);
      case 37121: return Bytes4(entry, m_info.componentsConfiguration, m::kComponentsConfiguration);
      case 36867: return Date(entry, m_info.dateTimeOriginal);
      case 36868: return Date(entry, m_info.dateTimeDigitized);
      case 34855: return IsoSpeed(entry);
      case 37500: return Text(entry, m_info.makerNote);
      case 37510: return UserComment(entry);
      default: return Step::kContinue;
    }
  }

  const TiffCursor& m_cursor;
  ExifInfo& m_info;
  DWORD& m_mask;
  std::optional<uint32_t> m_exifOffset;
};

}  // namespace

TiffCursor TiffCursor::ForBlock(std::span<const uint8_t> block) {
  bool little = block.size() >= 2 && block[0] == 'I' && block[1] == 'I';
  return TiffCursor(block, !little);
}

std::optional<uint16_t> TiffCursor::U16(uint64_t offset) const {
  if (!Contains(offset, 2)) return std::nullopt;
  const uint8_t* p = At(offset);
  return static_cast<uint16_t>(m_bigEndian ? (p[0] << 8) | p[1] : p[0] | (p[1] << 8));
}

std::optional<uint32_t> TiffCursor::U32(uint64_t offset) const {
  if (!Contains(offset, 4)) return std::nullopt;
  const uint8_t* p = At(offset);
  uint32_t a = p[0], b = p[1], c = p[2], d = p[3];
  return m_bigEndian ? (a << 24) | (b << 16) | (c << 8) | d : a | (b << 8) | (c << 16) | (d << 24);
}

int ParseTiff(const BYTE* block, DWORD length, ExifInfo* info, DWORD* mask) {
  if (info == nullptr) return 0;
  *info = ExifInfo{};
  info->kind = 1;
  DWORD bits = 0;
  try {
    TiffCursor cursor = TiffCursor::ForBlock(std::span<const uint8_t>(block, block == nullptr ? 0 : length));
    IfdParser parser(cursor, *info, bits);
    std::optional<uint32_t> ifd0 = cursor.U32(4);
    if (ifd0 && parser.Walk(*ifd0, false) && parser.exifOffset()) parser.Walk(*parser.exifOffset(), true);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  info->kind = 1;
  if (mask != nullptr) *mask = bits;
  return 0;
}
