// The EXIF reader: byte-order twins give one record, cut and looping blocks end cleanly, Unicode
// comments keep only their length, every corpus JPEG gives what exiftool found, and the segment
// copy and dimension rewrite keep the block readable.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/exif_reader.h"
#include "engines/jpeg_segments.h"
#include "engines/picture_type.h"
#include "engines/tiff_parser.h"
#include "model/media_types.h"
#include "support/json_value.h"
#include "support/test_device.h"

namespace {

// Writes a TIFF block in either byte order: IFD0 at 8, the EXIF IFD after it, data after that.
class TiffBuilder {
 public:
  explicit TiffBuilder(bool bigEndian) : m_big(bigEndian) {
    m_bytes = bigEndian ? std::string("MM\0\x2A", 4) : std::string("II\x2A\0", 4);
    Put32(m_bytes, 8);
  }
  struct Field {
    uint16_t tag, type;
    uint32_t count;
    std::string data;  // already in the block's byte order
  };
  std::string Short(uint16_t v) const { std::string s; Put16(s, v); return s; }
  std::string Long(uint32_t v) const { std::string s; Put32(s, v); return s; }
  std::string Rational(uint32_t n, uint32_t d) const { return Long(n) + Long(d); }

  // IFD0 and its data, then the EXIF IFD and its data, as cameras lay them out.
  std::string Build(const std::vector<Field>& ifd0, const std::vector<Field>& exif) {
    std::vector<Field> first = ifd0;
    first.push_back({34665, 4, 1, Long(0)});
    std::string out = m_bytes;
    uint32_t firstData = 8 + 2 + 12 * static_cast<uint32_t>(first.size()) + 4;
    uint32_t exifOffset = firstData + DataSize(first);
    first.back().data = Long(exifOffset);
    Directory(out, first, firstData);
    Directory(out, exif, exifOffset + 2 + 12 * static_cast<uint32_t>(exif.size()) + 4);
    return out;
  }

 private:
  static uint32_t DataSize(const std::vector<Field>& fields) {
    uint32_t size = 0;
    for (const Field& f : fields) size += f.data.size() > 4 ? static_cast<uint32_t>(f.data.size()) : 0;
    return size;
  }
  void Directory(std::string& out, const std::vector<Field>& fields, uint32_t dataOffset) const {
    std::string data;
    Put16(out, static_cast<uint16_t>(fields.size()));
    for (const Field& f : fields) {
      Put16(out, f.tag);
      Put16(out, f.type);
      Put32(out, f.count);
      if (f.data.size() <= 4) {
        out += f.data + std::string(4 - f.data.size(), '\0');
      } else {
        Put32(out, dataOffset + static_cast<uint32_t>(data.size()));
        data += f.data;
      }
    }
    Put32(out, 0);
    out += data;
  }
  void Put16(std::string& s, uint16_t v) const {
    s += m_big ? char(v >> 8) : char(v & 0xFF);
    s += m_big ? char(v & 0xFF) : char(v >> 8);
  }
  void Put32(std::string& s, uint32_t v) const {
    for (int i = 0; i < 4; ++i) s += char(v >> (m_big ? 24 - 8 * i : 8 * i));
  }
  bool m_big;
  std::string m_bytes;
};

std::string SampleBlock(bool bigEndian) {
  TiffBuilder b(bigEndian);
  return b.Build({{271, 2, 6, std::string("Maker\0", 6)},
                  {274, 3, 1, b.Short(6)},
                  {282, 5, 1, b.Rational(72, 1)},
                  {306, 2, 20, std::string("2024:01:02 03:04:05\0", 20)}},
                 {{33434, 5, 1, b.Rational(1, 250)},
                  {34855, 3, 2, b.Short(100) + b.Short(200)},
                  {36864, 7, 4, "0230"},
                  {37383, 3, 1, b.Short(5)},
                  {37510, 7, 13, std::string("ASCII\0\0\0hello", 13)},
                  {40962, 3, 1, b.Short(640)},
                  {40963, 4, 1, b.Long(480)}});
}

ExifInfo Parse(const std::string& block, DWORD* mask = nullptr) {
  ExifInfo info;
  EXPECT_EQ(ParseTiff(reinterpret_cast<const BYTE*>(block.data()), static_cast<DWORD>(block.size()), &info, mask), 0);
  return info;
}

TEST(TiffParser, BigAndLittleEndianTwinsGiveTheSameRecord) {
  DWORD bigMask = 0, littleMask = 0;
  ExifInfo big = Parse(SampleBlock(true), &bigMask);
  ExifInfo little = Parse(SampleBlock(false), &littleMask);
  for (const ExifInfo* info : {&big, &little}) {
    EXPECT_EQ(info->kind, 1);
    EXPECT_EQ(info->make, std::string("Maker\0", 6));
    EXPECT_EQ(info->orientation, 6u);
    EXPECT_EQ(info->xResolution, (ExifRational{72, 1}));
    EXPECT_EQ(std::string(info->dateTime->data()), "2024:01:02 03:04:05");
    EXPECT_EQ(info->exposureTime, (ExifRational{1, 250}));
    EXPECT_EQ(info->isoSpeedRatings, (std::vector<uint16_t>{100, 200}));
    EXPECT_EQ(info->exifVersion, (ExifBytes4{'0', '2', '3', '0'}));
    EXPECT_EQ(info->meteringMode, 5);
    EXPECT_EQ(info->userComment, "hello");
    EXPECT_EQ(info->pixelXDimension, 640u);
    EXPECT_EQ(info->pixelYDimension, 480u);
  }
  EXPECT_EQ(bigMask, littleMask);
  EXPECT_EQ(bigMask, exif_mask::kExposureTime | exif_mask::kMeteringMode | exif_mask::kUserComment |
                         exif_mask::kPixelXDimension | exif_mask::kPixelYDimension);
}

TEST(TiffParser, CutBlocksKeepWhatCameBefore) {
  std::string block = SampleBlock(false);
  // Cut in the middle of the EXIF IFD: IFD0 stays whole.
  size_t exifIfd = 8 + 2 + 12 * 5 + 4 + 6 + 8 + 20;
  ExifInfo cut = Parse(block.substr(0, exifIfd + 2 + 12 * 3));
  EXPECT_EQ(cut.orientation, 6u);
  EXPECT_EQ(cut.xResolution, (ExifRational{72, 1}));
  EXPECT_FALSE(cut.pixelXDimension.has_value());
  // Every shorter cut parses cleanly too.
  for (size_t length = 0; length < block.size(); ++length) Parse(block.substr(0, length));
}

TEST(TiffParser, HostileOffsetsEndCleanly) {
  TiffBuilder b(false);
  // The EXIF IFD pointer loops back to IFD0; a text points far outside; a count overflows.
  std::string looping = b.Build({{274, 3, 1, b.Short(3)}}, {});
  looping[8 + 2 + 12 + 8] = 8;  // EXIF IFD offset := IFD0
  ExifInfo info = Parse(looping);
  EXPECT_EQ(info.orientation, 3u);
  std::string outside = b.Build({{271, 2, 50, std::string(50, 'x')}}, {});
  outside[8 + 2 + 8] = '\xF0';
  EXPECT_FALSE(Parse(outside).make.has_value());
  std::string overflow = b.Build({}, {{34855, 3, 0x80000001u, b.Long(0)}});
  EXPECT_FALSE(Parse(overflow).isoSpeedRatings.has_value());
}

TEST(TiffParser, UnicodeCommentsKeepOnlyTheirLength) {
  TiffBuilder b(true);
  DWORD mask = 0;
  ExifInfo info = Parse(b.Build({}, {{37510, 7, 12, std::string("UNICODE\0\0h\0i", 12)}}), &mask);
  EXPECT_FALSE(info.userComment.has_value());
  EXPECT_EQ(info.userCommentLength, 12u);
  EXPECT_EQ(mask, exif_mask::kUserComment);
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.pop_back();
  return text;
}

ExifInfo* ReadCorpusExif(const std::filesystem::path& jpeg, int* code) {
  std::string bytes = test_support::ReadFileBytes(jpeg);
  auto stream = ImageStream::OpenMemory(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  ExifInfo* info = nullptr;
  *code = ReadExif(*stream, &info, kExifRecordWithMask);
  return info;
}

void CompareWithExiftool(const ExifInfo& info, const json_test::Value& expected) {
  const json_test::Value& raw = expected["raw"];
  struct Rational {
    const char* key;
    std::optional<ExifRational> ExifInfo::*field;
  } rationals[] = {{"XResolution", &ExifInfo::xResolution}, {"YResolution", &ExifInfo::yResolution},
                   {"ExposureTime", &ExifInfo::exposureTime}, {"FNumber", &ExifInfo::fNumber},
                   {"CompressedBitsPerPixel", &ExifInfo::compressedBitsPerPixel},
                   {"ShutterSpeedValue", &ExifInfo::shutterSpeedValue}, {"ApertureValue", &ExifInfo::apertureValue},
                   {"BrightnessValue", &ExifInfo::brightnessValue},
                   {"ExposureCompensation", &ExifInfo::exposureBiasValue},
                   {"MaxApertureValue", &ExifInfo::maxApertureValue}, {"SubjectDistance", &ExifInfo::subjectDistance},
                   {"FocalLength", &ExifInfo::focalLength}, {"ExposureIndex", &ExifInfo::exposureIndex}};
  for (const Rational& r : rationals) {
    const std::string& stored = raw[r.key]["rational"].text;
    if (stored.empty()) {
      EXPECT_FALSE((info.*r.field).has_value()) << r.key;
      continue;
    }
    ASSERT_TRUE((info.*r.field).has_value()) << r.key;
    const ExifRational& value = *(info.*r.field);
    // Three of them are signed (SRATIONAL) in EXIF.
    bool isSigned = r.field == &ExifInfo::shutterSpeedValue || r.field == &ExifInfo::brightnessValue ||
                    r.field == &ExifInfo::exposureBiasValue;
    std::string numerator = isSigned ? std::to_string(static_cast<int32_t>(value.numerator)) : std::to_string(value.numerator);
    std::string denominator = isSigned ? std::to_string(static_cast<int32_t>(value.denominator)) : std::to_string(value.denominator);
    EXPECT_EQ(numerator + "/" + denominator, stored) << r.key;
  }
  struct Number {
    const char* key;
    std::optional<uint32_t> ExifInfo::*field;
  } numbers[] = {{"Orientation", &ExifInfo::orientation}, {"ResolutionUnit", &ExifInfo::resolutionUnit},
                 {"YCbCrPositioning", &ExifInfo::yCbCrPositioning}, {"ExposureProgram", &ExifInfo::exposureProgram},
                 {"LightSource", &ExifInfo::lightSource}, {"Flash", &ExifInfo::flash},
                 {"ColorSpace", &ExifInfo::colorSpace}, {"ExifImageWidth", &ExifInfo::pixelXDimension},
                 {"ExifImageHeight", &ExifInfo::pixelYDimension}};
  for (const Number& n : numbers) {
    const json_test::Value& value = expected[n.key];
    if (value.kind != json_test::Value::Kind::kNumber) continue;
    ASSERT_TRUE((info.*n.field).has_value()) << n.key;
    EXPECT_EQ(*(info.*n.field), value.number) << n.key;
  }
  for (auto [key, field] : {std::pair{"Make", &ExifInfo::make}, std::pair{"Model", &ExifInfo::model},
                            std::pair{"Software", &ExifInfo::software}}) {
    const std::string& value = expected[key].text;
    if (!value.empty()) {
      EXPECT_EQ(Trimmed((info.*field).value_or("")), Trimmed(value)) << key;
    }
  }
  const std::string& original = expected["DateTimeOriginal"].text;
  if (!original.empty()) {
    EXPECT_EQ(std::string(info.dateTimeOriginal->data()), original);
  }
  const std::string& version = expected["ExifVersion"].text;
  if (!version.empty()) {
    EXPECT_EQ(std::string(info.exifVersion->begin(), info.exifVersion->end()), version);
  }
}

TEST(ExifReader, EveryCorpusJpegGivesWhatExiftoolFound) {
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test_support::CorpusPath("jpeg"))) {
    std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    const json_test::Value expected =
        json_test::Reader(test_support::ReadFileBytes(test_support::CorpusPath("expected/" + name + ".exif.json"))).Parse();
    ASSERT_FALSE(expected.IsNull());
    int code = 0;
    ExifInfo* info = ReadCorpusExif(entry.path(), &code);
    if (expected["Make"].IsNull() && expected["ExifVersion"].IsNull() && expected["Orientation"].IsNull()) {
      EXPECT_NE(code, 0);  // no EXIF block
      EXPECT_EQ(info, nullptr);
      continue;
    }
    ASSERT_EQ(code, 0);
    CompareWithExiftool(*info, expected);
    FreeExifInfo(info);
    ++compared;
  }
  EXPECT_GE(compared, 18);
}

// A received photo cut anywhere in its headers: the EXIF reader answers only once the whole EXIF
// segment is there, and the segment copy only once the scan has begun; every shorter file is an
// error, never a record made of what happened to be read.
TEST(ExifReader, AJpegCutAnywhereInItsHeadersIsAnErrorUntilTheNeededBytesAreThere) {
  const std::string bytes = test_support::ReadFileBytes(test_support::CorpusPath("jpeg/canon-ixus.jpg"));
  ASSERT_EQ(bytes.substr(0, 4), "\xFF\xD8\xFF\xE1");  // EXIF comes first in this camera's files
  const size_t exifEnd = 4 + ((size_t{static_cast<uint8_t>(bytes[4])} << 8) | static_cast<uint8_t>(bytes[5]));
  // The start-of-scan marker, found by walking the segment lengths.
  size_t scan = 2;
  while (scan + 4 <= bytes.size() && static_cast<uint8_t>(bytes[scan + 1]) != 0xDA) {
    scan += 2 + ((size_t{static_cast<uint8_t>(bytes[scan + 2])} << 8) | static_cast<uint8_t>(bytes[scan + 3]));
  }
  ASSERT_LT(scan, bytes.size());
  for (size_t cut = 0; cut <= scan + 2; ++cut) {
    SCOPED_TRACE(cut);
    auto stream = ImageStream::OpenMemory(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), cut));
    ExifInfo* info = nullptr;
    const int read = ReadExif(*stream, &info, kExifRecordWithMask);
    if (cut >= exifEnd) {
      ASSERT_EQ(read, 0);
      EXPECT_EQ(info->make, std::string("Canon\0", 6));
      FreeExifInfo(info);
    } else {
      EXPECT_EQ(info, nullptr);
      // Ending in the marker scan means no EXIF was found; ending inside the segment, a read error.
      EXPECT_EQ(read, cut < 2 ? exif_error::kRead : cut < 4 ? exif_error::kNoExif : exif_error::kRead);
    }
    std::vector<uint8_t> block;
    EXPECT_EQ(CopyAppSegments(*stream, block) == 0, cut >= scan + 2);
  }
}

// The device reads a file's EXIF only while the setting allows it, and only for a JPEG.
TEST(ExifReader, TheDeviceReadsExifOfJpegFilesWhileTheSettingAllowsIt) {
  test_support::TestDevice device;
  const std::string photo = test_support::ReadFileBytes(test_support::CorpusPath("jpeg/canon-ixus.jpg"));
  test_support::WriteFileBytes(device.Host(u"\\My Documents\\photo.jpg"), photo);
  test_support::WriteFileBytes(device.Host(u"\\My Documents\\photo.gif"), photo);
  ExifInfo* info = reinterpret_cast<ExifInfo*>(1);
  SetConfigValue(numeric_setting::kSupportEXIF, 0, FALSE);
  EXPECT_FALSE(ReadExifInfo(u"\\My Documents\\photo.jpg", &info, media_type::kNone));
  EXPECT_EQ(info, nullptr);
  SetConfigValue(numeric_setting::kSupportEXIF, 1, FALSE);
  EXPECT_FALSE(ReadExifInfo(u"\\My Documents\\photo.gif", &info, media_type::kNone));  // named as a GIF
  EXPECT_FALSE(ReadExifInfo(u"\\My Documents\\missing.jpg", &info, media_type::kNone));
  EXPECT_FALSE(ReadExifInfo(nullptr, &info, media_type::kNone));
  EXPECT_FALSE(ReadExifInfo(u"\\My Documents\\photo.jpg", nullptr, media_type::kNone));
  ASSERT_TRUE(ReadExifInfo(u"\\My Documents\\photo.jpg", &info, media_type::kNone));
  EXPECT_EQ(info->make, std::string("Canon\0", 6));
  FreeExifInfo(info);
  // A type given by the caller wins over the name.
  ASSERT_TRUE(ReadExifInfo(u"\\My Documents\\photo.gif", &info, picture_type::kJpeg));
  FreeExifInfo(info);
}

TEST(JpegSegments, CopiesApplicationSegmentsAndRewritesDimensionsInEitherByteOrder) {
  for (const char* name : {"canon-ixus.jpg", "fujifilm-finepix40i.jpg"}) {  // little- and big-endian
    SCOPED_TRACE(name);
    std::string bytes = test_support::ReadFileBytes(test_support::CorpusPath(std::string("jpeg/") + name));
    auto stream = ImageStream::OpenMemory(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    std::vector<uint8_t> block;
    ASSERT_EQ(CopyAppSegments(*stream, block), 0);
    ASSERT_GT(block.size(), 10u);
    EXPECT_EQ(bytes.substr(2, 4), std::string(block.begin(), block.begin() + 4));  // first segment as stored
    UpdateExifDimensions(block.data(), static_cast<DWORD>(block.size()), 123, 45);
    std::string jpeg = "\xFF\xD8" + std::string(block.begin(), block.end()) + "\xFF\xD9";
    auto copy = ImageStream::OpenMemory(std::span(reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size()));
    ExifInfo* info = nullptr;
    ASSERT_EQ(ReadExif(*copy, &info, kExifRecordOnly), 0);
    EXPECT_EQ(info->pixelXDimension, 123u);
    EXPECT_EQ(info->pixelYDimension, 45u);
    FreeExifInfo(info);
  }
}

TEST(JpegSegments, DqtFirstMeansNothingToCopyAndNoExif) {
  const std::string jpeg("\xFF\xD8\xFF\xDB\x00\x04\x00\x00\xFF\xD9", 10);
  auto stream = ImageStream::OpenMemory(std::span(reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size()));
  std::vector<uint8_t> block{1, 2};
  EXPECT_EQ(CopyAppSegments(*stream, block), 0);
  EXPECT_TRUE(block.empty());
  ExifInfo* info = nullptr;
  EXPECT_EQ(ReadExif(*stream, &info, kExifRecordWithMask), exif_error::kNoExif);
  EXPECT_EQ(info, nullptr);
  const std::string notJpeg("GIF89a", 6);
  auto other = ImageStream::OpenMemory(std::span(reinterpret_cast<const uint8_t*>(notJpeg.data()), notJpeg.size()));
  EXPECT_EQ(CopyAppSegments(*other, block), exif_error::kNotJpeg);
}

// A segment: marker, big-endian length (covering itself) and payload.
std::string Segment(uint8_t code, const std::string& payload) {
  const size_t length = payload.size() + 2;
  return std::string{'\xFF', static_cast<char>(code), static_cast<char>(length >> 8), static_cast<char>(length)} +
         payload;
}

using namespace std::string_literals;

const std::string kXmp = "http://ns.adobe.com/xap/1.0/" + std::string(1, '\0') + "<x:xmpmeta/>";

// The header walks of the EXIF reader and the segment copy over the layouts cameras and editors
// write: XMP before EXIF, fill bytes, restart and TEM markers between segments, comments, Adobe
// and Photoshop segments, and damaged lengths.
TEST(JpegSegments, HeaderLayoutsOfCamerasAndEditors) {
  const std::string exif = Segment(0xE1, std::string("Exif\0\0", 6) + SampleBlock(true));
  const std::string jfif = Segment(0xE0, std::string("JFIF\0\x01\x02\0\0\x01\0\x01\0\0", 14));
  const std::string sof = Segment(0xC0, std::string("\x08\0\x10\0\x10\x01\x01\x11\0", 9));
  const std::string soi = "\xFF\xD8", eoi = "\xFF\xD9";
  struct Case {
    const char* what;
    std::string jpeg;
    int exifResult;              // ReadExif
    int copyResult;              // CopyAppSegments
    std::string copied;          // the block it copies on success
  };
  const Case cases[] = {
      {"JFIF then EXIF", soi + jfif + exif + sof + eoi, 0, 0, jfif + exif},
      {"XMP before EXIF", soi + Segment(0xE1, kXmp) + exif + eoi, 0, 0, Segment(0xE1, kXmp) + exif},
      {"fill bytes before the markers", soi + "\xFF\xFF" + jfif + "\xFF\xFF\xFF" + exif + eoi, 0, 0, jfif + exif},
      {"restart and TEM markers between segments", soi + "\xFF\xD0" + exif + "\xFF\x01" + sof + eoi, 0, 0, exif},
      {"comment, Photoshop and Adobe segments are copied too",
       soi + Segment(0xFE, "made here") + Segment(0xED, "8BIM") + Segment(0xEE, "Adobe\0\x64\0\0\0\0\x01"s) + exif + eoi,
       0, 0, Segment(0xFE, "made here") + Segment(0xED, "8BIM") + Segment(0xEE, "Adobe\0\x64\0\0\0\0\x01"s) + exif},
      {"no EXIF before the frame", soi + jfif + sof + "\xFF\xDA" + eoi, exif_error::kNoExif, 0, jfif},
      {"EXIF after the first scan is not looked for", soi + "\xFF\xDA\0\x02"s + exif + eoi, exif_error::kNoExif, 0, ""},
      {"an APP1 too short for its header", soi + Segment(0xE1, "Exif") + eoi, exif_error::kRead, 0, Segment(0xE1, "Exif")},
      {"a length below two", soi + "\xFF\xE0\0\x01"s + exif + eoi, exif_error::kRead, exif_error::kReadOrSeek, ""},
      {"an EXIF segment cut short", soi + exif.substr(0, 30), exif_error::kRead, exif_error::kReadOrSeek, ""},
      {"not a JPEG", "\x89PNG\r\n\x1A\n" + exif, exif_error::kNotJpeg, exif_error::kNotJpeg, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto stream = ImageStream::OpenMemory(std::span(reinterpret_cast<const uint8_t*>(c.jpeg.data()), c.jpeg.size()));
    ExifInfo* info = nullptr;
    EXPECT_EQ(ReadExif(*stream, &info, kExifRecordWithMask), c.exifResult);
    if (info != nullptr) {
      EXPECT_EQ(info->make, std::string("Maker\0", 6));
      EXPECT_EQ(info->pixelXDimension, 640u);
      FreeExifInfo(info);
    }
    std::vector<uint8_t> block{9};
    EXPECT_EQ(CopyAppSegments(*stream, block), c.copyResult);
    EXPECT_EQ(std::string(block.begin(), block.end()), c.copied);
  }
}

TEST(JpegSegments, DimensionsAreRewrittenOnlyInsideTheExifSegment) {
  TiffBuilder little(false);
  // PixelXDimension as LONG, PixelYDimension as SHORT, in little-endian order.
  const std::string tiff = little.Build({}, {{40962, 4, 1, little.Long(4000)}, {40963, 3, 1, little.Short(3000)}});
  const std::string exif = Segment(0xE1, std::string("Exif\0\0", 6) + tiff);
  struct Case {
    const char* what;
    std::string block;
    bool rewritten;
  };
  const Case cases[] = {
      {"EXIF alone", exif, true},
      {"after XMP and a comment", Segment(0xE1, kXmp) + Segment(0xFE, "c") + exif, true},
      {"after a segment that is not an application segment", Segment(0xDB, "q") + exif, false},
      {"an EXIF segment without an EXIF directory",
       Segment(0xE1, std::string("Exif\0\0", 6) + little.Build({}, {}).substr(0, 26)), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string block = c.block;
    UpdateExifDimensions(reinterpret_cast<BYTE*>(block.data()), static_cast<DWORD>(block.size()), 640, 480);
    if (!c.rewritten) {
      EXPECT_EQ(block, c.block);
      continue;
    }
    std::string jpeg = "\xFF\xD8" + block + "\xFF\xD9";
    auto stream = ImageStream::OpenMemory(std::span(reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size()));
    ExifInfo* info = nullptr;
    ASSERT_EQ(ReadExif(*stream, &info, kExifRecordOnly), 0);
    EXPECT_EQ(info->pixelXDimension, 640u);
    EXPECT_EQ(info->pixelYDimension, 480u);
    FreeExifInfo(info);
  }
  // Nothing is read beyond a block too short to hold a segment.
  std::string cut = exif.substr(0, 3);
  UpdateExifDimensions(reinterpret_cast<BYTE*>(cut.data()), static_cast<DWORD>(cut.size()), 1, 1);
  EXPECT_EQ(cut, exif.substr(0, 3));
}

}  // namespace
