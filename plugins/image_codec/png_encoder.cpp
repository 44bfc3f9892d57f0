// PNG encoding over libpng from a DibImage: 24-bit pictures as RGB, 8-bit pictures as greyscale when
// their palette is the grey ramp, else as a palette picture.
#include <csetjmp>

#include <png.h>

#include "codec_io.h"

namespace image_codec {
namespace {

struct PngEncoder {
  explicit PngEncoder(ImageCodecStream* stream) : io(stream) {}
  ~PngEncoder() {
    if (png != nullptr) png_destroy_write_struct(&png, &info);
  }
  PngEncoder(const PngEncoder&) = delete;
  PngEncoder& operator=(const PngEncoder&) = delete;

  StreamIo io;
  png_structp png = nullptr;
  png_infop info = nullptr;
  DibView picture;
  std::vector<png_color> colours;  // kept here: libpng may jump out of the function that fills it
  int32_t height = 0;
  int32_t nextRow = 0;
  bool started = false;
  bool failed = false;
};

void WriteData(png_structp png, png_bytep data, size_t length) {
  auto* io = static_cast<StreamIo*>(png_get_io_ptr(png));
  if (length > UINT32_MAX || !io->Write(data, static_cast<uint32_t>(length))) png_error(png, "write failed");
}

void FlushData(png_structp) {}

void IgnoreWarning(png_structp, png_const_charp) {}

// Errors jump back to the entry point quietly; the caller reports failure.
[[noreturn]] void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

bool IsGreyRamp(const std::vector<uint8_t>& palette) {
  if (palette.size() != 256 * 4) return false;
  for (size_t i = 0; i < 256; ++i) {
    if (palette[i * 4] != i || palette[i * 4 + 1] != i || palette[i * 4 + 2] != i) return false;
  }
  return true;
}

int32_t Start(PngEncoder& encoder) {
  encoder.colours.resize(encoder.picture.palette.size() / 4);
  if (setjmp(png_jmpbuf(encoder.png))) return kFailed;
  const DibView& picture = encoder.picture;
  auto width = static_cast<png_uint_32>(picture.header.width);
  auto height = static_cast<png_uint_32>(encoder.height);
  if (picture.header.bitCount == 24) {
    png_set_IHDR(encoder.png, encoder.info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_bgr(encoder.png);
  } else if (IsGreyRamp(picture.palette)) {
    png_set_IHDR(encoder.png, encoder.info, width, height, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  } else {
    png_set_IHDR(encoder.png, encoder.info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color>& colours = encoder.colours;
    for (size_t i = 0; i < colours.size(); ++i) {
      colours[i] = png_color{picture.palette[i * 4 + 2], picture.palette[i * 4 + 1], picture.palette[i * 4]};
    }
    png_set_PLTE(encoder.png, encoder.info, colours.data(), static_cast<int>(colours.size()));
  }
  png_write_info(encoder.png, encoder.info);
  encoder.started = true;
  return kOk;
}

int32_t WriteRow(PngEncoder& encoder, const uint8_t* pixels) {
  if (setjmp(png_jmpbuf(encoder.png))) return kFailed;
  png_write_row(encoder.png, pixels);
  ++encoder.nextRow;
  return kOk;
}

int32_t Finish(PngEncoder& encoder) {
  if (setjmp(png_jmpbuf(encoder.png))) return kFailed;
  if (!encoder.started || encoder.nextRow != encoder.height) return kFailed;
  png_write_end(encoder.png, nullptr);
  return kOk;
}

}  // namespace

IMAGE_CODEC_EXPORT int32_t PNG_EncodeInit(ImageStreamArg stream, const void* dibImage, ImageCodecHandle* handle) {
  if (handle == nullptr) return kFailed;
  *handle = nullptr;
  auto encoder = std::make_unique<PngEncoder>(stream);
  encoder->picture = ReadDibView(dibImage);
  if (!encoder->io.Valid() || !encoder->picture.valid) return kFailed;
  encoder->height = encoder->picture.header.height < 0 ? -encoder->picture.header.height : encoder->picture.header.height;
  encoder->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, IgnoreWarning);
  if (encoder->png == nullptr) return kFailed;
  encoder->info = png_create_info_struct(encoder->png);
  if (encoder->info == nullptr) return kFailed;
  png_set_write_fn(encoder->png, &encoder->io, WriteData, FlushData);
  *handle = ReleaseToHandle(std::move(encoder));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t PNG_EncodeSetColorTab(ImageCodecHandle handle, const uint8_t* palette, int32_t entries) {
  auto* encoder = static_cast<PngEncoder*>(handle);
  if (encoder == nullptr || encoder->started || palette == nullptr || entries < 1 || entries > 256) return kFailed;
  encoder->picture.palette.assign(palette, palette + entries * 4);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t PNG_EncodeScanLines(ImageCodecHandle handle, int32_t rowFromTop, int32_t rows,
                                               const uint8_t* pixels, int32_t) {
  auto* encoder = static_cast<PngEncoder*>(handle);
  if (encoder == nullptr || encoder->failed || rows != 1 || pixels == nullptr) return kFailed;
  if ((!encoder->started && Start(*encoder) != kOk) || rowFromTop != encoder->nextRow ||
      WriteRow(*encoder, pixels) != kOk) {
    encoder->failed = true;
    return kFailed;
  }
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t PNG_EncodeUninit(ImageCodecHandle handle) {
  if (handle == nullptr) return kFailed;
  std::unique_ptr<PngEncoder> encoder = TakeFromHandle<PngEncoder>(handle);
  if (encoder->failed) return kFailed;
  return Finish(*encoder);
}

}  // namespace image_codec
