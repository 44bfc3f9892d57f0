// JPEG encoding over libjpeg-turbo from a DibImage: 24-bit pictures as colour, 8-bit pictures with
// a grey palette as greyscale, other 8-bit pictures through their palette as colour. Application
// and comment segments given with JPEG_EncodeSetExifData are written after the start of image,
// as given except where they would misdescribe the written colours (Adobe and ICC segments).
#include "jpeg_support.h"

namespace image_codec {
namespace {

constexpr int kDefaultQuality = 75;

struct JpegEncoder {
  explicit JpegEncoder(ImageCodecStream* stream) : io(stream) {}
  ~JpegEncoder() { jpeg_destroy_compress(&cinfo); }
  JpegEncoder(const JpegEncoder&) = delete;
  JpegEncoder& operator=(const JpegEncoder&) = delete;

  StreamIo io;
  JpegErrorManager errors{};
  JpegDestinationManager destination;
  jpeg_compress_struct cinfo{};
  DibView picture;
  bool greyPalette = false;
  bool started = false;
  bool failed = false;
  int quality = kDefaultQuality;
  std::vector<uint8_t> segments;  // marker segments to copy, as stored in a JPEG file
  std::vector<uint8_t> rowBuffer;
};

bool IsGreyPalette(const std::vector<uint8_t>& palette) {
  if (palette.size() != 256 * 4) return false;
  for (size_t i = 0; i < 256; ++i) {
    if (palette[i * 4] != i || palette[i * 4 + 1] != i || palette[i * 4 + 2] != i) return false;
  }
  return true;
}

// Checks that the block is a sequence of whole marker segments (0xFF, code, big-endian length).
bool ValidSegments(const uint8_t* block, uint32_t length) {
  uint32_t position = 0;
  while (position < length) {
    if (length - position < 4 || block[position] != 0xFF) return false;
    uint32_t segmentLength = (static_cast<uint32_t>(block[position + 2]) << 8) | block[position + 3];
    if (segmentLength < 2 || segmentLength > length - position - 2) return false;
    position += segmentLength + 2;
  }
  return true;
}

void WriteSegments(JpegEncoder& encoder) {
  const std::vector<uint8_t>& block = encoder.segments;
  for (size_t position = 0; position + 4 <= block.size();) {
    unsigned length = (static_cast<unsigned>(block[position + 2]) << 8) | block[position + 3];
    jpeg_write_marker(&encoder.cinfo, block[position + 1], block.data() + position + 4, length - 2);
    position += length + 2;
  }
}

bool HasMarker(const std::vector<uint8_t>& block, uint8_t code) {
  for (size_t position = 0; position + 4 <= block.size();) {
    if (block[position + 1] == code) return true;
    position += ((static_cast<size_t>(block[position + 2]) << 8) | block[position + 3]) + 2;
  }
  return false;
}

// Copied segments that describe the pixel data must describe what this encoder writes: YCbCr for
// colour, one grey component otherwise. An Adobe APP14 segment gets the matching colour transform
// (1 YCbCr, 0 for grey); an ICC profile (APP2) whose colour space is not the written one (a CMYK
// profile over YCbCr data, say) is dropped, with all its chunks.
std::vector<uint8_t> SegmentsForWrittenData(const std::vector<uint8_t>& block, bool grey) {
  constexpr char kAdobe[] = "Adobe";
  constexpr char kIcc[] = "ICC_PROFILE";
  constexpr size_t kIccHeader = sizeof kIcc + 2;  // name with its null, chunk number, chunk count
  constexpr size_t kColourSpaceAt = kIccHeader + 16;
  auto isIcc = [&](size_t position, size_t length) {
    return block[position + 1] == JPEG_APP0 + 2 && length >= kIccHeader &&
           std::memcmp(&block[position + 4], kIcc, sizeof kIcc) == 0;
  };
  bool dropIcc = false;
  for (size_t position = 0; position + 4 <= block.size();) {
    size_t length = ((static_cast<size_t>(block[position + 2]) << 8) | block[position + 3]) - 2;
    if (isIcc(position, length) && block[position + 4 + sizeof kIcc] == 1 && length >= kColourSpaceAt + 4) {
      dropIcc = std::memcmp(&block[position + 4 + kColourSpaceAt], grey ? "GRAY" : "RGB ", 4) != 0;
    }
    position += length + 4;
  }
  std::vector<uint8_t> kept;
  for (size_t position = 0; position + 4 <= block.size();) {
    size_t length = ((static_cast<size_t>(block[position + 2]) << 8) | block[position + 3]) - 2;
    size_t next = position + length + 4;
    if (!(dropIcc && isIcc(position, length))) {
      size_t start = kept.size();
      kept.insert(kept.end(), block.begin() + static_cast<std::ptrdiff_t>(position),
                  block.begin() + static_cast<std::ptrdiff_t>(next));
      constexpr size_t kTransformAt = 11;  // "Adobe", version, two flag words, then the transform
      if (block[position + 1] == JPEG_APP0 + 14 && length >= kTransformAt + 1 &&
          std::memcmp(&block[position + 4], kAdobe, sizeof kAdobe - 1) == 0) {
        kept[start + 4 + kTransformAt] = grey ? 0 : 1;
      }
    }
    position = next;
  }
  return kept;
}

int32_t Start(JpegEncoder& encoder) {
  if (setjmp(encoder.errors.jump)) return kFailed;
  jpeg_compress_struct& cinfo = encoder.cinfo;
  const ImageBitmapHeader& header = encoder.picture.header;
  cinfo.image_width = static_cast<JDIMENSION>(header.width);
  cinfo.image_height = static_cast<JDIMENSION>(header.height < 0 ? -header.height : header.height);
  bool grey = header.bitCount == 8 && encoder.greyPalette;
  cinfo.input_components = grey ? 1 : 3;
  cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, encoder.quality, TRUE);
  encoder.segments = SegmentsForWrittenData(encoder.segments, grey);
  // A copied JFIF segment replaces ours; so does an EXIF one, which must follow the start of image.
  if (HasMarker(encoder.segments, JPEG_APP0) || HasMarker(encoder.segments, JPEG_APP0 + 1)) {
    cinfo.write_JFIF_header = FALSE;
  }
  if (HasMarker(encoder.segments, JPEG_APP0 + 14)) cinfo.write_Adobe_marker = FALSE;
  jpeg_start_compress(&cinfo, TRUE);
  WriteSegments(encoder);
  if (header.bitCount == 8 && !grey) encoder.rowBuffer.resize(static_cast<size_t>(header.width) * 3);
  encoder.started = true;
  return kOk;
}

int32_t WriteRow(JpegEncoder& encoder, const uint8_t* pixels) {
  if (setjmp(encoder.errors.jump)) return kFailed;
  const ImageBitmapHeader& header = encoder.picture.header;
  const uint8_t* row = pixels;
  if (!encoder.rowBuffer.empty()) {
    const std::vector<uint8_t>& palette = encoder.picture.palette;
    size_t entries = palette.size() / 4;
    for (int32_t x = 0; x < header.width; ++x) {
      size_t index = pixels[x] < entries ? pixels[x] : 0;
      std::memcpy(&encoder.rowBuffer[static_cast<size_t>(x) * 3], &palette[index * 4], 3);
    }
    row = encoder.rowBuffer.data();
  }
  JSAMPROW rowPointer = const_cast<JSAMPROW>(row);
  return jpeg_write_scanlines(&encoder.cinfo, &rowPointer, 1) == 1 ? kOk : kFailed;
}

int32_t Finish(JpegEncoder& encoder) {
  if (setjmp(encoder.errors.jump)) return kFailed;
  if (!encoder.started || encoder.cinfo.next_scanline != encoder.cinfo.image_height) return kFailed;
  jpeg_finish_compress(&encoder.cinfo);
  return kOk;
}

int32_t Create(JpegEncoder& encoder) {
  encoder.cinfo.err = InstallJpegErrors(encoder.errors);
  if (setjmp(encoder.errors.jump)) return kFailed;
  jpeg_create_compress(&encoder.cinfo);
  InstallJpegDestination(&encoder.cinfo, encoder.destination, encoder.io);
  return kOk;
}

}  // namespace

IMAGE_CODEC_EXPORT int32_t JPEG_EncodeInit(ImageStreamArg stream, const void* dibImage, ImageCodecHandle* handle) {
  if (handle == nullptr) return kFailed;
  *handle = nullptr;
  auto encoder = std::make_unique<JpegEncoder>(stream);
  encoder->picture = ReadDibView(dibImage);
  if (!encoder->io.Valid() || !encoder->picture.valid) return kFailed;
  encoder->greyPalette = IsGreyPalette(encoder->picture.palette);
  if (Create(*encoder) != kOk) return kFailed;
  *handle = ReleaseToHandle(std::move(encoder));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t JPEG_EncodeSetQuality(ImageCodecHandle handle, int32_t quality) {
  auto* encoder = static_cast<JpegEncoder*>(handle);
  if (encoder == nullptr || encoder->started || quality < 1 || quality > 100) return kFailed;
  encoder->quality = quality;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t JPEG_EncodeSetExifData(ImageCodecHandle handle, const uint8_t* block, uint32_t length) {
  auto* encoder = static_cast<JpegEncoder*>(handle);
  if (encoder == nullptr || encoder->started || block == nullptr || !ValidSegments(block, length)) return kFailed;
  encoder->segments.assign(block, block + length);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t JPEG_EncodeScanLines(ImageCodecHandle handle, int32_t rowFromTop, int32_t rows,
                                                const uint8_t* pixels, int32_t) {
  auto* encoder = static_cast<JpegEncoder*>(handle);
  if (encoder == nullptr || encoder->failed || rows != 1 || pixels == nullptr) return kFailed;
  if (!encoder->started && Start(*encoder) != kOk) {
    encoder->failed = true;
    return kFailed;
  }
  // Rows go out strictly in order from the top.
  if (rowFromTop != static_cast<int32_t>(encoder->cinfo.next_scanline) || WriteRow(*encoder, pixels) != kOk) {
    encoder->failed = true;
    return kFailed;
  }
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t JPEG_EncodeUninit(ImageCodecHandle handle) {
  if (handle == nullptr) return kFailed;
  std::unique_ptr<JpegEncoder> encoder = TakeFromHandle<JpegEncoder>(handle);
  if (encoder->failed) return kFailed;
  return Finish(*encoder);
}

}  // namespace image_codec
