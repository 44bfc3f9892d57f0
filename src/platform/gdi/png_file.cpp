#include "platform/gdi/png_file.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gdi/drawing_libraries.h"
#include "platform/kernel/temporary_files.h"

namespace platform::gdi {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

void SetError(std::string* error, const std::string& text) {
  if (error) {
    *error = text;
  }
}

constexpr const char* kNoLibrary = "the PNG library cannot be loaded";

// Writes the PNG into an open file; false with *error when a write failed.
bool WritePngTo(const PngFunctions& png, std::FILE* file, const Surface& surface, const std::filesystem::path& path,
                std::string* error);

}  // namespace

// The picture goes to a temporary file beside `path` and is renamed over it: a kill or a full disk
// leaves the file that was there before, never a part of a new one.
bool WritePng(const Surface& surface, const std::filesystem::path& path, std::string* error) {
  if (!surface.IsValid()) {
    SetError(error, "empty surface");
    return false;
  }
  const PngFunctions* png = Png();
  if (png == nullptr) {
    SetError(error, kNoLibrary);
    return false;
  }
  std::filesystem::path temporary = path;
  temporary += TemporarySuffix();
  UniqueFile file(std::fopen(temporary.c_str(), "wbx"));
  if (!file) {
    SetError(error, "cannot create " + path.string() + ": " + std::strerror(errno));
    return false;
  }
  bool written = WritePngTo(*png, file.get(), surface, path, error);
  if (std::fclose(file.release()) != 0 && written) {
    SetError(error, "cannot write " + path.string() + ": " + std::strerror(errno));
    written = false;
  }
  if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
    SetError(error, "cannot write " + path.string() + ": " + std::strerror(errno));
    written = false;
  }
  if (!written) std::remove(temporary.c_str());
  return written;
}

namespace {

bool WritePngTo(const PngFunctions& png, std::FILE* file, const Surface& surface, const std::filesystem::path& path,
                std::string* error) {
  png_structp writer = png.createWriteStruct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = writer ? png.createInfoStruct(writer) : nullptr;
  if (!info) {
    png.destroyWriteStruct(&writer, nullptr);
    SetError(error, "out of memory");
    return false;
  }
  std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 3);
  // What png_jmpbuf does, through the loaded library.
  if (setjmp(*png.setLongJump(writer, std::longjmp, sizeof(std::jmp_buf)))) {
    png.destroyWriteStruct(&writer, &info);
    SetError(error, "cannot write " + path.string() + ": " + std::strerror(errno));
    return false;
  }
  png.initIo(writer, file);
  png.setHeader(writer, info, static_cast<png_uint_32>(surface.Width()), static_cast<png_uint_32>(surface.Height()), 8,
                PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png.writeInfo(writer, info);
  for (int y = 0; y < surface.Height(); ++y) {
    const BYTE* source = surface.Row(y);
    for (int x = 0; x < surface.Width(); ++x) {
      row[x * 3] = source[x * 3 + 2];
      row[x * 3 + 1] = source[x * 3 + 1];
      row[x * 3 + 2] = source[x * 3];
    }
    png.writeRow(writer, row.data());
  }
  png.writeEnd(writer, nullptr);
  png.destroyWriteStruct(&writer, &info);
  if (std::fflush(file) != 0) {
    SetError(error, "cannot write " + path.string() + ": " + std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace

std::optional<Surface> ReadPng(const std::filesystem::path& path, std::string* error) {
  const PngFunctions* png = Png();
  if (png == nullptr) {
    SetError(error, kNoLibrary);
    return std::nullopt;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png->imageBeginReadFromFile(&image, path.c_str())) {
    SetError(error, image.message);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_BGR;
  if (static_cast<std::int64_t>(image.width) * image.height > kMaxSurfacePixels) {
    png->imageFree(&image);
    SetError(error, "picture too large");
    return std::nullopt;
  }
  Surface surface(static_cast<int>(image.width), static_cast<int>(image.height), false, false);
  if (!surface.IsValid() ||
      !png->imageFinishRead(&image, nullptr, surface.Bits(), surface.Stride(), nullptr)) {
    SetError(error, image.message);
    png->imageFree(&image);
    return std::nullopt;
  }
  return surface;
}

}  // namespace platform::gdi
