// JPEG decoding over libjpeg-turbo: rows come out top first, blue-green-red (or 8-bit grey for a
// one-component picture), at the scale chosen with JPEG_DecodeSetDimension (DCT scaling by 1/1,
// 1/2, 1/4 or 1/8). A large picture is decoded ahead on a second thread (see RowPump) while the
// caller consumes the rows.
#include <algorithm>

#include "jpeg_support.h"
#include "row_pump.h"

namespace image_codec {
namespace {

// Pictures of fewer source pixels decode in about the time a thread takes to start: they are decoded
// on the caller's thread.
constexpr uint64_t kPumpedPixels = 1u << 20;

struct JpegDecoder {
  explicit JpegDecoder(ImageCodecStream* stream) : io(stream) {}
  // The worker uses the decompressor until it stops, so it stops first.
  ~JpegDecoder() {
    pump.reset();
    jpeg_destroy_decompress(&cinfo);
  }
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;

  StreamIo io;
  JpegErrorManager errors{};
  JpegSourceManager source;
  jpeg_progress_mgr progress{};
  jpeg_decompress_struct cinfo{};
  bool started = false;
  bool cmyk = false;
  std::vector<uint8_t> cmykRow;
  // What the rows will be, kept apart from cinfo, which belongs to the worker once it runs.
  JDIMENSION outputWidth = 0;
  JDIMENSION outputHeight = 0;
  bool grey = false;
  bool pumpTried = false;
  std::unique_ptr<RowPump> pump;
};

void KeepOutputShape(JpegDecoder& decoder) {
  decoder.outputWidth = decoder.cinfo.output_width;
  decoder.outputHeight = decoder.cinfo.output_height;
  decoder.grey = decoder.cinfo.out_color_space == JCS_GRAYSCALE;
}

// Reads the header and picks the output colour space; the picture must be within the limits.
int32_t OpenDecoder(JpegDecoder& decoder) {
  if (!decoder.io.Valid()) return kFailed;
  decoder.cinfo.err = InstallJpegErrors(decoder.errors);
  if (setjmp(decoder.errors.jump)) return kFailed;
  jpeg_create_decompress(&decoder.cinfo);
  decoder.cinfo.mem->max_memory_to_use = kMaxJpegMemory;
  InstallScanLimit(&decoder.cinfo, decoder.progress);
  InstallJpegSource(&decoder.cinfo, decoder.source, decoder.io);
  jpeg_read_header(&decoder.cinfo, TRUE);
  if (!WithinLimits(decoder.cinfo.image_width, decoder.cinfo.image_height)) return kFailed;
  switch (decoder.cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
      decoder.cinfo.out_color_space = JCS_GRAYSCALE;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      decoder.cinfo.out_color_space = JCS_CMYK;
      decoder.cmyk = true;
      break;
    default:
      decoder.cinfo.out_color_space = JCS_EXT_BGR;
      break;
  }
  jpeg_calc_output_dimensions(&decoder.cinfo);
  KeepOutputShape(decoder);
  return kOk;
}

// Adobe writes CMYK inverted; other writers store it plain.
void CmykToBgr(const uint8_t* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    unsigned c = inverted ? cmyk[0] : 255u - cmyk[0];
    unsigned m = inverted ? cmyk[1] : 255u - cmyk[1];
    unsigned y = inverted ? cmyk[2] : 255u - cmyk[2];
    unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
    bgr[0] = static_cast<uint8_t>(y * k / 255);
    bgr[1] = static_cast<uint8_t>(m * k / 255);
    bgr[2] = static_cast<uint8_t>(c * k / 255);
  }
}

// Reads the next row as libjpeg delivers it (four bytes a pixel for CMYK).
int32_t ReadRawRow(JpegDecoder& decoder, JSAMPROW target) {
  if (setjmp(decoder.errors.jump)) return kFailed;
  if (!decoder.started) {
    jpeg_start_decompress(&decoder.cinfo);
    decoder.started = true;
  }
  if (decoder.cinfo.output_scanline >= decoder.cinfo.output_height) return kFailed;
  return jpeg_read_scanlines(&decoder.cinfo, &target, 1) == 1 ? kOk : kFailed;
}

int32_t DecodeRow(JpegDecoder& decoder, uint8_t* row) {
  if (!decoder.cmyk) return ReadRawRow(decoder, row);
  decoder.cmykRow.resize(static_cast<size_t>(decoder.cinfo.output_width) * 4);
  if (ReadRawRow(decoder, decoder.cmykRow.data()) != kOk) return kFailed;
  CmykToBgr(decoder.cmykRow.data(), row, decoder.cinfo.output_width, decoder.cinfo.saw_Adobe_marker);
  return kOk;
}

// Hands the decoding of a large picture to a worker thread at the first row; the caller decodes by
// itself when the picture is small or no thread can be had.
void StartPump(JpegDecoder& decoder) {
  decoder.pumpTried = true;
  const uint64_t pixels = static_cast<uint64_t>(decoder.cinfo.image_width) * decoder.cinfo.image_height;
  if (pixels < kPumpedPixels) return;
  const size_t rowBytes = static_cast<size_t>(decoder.outputWidth) * (decoder.grey ? 1 : 3);
  auto produce = [&decoder, rowBytes](uint8_t* rows, uint32_t count) {
    uint32_t done = 0;
    while (done < count && DecodeRow(decoder, rows + done * rowBytes) == kOk) ++done;
    return done;
  };
  decoder.pump = std::make_unique<RowPump>(rowBytes, decoder.outputHeight, produce);
  if (!decoder.pump->Start()) decoder.pump.reset();
}

int32_t ReadRow(JpegDecoder& decoder, uint8_t* row) {
  if (!decoder.pumpTried) StartPump(decoder);
  if (decoder.pump) return decoder.pump->Take(row) ? kOk : kFailed;
  return DecodeRow(decoder, row);
}

// The largest DCT divisor whose output still covers the requested size.
int32_t SetDimension(JpegDecoder& decoder, int32_t* width, int32_t* height) {
  if (decoder.pumpTried || decoder.started || width == nullptr || height == nullptr || *width < 1 || *height < 1) {
    return kFailed;
  }
  if (setjmp(decoder.errors.jump)) return kFailed;
  unsigned divisor = 1;
  for (unsigned candidate : {8u, 4u, 2u}) {
    unsigned scaledWidth = (decoder.cinfo.image_width + candidate - 1) / candidate;
    unsigned scaledHeight = (decoder.cinfo.image_height + candidate - 1) / candidate;
    if (scaledWidth >= static_cast<unsigned>(*width) && scaledHeight >= static_cast<unsigned>(*height)) {
      divisor = candidate;
      break;
    }
  }
  decoder.cinfo.scale_num = 1;
  decoder.cinfo.scale_denom = divisor;
  // A reduced picture is resampled further anyway: plain chroma upsampling is enough and cheaper.
  decoder.cinfo.do_fancy_upsampling = divisor == 1;
  jpeg_calc_output_dimensions(&decoder.cinfo);
  KeepOutputShape(decoder);
  *width = static_cast<int32_t>(decoder.cinfo.output_width);
  *height = static_cast<int32_t>(decoder.cinfo.output_height);
  return kOk;
}

}  // namespace

IMAGE_CODEC_EXPORT int32_t JPEG_DecodeInit(ImageStreamArg stream, ImageCodecHandle* handle) {
  if (handle == nullptr) return kFailed;
  *handle = nullptr;
  auto decoder = std::make_unique<JpegDecoder>(stream);
  if (OpenDecoder(*decoder) != kOk) return kFailed;
  *handle = ReleaseToHandle(std::move(decoder));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t JPEG_DecodeUninit(ImageCodecHandle handle) {
  if (handle == nullptr) return kFailed;
  TakeFromHandle<JpegDecoder>(handle);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t JPEG_DecodeSetDimension(ImageCodecHandle handle, int32_t* width, int32_t* height) {
  if (handle == nullptr) return kFailed;
  return SetDimension(*static_cast<JpegDecoder*>(handle), width, height);
}

IMAGE_CODEC_EXPORT int32_t JPEG_DecodeGetInfoHeader(ImageCodecHandle handle, ImageBitmapHeader* header) {
  if (handle == nullptr || header == nullptr) return kFailed;
  const JpegDecoder& decoder = *static_cast<JpegDecoder*>(handle);
  FillBitmapHeader(*header, static_cast<int32_t>(decoder.outputWidth), static_cast<int32_t>(decoder.outputHeight),
                   decoder.grey ? 8 : 24);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t JPEG_DecodeScanLines(ImageCodecHandle handle, uint8_t* row, int32_t rows,
                                                int32_t* rowsDone, int32_t*) {
  if (handle == nullptr || row == nullptr || rows != 1) return kFailed;
  if (ReadRow(*static_cast<JpegDecoder*>(handle), row) != kOk) return kFailed;
  if (rowsDone != nullptr) *rowsDone = 1;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t JPEG_GetInfoFromFile(ImageStreamArg stream, int32_t* width, int32_t* height, int32_t) {
  if (width == nullptr || height == nullptr) return kFailed;
  auto decoder = std::make_unique<JpegDecoder>(stream);
  if (OpenDecoder(*decoder) != kOk) return kFailed;
  *width = static_cast<int32_t>(decoder->cinfo.image_width);
  *height = static_cast<int32_t>(decoder->cinfo.image_height);
  return kOk;
}

}  // namespace image_codec
