// The EXIF reader: byte-order twins give one record, cut and looping blocks end cleanly, Unicode
// comments keep only their length, every corpus JPEG gives what exiftool found, and the segment
// copy and dimension rewrite keep the block readable.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engines/exif_reader.h"
#include "engines/jpeg_segments.h"
#include "engines/tiff_parser.h"
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

}  // namespace
