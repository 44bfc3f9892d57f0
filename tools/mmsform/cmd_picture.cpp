// mmsform picture: what the codec adapter reads from a picture (type, size, depth, frames, GIF play
// time, EXIF fields), resizing a picture as the compose form does, and decoding one into a box to
// look at it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "command.h"
#include "device_file.h"
#include "device_writing.h"
#include "engines/dib_image.h"
#include "engines/exif_reader.h"
#include "engines/gif_player.h"
#include "engines/image_convert.h"
#include "engines/image_decode.h"
#include "engines/image_encode.h"
#include "engines/image_info.h"
#include "engines/picture_type.h"
#include "engines/svg_library.h"
#include "transport/mms_global.h"
#include "json_writer.h"
#include "mm1/file_io.h"
#include "platform/kernel/device.h"
#include "platform/kernel/temporary_files.h"
#include "platform/text/text_conversion.h"

namespace mmsform_tool {
namespace {

constexpr int kUsageError = 2;

namespace fs = std::filesystem;

// A host picture as the device reads it (see DeviceInput), with a reason when it cannot be read.
class PictureInput {
 public:
  explicit PictureInput(const fs::path& host) : m_input(host) {
    std::error_code error;
    // Anything but a plain file (a FIFO would block the reader for ever) is refused unread.
    if (!fs::is_regular_file(host, error)) m_problem = host.string() + " is not a readable file";
  }

  LPCWSTR path() const { return m_input.path(); }
  // Why the picture cannot be read at all; empty when it can be tried.
  const std::string& problem() const { return m_problem; }

 private:
  DeviceInput m_input;
  std::string m_problem;
};

// A picture the device writes for a host file: first under a temporary name (in the output's own
// folder when that lies on the device, else under "\Temp\"), then renamed over the host file, so
// that the file is never seen half written. Removed unless committed.
class PictureOutput {
 public:
  explicit PictureOutput(const fs::path& host) : m_host(host) {
    std::error_code error;
    fs::path absolute = fs::absolute(host, error);
    std::string suffix = platform::TemporarySuffix() + host.extension().string();
    if (auto path = platform::DevicePathOf(absolute)) {
      m_devicePath = *path + platform::Utf8ToUtf16(suffix);
    } else {
      m_devicePath = u"\\Temp\\picture-out" + platform::Utf8ToUtf16(suffix);
    }
    if (auto target = platform::HostPath(m_devicePath)) {
      fs::create_directories(target->parent_path(), error);
      m_temporary = *target;
    }
  }
  ~PictureOutput() {
    std::error_code error;
    if (!m_temporary.empty()) fs::remove(m_temporary, error);
  }
  PictureOutput(const PictureOutput&) = delete;
  PictureOutput& operator=(const PictureOutput&) = delete;

  LPCWSTR path() const { return m_devicePath.c_str(); }
  // Puts what the device wrote in place of the host file; *error says why not.
  bool Commit(std::string* error) {
    std::error_code renameError;
    fs::rename(m_temporary, m_host, renameError);
    if (!renameError) {
      m_temporary.clear();
      return true;
    }
    // Another file system: a copy beside the host file, then renamed over it.
    std::string bytes;
    if (!ReadAll(m_temporary, &bytes)) {
      *error = "cannot read the written picture back" + StorageCause();
      return false;
    }
    auto span = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    if (mm1::Status written = mm1::WriteFileAtomically(m_host, span); !written) {
      *error = written.Failure().message;
      return false;
    }
    return true;
  }

 private:
  static bool ReadAll(const fs::path& file, std::string* bytes) {
    std::ifstream in(file, std::ios::binary);
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad() && in.eof();
  }

  fs::path m_host;
  std::u16string m_devicePath;
  fs::path m_temporary;
};

void Rational(JsonWriter& json, const char* key, const std::optional<ExifRational>& value, bool isSigned = false) {
  if (!value) return;
  json.Key(key).BeginArray();
  if (isSigned) {
    json.Int(static_cast<int32_t>(value->numerator)).Int(static_cast<int32_t>(value->denominator));
  } else {
    json.Uint(value->numerator).Uint(value->denominator);
  }
  json.EndArray();
}

void Number(JsonWriter& json, const char* key, const std::optional<uint32_t>& value) {
  if (value) json.Key(key).Uint(*value);
}

// Stored text up to its terminator.
void Text(JsonWriter& json, const char* key, const std::optional<std::string>& value) {
  if (value) json.Key(key).String(std::string(value->c_str()));
}

void Date(JsonWriter& json, const char* key, const std::optional<ExifDate>& value) {
  if (value) json.Key(key).String(std::string(value->data(), strnlen(value->data(), value->size())));
}

void Bytes(JsonWriter& json, const char* key, const std::optional<ExifBytes4>& value) {
  if (!value) return;
  json.Key(key).BeginArray();
  for (uint8_t byte : *value) json.Uint(byte);
  json.EndArray();
}

void WriteExif(JsonWriter& json, const ExifInfo& info) {
  json.Key("exif").BeginObject();
  Text(json, "Make", info.make);
  Text(json, "Model", info.model);
  Text(json, "ImageDescription", info.imageDescription);
  Text(json, "Software", info.software);
  Text(json, "Copyright", info.copyright);
  Date(json, "DateTime", info.dateTime);
  Date(json, "DateTimeOriginal", info.dateTimeOriginal);
  Date(json, "DateTimeDigitized", info.dateTimeDigitized);
  Number(json, "Orientation", info.orientation);
  Number(json, "ResolutionUnit", info.resolutionUnit);
  Number(json, "YCbCrPositioning", info.yCbCrPositioning);
  Rational(json, "XResolution", info.xResolution);
  Rational(json, "YResolution", info.yResolution);
  Rational(json, "ExposureTime", info.exposureTime);
  Rational(json, "FNumber", info.fNumber);
  Number(json, "ExposureProgram", info.exposureProgram);
  if (info.isoSpeedRatings) {
    json.Key("ISOSpeedRatings").BeginArray();
    for (uint16_t value : *info.isoSpeedRatings) json.Uint(value);
    json.EndArray();
  }
  Bytes(json, "ExifVersion", info.exifVersion);
  Bytes(json, "ComponentsConfiguration", info.componentsConfiguration);
  Rational(json, "CompressedBitsPerPixel", info.compressedBitsPerPixel);
  Rational(json, "ShutterSpeedValue", info.shutterSpeedValue, true);
  Rational(json, "ApertureValue", info.apertureValue);
  Rational(json, "BrightnessValue", info.brightnessValue, true);
  Rational(json, "ExposureBiasValue", info.exposureBiasValue, true);
  Rational(json, "MaxApertureValue", info.maxApertureValue);
  Rational(json, "SubjectDistance", info.subjectDistance);
  if (info.meteringMode) json.Key("MeteringMode").Uint(*info.meteringMode);
  Number(json, "LightSource", info.lightSource);
  Number(json, "Flash", info.flash);
  Rational(json, "FocalLength", info.focalLength);
  Text(json, "UserComment", info.userComment);
  Bytes(json, "FlashpixVersion", info.flashpixVersion);
  Number(json, "ColorSpace", info.colorSpace);
  Number(json, "PixelXDimension", info.pixelXDimension);
  Number(json, "PixelYDimension", info.pixelYDimension);
  Rational(json, "ExposureIndex", info.exposureIndex);
  json.Key("mask").Uint(info.mask);
  json.EndObject();
}

int Info(const char* file) {
  PictureInput input(file);
  if (!input.problem().empty()) {
    std::fprintf(stderr, "mmsform: %s\n", input.problem().c_str());
    return 1;
  }
  MediaType type = ResolvePictureType(input.path(), media_type::kNone);
  SIZE size{};
  int bitCount = 0;
  if (!GetImageInfo(input.path(), &size, &bitCount, type)) {
    std::fprintf(stderr, "mmsform: cannot read the picture %s\n", file);
    return 1;
  }
  JsonWriter json;
  json.BeginObject().Key("type").Uint(type).Key("width").Int(size.cx).Key("height").Int(size.cy);
  json.Key("bitCount").Int(bitCount);
  int frames = 1;
  auto stream = ImageStream::OpenFile(input.path(), image_stream_mode::kRead);
  if (type == picture_type::kGif && stream) {
    if (auto player = GifPlayer::Open(*stream, SIZE{1, 1}, 0)) frames = player->frameCount();
    json.Key("frames").Int(frames).Key("duration").Int(GetGifDuration(input.path()));
  } else {
    json.Key("frames").Int(frames);
  }
  ExifInfo* exif = nullptr;
  if (type == picture_type::kJpeg && stream && ReadExif(*stream, &exif, kExifRecordWithMask) == 0) {
    WriteExif(json, *exif);
    FreeExifInfo(exif);
  }
  json.EndObject();
  std::printf("%s\n", json.Text().c_str());
  return 0;
}

bool ParseSize(const char* width, const char* height, LONG& w, LONG& h) {
  char* end = nullptr;
  w = std::strtol(width, &end, 10);
  if (*end != 0 || w < 0) return false;
  h = std::strtol(height, &end, 10);
  return *end == 0 && h >= 0;
}

int Resize(std::span<char* const> args) {
  LONG width = 0, height = 0;
  int quality = 90;
  if (args.size() == 7 && std::string(args[5]) == "--quality") quality = std::atoi(args[6]);
  if ((args.size() != 5 && args.size() != 7) || !ParseSize(args[3], args[4], width, height) || quality < 1 ||
      quality > 100) {
    return kUsageError;
  }
  PictureInput input(args[1]);
  if (!input.problem().empty()) {
    std::fprintf(stderr, "mmsform: %s\n", input.problem().c_str());
    return 1;
  }
  CleanUpTemporaryFiles();
  PictureOutput output(args[2]);
  MediaType type = ResolvePictureType(input.path(), media_type::kNone);
  SIZE size{};
  if (!GetImageInfo(input.path(), &size, nullptr, type)) {
    std::fprintf(stderr, "mmsform: cannot read the picture %s\n", args[1]);
    return 1;
  }
  // A resized picture keeps its format, so the output's name must say that format.
  MediaType named = ResolvePictureType(output.path(), media_type::kNone);
  if (named != media_type::kNone && named != type) {
    std::fprintf(stderr, "mmsform: %s would not hold a picture of the input's format; name it like the input\n", args[2]);
    return 1;
  }
  // A picture that needs no scaling is left alone: the codecs would copy its bytes unread.
  if (width >= size.cx && height >= size.cy) {
    std::fprintf(stderr, "mmsform: the picture already fits in %ld x %ld; nothing was written\n", static_cast<long>(width),
                 static_cast<long>(height));
    return 1;
  }
  std::string error;
  if (!ResizeImageFile(input.path(), output.path(), width, height, quality)) {
    std::fprintf(stderr, "mmsform: the picture could not be resized%s\n", StorageCause().c_str());
    return 1;
  }
  if (!output.Commit(&error)) {
    std::fprintf(stderr, "mmsform: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

// Decodes into the box and writes what the views would show, as PNG or BMP by the output name.
int Fit(std::span<char* const> args) {
  LONG width = 0, height = 0;
  if (args.size() != 5 || !ParseSize(args[3], args[4], width, height) || width < 1 || height < 1) return kUsageError;
  PictureInput input(args[1]);
  PictureOutput output(args[2]);
  MediaType outputType = ResolvePictureType(output.path(), media_type::kNone);
  if (outputType != picture_type::kPng && outputType != picture_type::kBmp) return kUsageError;
  if (!input.problem().empty()) {
    std::fprintf(stderr, "mmsform: %s\n", input.problem().c_str());
    return 1;
  }
  CleanUpTemporaryFiles();
  SIZE box{width, height};
  std::unique_ptr<DibImage, DibImageDeleter> image(DecodeImage(input.path(), &box, media_type::kNone, 0xFFFFFFFF));
  // A video that plays without a picture answers with the no-still marker.
  if (image.get() == reinterpret_cast<DibImage*>(static_cast<intptr_t>(-1))) image.reset();
  if (!image) {
    std::fprintf(stderr, "mmsform: cannot decode %s\n", args[1]);
    return 1;
  }
  std::string error;
  if (!EncodeImage(image.get(), output.path(), outputType, 90, nullptr, 0)) {
    std::fprintf(stderr, "mmsform: cannot write %s%s\n", args[2], StorageCause().c_str());
    return 1;
  }
  if (!output.Commit(&error)) {
    std::fprintf(stderr, "mmsform: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

int Dispatch(std::span<char* const> args) {
  if (args.size() == 2 && std::string(args[0]) == "info") return Info(args[1]);
  if (!args.empty() && std::string(args[0]) == "resize") {
    if (int status = Resize(args); status != kUsageError) return status;
  }
  if (!args.empty() && std::string(args[0]) == "fit") {
    if (int status = Fit(args); status != kUsageError) return status;
  }
  std::fprintf(stderr,
               "usage: mmsform picture info FILE\n"
               "       mmsform picture resize IN OUT WIDTH HEIGHT [--quality Q]\n"
               "       mmsform picture fit IN OUT.png|OUT.bmp WIDTH HEIGHT\n");
  return kUsageError;
}

// Videos go through the engine and SVG through the SVG library: both are released before the end,
// as the module's shut-down does.
int RunPicture(std::span<char* const> args) {
  int status = Dispatch(args);
  ULC_Global::GetGlobal()->UnloadEngineModule();
  DestroySvgContext();
  return status;
}

const Command kPictureCommand("picture", "picture info|resize|fit ...   pictures through the codec adapter", RunPicture);

}  // namespace
}  // namespace mmsform_tool
