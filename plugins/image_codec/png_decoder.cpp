// PNG decoding over libpng. Every colour type comes out as 24-bit blue-green-red rows, top first:
// palettes and low grey depths are expanded, 16-bit samples cut to 8, and transparency (an alpha
// channel or a tRNS chunk) composited over white, the background every decoded picture is drawn
// on. Interlaced pictures are decoded whole on the first row request (within the pixel limit).
#include <algorithm>
#include <csetjmp>

#include <png.h>

#include "codec_io.h"

namespace image_codec {
namespace {

constexpr png_alloc_size_t kMaxChunkBytes = 8 * 1024 * 1024;

struct PngDecoder {
  explicit PngDecoder(ImageCodecStream* stream) : io(stream) {}
  ~PngDecoder() {
    if (png != nullptr) png_destroy_read_struct(&png, &info, nullptr);
  }
  PngDecoder(const PngDecoder&) = delete;
  PngDecoder& operator=(const PngDecoder&) = delete;

  StreamIo io;
  png_structp png = nullptr;
  png_infop info = nullptr;
  ImagePngInfo fileInfo{};
  std::vector<uint8_t> wholeImage;  // interlaced pictures only, with alpha
  std::vector<png_bytep> rowPointers;
  std::vector<uint8_t> alphaRow;    // one row with alpha, before it is composited
  uint32_t nextRow = 0;
};

void ReadData(png_structp png, png_bytep data, size_t length) {
  auto* io = static_cast<StreamIo*>(png_get_io_ptr(png));
  if (length > UINT32_MAX || !io->Read(data, static_cast<uint32_t>(length))) png_error(png, "read failed");
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Errors jump back to the entry point quietly; the caller reports failure.
[[noreturn]] void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Rows come out as blue, green, red and alpha: pictures without transparency get an opaque alpha.
void SetTransforms(png_structp png, const ImagePngInfo& fileInfo) {
  if (fileInfo.colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (fileInfo.hasTransparency) png_set_tRNS_to_alpha(png);
  if ((fileInfo.colorType & PNG_COLOR_MASK_COLOR) == 0) {
    if (fileInfo.bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
  }
  png_set_strip_16(png);
  if ((fileInfo.colorType & PNG_COLOR_MASK_ALPHA) == 0 && !fileInfo.hasTransparency) {
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  }
  png_set_bgr(png);
}

// Blends one row of blue, green, red and alpha over white into blue, green, red.
void CompositeOverWhite(const uint8_t* withAlpha, uint8_t* row, size_t width) {
  for (size_t x = 0; x < width; ++x) {
    const unsigned alpha = withAlpha[x * 4 + 3];
    for (size_t c = 0; c < 3; ++c) {
      row[x * 3 + c] = static_cast<uint8_t>((withAlpha[x * 4 + c] * alpha + 255 * (255 - alpha) + 127) / 255);
    }
  }
}

int32_t OpenDecoder(PngDecoder& decoder) {
  if (!decoder.io.Valid()) return kFailed;
  decoder.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, IgnoreWarning);
  if (decoder.png == nullptr) return kFailed;
  decoder.info = png_create_info_struct(decoder.png);
  if (decoder.info == nullptr) return kFailed;
  if (setjmp(png_jmpbuf(decoder.png))) return kFailed;
  png_set_read_fn(decoder.png, &decoder.io, ReadData);
  png_set_user_limits(decoder.png, IMAGE_CODEC_MAX_DIMENSION, IMAGE_CODEC_MAX_DIMENSION);
  png_set_chunk_malloc_max(decoder.png, kMaxChunkBytes);
  png_read_info(decoder.png, decoder.info);
  ImagePngInfo& fileInfo = decoder.fileInfo;
  fileInfo.width = png_get_image_width(decoder.png, decoder.info);
  fileInfo.height = png_get_image_height(decoder.png, decoder.info);
  if (!WithinLimits(fileInfo.width, fileInfo.height)) return kFailed;
  fileInfo.bitDepth = png_get_bit_depth(decoder.png, decoder.info);
  fileInfo.colorType = png_get_color_type(decoder.png, decoder.info);
  fileInfo.interlaced = png_get_interlace_type(decoder.png, decoder.info) != PNG_INTERLACE_NONE;
  fileInfo.channels = png_get_channels(decoder.png, decoder.info);
  fileInfo.hasTransparency = png_get_valid(decoder.png, decoder.info, PNG_INFO_tRNS) != 0;
  png_colorp palette = nullptr;
  int entries = 0;
  if (png_get_PLTE(decoder.png, decoder.info, &palette, &entries) != 0) fileInfo.paletteEntries = entries;
  fileInfo.rowBuffers = 1;
  SetTransforms(decoder.png, fileInfo);
  if (fileInfo.interlaced) png_set_interlace_handling(decoder.png);
  png_read_update_info(decoder.png, decoder.info);
  return png_get_rowbytes(decoder.png, decoder.info) == size_t{fileInfo.width} * 4 ? kOk : kFailed;
}

// libpng jumps out of these on an error, so nothing here may own memory: the buffers belong to the
// decoder.
int32_t ReadNextRow(PngDecoder& decoder, uint8_t* row) {
  if (setjmp(png_jmpbuf(decoder.png))) return kFailed;
  png_read_row(decoder.png, row, nullptr);
  return kOk;
}

int32_t ReadWholeImage(PngDecoder& decoder) {
  if (setjmp(png_jmpbuf(decoder.png))) return kFailed;
  png_read_image(decoder.png, decoder.rowPointers.data());
  return kOk;
}

int32_t ReadRow(PngDecoder& decoder, uint8_t* row) {
  const ImagePngInfo& fileInfo = decoder.fileInfo;
  if (decoder.nextRow >= fileInfo.height) return kFailed;
  size_t rowBytes = size_t{fileInfo.width} * 4;
  const uint8_t* withAlpha = nullptr;
  if (!fileInfo.interlaced) {
    decoder.alphaRow.resize(rowBytes);
    if (ReadNextRow(decoder, decoder.alphaRow.data()) != kOk) return kFailed;
    withAlpha = decoder.alphaRow.data();
  } else {
    if (decoder.wholeImage.empty()) {
      decoder.wholeImage.resize(rowBytes * fileInfo.height);
      decoder.rowPointers.resize(fileInfo.height);
      for (uint32_t y = 0; y < fileInfo.height; ++y) decoder.rowPointers[y] = &decoder.wholeImage[rowBytes * y];
      if (ReadWholeImage(decoder) != kOk) return kFailed;
    }
    withAlpha = &decoder.wholeImage[rowBytes * decoder.nextRow];
  }
  CompositeOverWhite(withAlpha, row, fileInfo.width);
  ++decoder.nextRow;
  return kOk;
}

}  // namespace

IMAGE_CODEC_EXPORT int32_t PNG_DecodeInit(ImageStreamArg stream, ImageCodecHandle* handle) {
  if (handle == nullptr) return kFailed;
  *handle = nullptr;
  auto decoder = std::make_unique<PngDecoder>(stream);
  if (OpenDecoder(*decoder) != kOk) return kFailed;
  *handle = ReleaseToHandle(std::move(decoder));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t PNG_DecodeUninit(ImageCodecHandle handle) {
  if (handle == nullptr) return kFailed;
  TakeFromHandle<PngDecoder>(handle);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t PNG_DecodeGetInfoHeader(ImageCodecHandle handle, ImageBitmapHeader* header) {
  if (handle == nullptr || header == nullptr) return kFailed;
  const ImagePngInfo& fileInfo = static_cast<PngDecoder*>(handle)->fileInfo;
  FillBitmapHeader(*header, static_cast<int32_t>(fileInfo.width), static_cast<int32_t>(fileInfo.height), 24);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t PNG_DecodeGetColorTab(ImageCodecHandle handle, uint8_t* buffer, uint32_t* byteCount) {
  auto* decoder = static_cast<PngDecoder*>(handle);
  if (decoder == nullptr || buffer == nullptr || byteCount == nullptr) return kFailed;
  png_colorp palette = nullptr;
  int entries = 0;
  png_get_PLTE(decoder->png, decoder->info, &palette, &entries);
  uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(entries), *byteCount / 4);
  for (uint32_t i = 0; i < count; ++i) {
    buffer[i * 4] = palette[i].blue;
    buffer[i * 4 + 1] = palette[i].green;
    buffer[i * 4 + 2] = palette[i].red;
    buffer[i * 4 + 3] = 0;
  }
  *byteCount = count * 4;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t PNG_DecodeGetPngInfo(ImageCodecHandle handle, ImagePngInfo* info) {
  if (handle == nullptr || info == nullptr) return kFailed;
  *info = static_cast<PngDecoder*>(handle)->fileInfo;
  return kOk;
}

// PNG has no reduced decode: the full size is what the caller gets.
IMAGE_CODEC_EXPORT int32_t PNG_DecodeSetDimension(ImageCodecHandle handle, int32_t* width, int32_t* height) {
  if (handle == nullptr || width == nullptr || height == nullptr) return kFailed;
  const ImagePngInfo& fileInfo = static_cast<PngDecoder*>(handle)->fileInfo;
  *width = static_cast<int32_t>(fileInfo.width);
  *height = static_cast<int32_t>(fileInfo.height);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t PNG_DecodeScanLines(ImageCodecHandle handle, uint8_t* row, int32_t rows,
                                               int32_t* rowsDone, int32_t*) {
  if (handle == nullptr || row == nullptr || rows != 1) return kFailed;
  if (ReadRow(*static_cast<PngDecoder*>(handle), row) != kOk) return kFailed;
  if (rowsDone != nullptr) *rowsDone = 1;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t PNG_GetInfoFromFile(ImageStreamArg stream, int32_t* width, int32_t* height, int32_t) {
  if (width == nullptr || height == nullptr) return kFailed;
  auto decoder = std::make_unique<PngDecoder>(stream);
  if (OpenDecoder(*decoder) != kOk) return kFailed;
  *width = static_cast<int32_t>(decoder->fileInfo.width);
  *height = static_cast<int32_t>(decoder->fileInfo.height);
  return kOk;
}

}  // namespace image_codec
