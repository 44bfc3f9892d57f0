#include "png_reference.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace codec_test {
namespace {

struct Source {
  const std::string* bytes;
  size_t position = 0;
};

void WriteToMemory(png_structp png, png_bytep data, size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void Flush(png_structp) {}

void ReadFromMemory(png_structp png, png_bytep data, size_t length) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (source->position + length > source->bytes->size()) png_error(png, "short");
  std::memcpy(data, source->bytes->data() + source->position, length);
  source->position += length;
}

}  // namespace

ReferencePng ReadReferencePng(const std::string& bytes) {
  ReferencePng result;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return result;
  }
  Source source{&bytes};
  std::vector<uint8_t> rgba;
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return ReferencePng{};
  }
  png_set_read_fn(png, &source, ReadFromMemory);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_gray_to_rgb(png);
  png_set_strip_16(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  rgba.resize(size_t{width} * height * 4);
  for (png_uint_32 y = 0; y < height; ++y) rows.push_back(&rgba[size_t{width} * 4 * y]);
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  for (size_t i = 0; i < rgba.size(); i += 4) {
    result.rgb.insert(result.rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    result.alpha.push_back(rgba[i + 3]);
  }
  result.ok = true;
  return result;
}

std::vector<uint8_t> OverWhite(const ReferencePng& png) {
  std::vector<uint8_t> blended(png.rgb.size());
  for (size_t i = 0; i < png.rgb.size(); ++i) {
    const unsigned alpha = png.alpha[i / 3];
    blended[i] = static_cast<uint8_t>((png.rgb[i] * alpha + 255 * (255 - alpha) + 127) / 255);
  }
  return blended;
}

std::string WriteTestPng(int width, int height, int colorType, const std::vector<uint8_t>& samples,
                         int transparentGrey) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, WriteToMemory, Flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, colorType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color_16 grey{};
  grey.gray = static_cast<png_uint_16>(transparentGrey);
  if (transparentGrey >= 0) png_set_tRNS(png, info, nullptr, 0, &grey);
  png_write_info(png, info);
  const size_t rowBytes = samples.size() / static_cast<size_t>(height);
  for (int y = 0; y < height; ++y) {
    png_write_row(png, const_cast<png_bytep>(&samples[rowBytes * static_cast<size_t>(y)]));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace codec_test
