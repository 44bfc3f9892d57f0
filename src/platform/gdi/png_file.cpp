#include "platform/gdi/png_file.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

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

}  // namespace

bool WritePng(const Surface& surface, const std::filesystem::path& path, std::string* error) {
  if (!surface.IsValid()) {
    SetError(error, "empty surface");
    return false;
  }
  UniqueFile file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    SetError(error, "cannot create " + path.string());
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    SetError(error, "out of memory");
    return false;
  }
  std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    SetError(error, "cannot write " + path.string());
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()), static_cast<png_uint_32>(surface.Height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < surface.Height(); ++y) {
    const BYTE* source = surface.Row(y);
    for (int x = 0; x < surface.Width(); ++x) {
      row[x * 3] = source[x * 3 + 2];
      row[x * 3 + 1] = source[x * 3 + 1];
      row[x * 3 + 2] = source[x * 3];
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file.get()) != 0) {
    SetError(error, "cannot write " + path.string());
    return false;
  }
  return true;
}

std::optional<Surface> ReadPng(const std::filesystem::path& path, std::string* error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    SetError(error, image.message);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_BGR;
  if (static_cast<std::int64_t>(image.width) * image.height > kMaxSurfacePixels) {
    png_image_free(&image);
    SetError(error, "picture too large");
    return std::nullopt;
  }
  Surface surface(static_cast<int>(image.width), static_cast<int>(image.height), false, false);
  if (!surface.IsValid() ||
      !png_image_finish_read(&image, nullptr, surface.Bits(), surface.Stride(), nullptr)) {
    SetError(error, image.message);
    png_image_free(&image);
    return std::nullopt;
  }
  return surface;
}

}  // namespace platform::gdi
