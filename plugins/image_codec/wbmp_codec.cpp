// WBMP type 0 (WAP bilevel picture): a type field, a fixed header byte, width and height as
// multi-byte integers, then rows of one bit a pixel, most significant bit first, 1 = white.
// Decoded rows come out 24-bit; encoding thresholds the luminance at half.
#include <algorithm>

#include "codec_io.h"

namespace image_codec {
namespace {

struct WbmpHeader {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t dataOffset = 0;
};

// A multi-byte integer: 7 bits a byte, high bit set on all but the last; at most 4 bytes here, which
// covers every size within the limits.
bool ReadMultiByte(StreamIo& io, uint32_t& value, uint32_t& offset) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    uint8_t byte = 0;
    if (!io.Read(&byte, 1)) return false;
    ++offset;
    value = (value << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) return true;
  }
  return false;
}

bool ReadWbmpHeader(StreamIo& io, WbmpHeader& header) {
  if (!io.Valid() || !io.Seek(0, kImageSeekBegin)) return false;
  uint32_t offset = 0, type = 0;
  uint8_t fixedHeader = 0;
  if (!ReadMultiByte(io, type, offset) || type != 0 || !io.Read(&fixedHeader, 1)) return false;
  ++offset;
  // Extension headers belong to other types; type 0 has none.
  if ((fixedHeader & 0x80) != 0) return false;
  if (!ReadMultiByte(io, header.width, offset) || !ReadMultiByte(io, header.height, offset)) return false;
  header.dataOffset = offset;
  return WithinLimits(header.width, header.height);
}

struct WbmpDecoder {
  explicit WbmpDecoder(ImageCodecStream* stream) : io(stream) {}
  StreamIo io;
  WbmpHeader header;
  uint32_t nextRow = 0;
  std::vector<uint8_t> bits;
};

struct WbmpEncoder {
  explicit WbmpEncoder(ImageCodecStream* stream) : io(stream) {}
  StreamIo io;
  DibView picture;
  uint32_t height = 0;
  uint32_t nextRow = 0;
  bool failed = false;
};

void PutMultiByte(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t bytes[5];
  int count = 0;
  do {
    bytes[count++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (count > 0) {
    --count;
    out.push_back(static_cast<uint8_t>(bytes[count] | (count > 0 ? 0x80 : 0)));
  }
}

bool IsWhite(const uint8_t* bgr) { return (bgr[2] * 299u + bgr[1] * 587u + bgr[0] * 114u) >= 128u * 1000u; }

}  // namespace

IMAGE_CODEC_EXPORT int32_t WBMP_DecodeInit(ImageStreamArg stream, ImageCodecHandle* handle) {
  if (handle == nullptr) return kFailed;
  *handle = nullptr;
  auto decoder = std::make_unique<WbmpDecoder>(stream);
  if (!ReadWbmpHeader(decoder->io, decoder->header)) return kFailed;
  *handle = ReleaseToHandle(std::move(decoder));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t WBMP_DecodeUninit(ImageCodecHandle handle) {
  if (handle == nullptr) return kFailed;
  TakeFromHandle<WbmpDecoder>(handle);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t WBMP_DecodeGetInfoHeader(ImageCodecHandle handle, ImageBitmapHeader* header) {
  if (handle == nullptr || header == nullptr) return kFailed;
  const WbmpHeader& wbmp = static_cast<WbmpDecoder*>(handle)->header;
  FillBitmapHeader(*header, static_cast<int32_t>(wbmp.width), static_cast<int32_t>(wbmp.height), 24);
  return kOk;
}

// The two colours of a bilevel picture: black, then white.
IMAGE_CODEC_EXPORT int32_t WBMP_DecodeGetColorTab(ImageCodecHandle handle, uint8_t* buffer, uint32_t* byteCount) {
  if (handle == nullptr || buffer == nullptr || byteCount == nullptr) return kFailed;
  const uint8_t palette[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  uint32_t count = std::min<uint32_t>(sizeof palette, *byteCount / 4 * 4);
  std::copy_n(palette, count, buffer);
  *byteCount = count;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t WBMP_DecodeSetDimension(ImageCodecHandle handle, int32_t* width, int32_t* height) {
  if (handle == nullptr || width == nullptr || height == nullptr) return kFailed;
  const WbmpHeader& wbmp = static_cast<WbmpDecoder*>(handle)->header;
  *width = static_cast<int32_t>(wbmp.width);
  *height = static_cast<int32_t>(wbmp.height);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t WBMP_DecodeScanLines(ImageCodecHandle handle, uint8_t* row, int32_t rows,
                                                int32_t* rowsDone, int32_t*) {
  auto* decoder = static_cast<WbmpDecoder*>(handle);
  if (decoder == nullptr || row == nullptr || rows != 1 || decoder->nextRow >= decoder->header.height) return kFailed;
  uint32_t width = decoder->header.width;
  decoder->bits.resize((width + 7) / 8);
  if (!decoder->io.Read(decoder->bits.data(), static_cast<uint32_t>(decoder->bits.size()))) return kFailed;
  for (uint32_t x = 0; x < width; ++x) {
    uint8_t value = (decoder->bits[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
    std::memset(row + size_t{x} * 3, value, 3);
  }
  ++decoder->nextRow;
  if (rowsDone != nullptr) *rowsDone = 1;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t WBMP_GetInfoFromFile(ImageStreamArg stream, int32_t* width, int32_t* height, int32_t) {
  if (width == nullptr || height == nullptr) return kFailed;
  StreamIo io(stream);
  WbmpHeader header;
  if (!ReadWbmpHeader(io, header)) return kFailed;
  *width = static_cast<int32_t>(header.width);
  *height = static_cast<int32_t>(header.height);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t WBMP_EncodeInit(ImageStreamArg stream, const void* dibImage, ImageCodecHandle* handle) {
  if (handle == nullptr) return kFailed;
  *handle = nullptr;
  auto encoder = std::make_unique<WbmpEncoder>(stream);
  encoder->picture = ReadDibView(dibImage);
  if (!encoder->io.Valid() || !encoder->picture.valid) return kFailed;
  const ImageBitmapHeader& dib = encoder->picture.header;
  encoder->height = static_cast<uint32_t>(dib.height < 0 ? -dib.height : dib.height);
  std::vector<uint8_t> header = {0, 0};
  PutMultiByte(header, static_cast<uint32_t>(dib.width));
  PutMultiByte(header, encoder->height);
  if (!encoder->io.Write(header.data(), static_cast<uint32_t>(header.size()))) return kFailed;
  *handle = ReleaseToHandle(std::move(encoder));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t WBMP_EncodeScanLines(ImageCodecHandle handle, int32_t rowFromTop, int32_t rows,
                                                const uint8_t* pixels, int32_t) {
  auto* encoder = static_cast<WbmpEncoder*>(handle);
  if (encoder == nullptr || encoder->failed || rows != 1 || pixels == nullptr) return kFailed;
  if (rowFromTop != static_cast<int32_t>(encoder->nextRow) || encoder->nextRow >= encoder->height) {
    encoder->failed = true;
    return kFailed;
  }
  const DibView& picture = encoder->picture;
  auto width = static_cast<uint32_t>(picture.header.width);
  std::vector<uint8_t> bits((width + 7) / 8, 0);
  for (uint32_t x = 0; x < width; ++x) {
    const uint8_t* bgr = picture.header.bitCount == 24 ? pixels + size_t{x} * 3
                                                       : &picture.palette[std::min<size_t>(pixels[x], picture.palette.size() / 4 - 1) * 4];
    if (IsWhite(bgr)) bits[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  }
  if (!encoder->io.Write(bits.data(), static_cast<uint32_t>(bits.size()))) {
    encoder->failed = true;
    return kFailed;
  }
  ++encoder->nextRow;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t WBMP_EncodeUninit(ImageCodecHandle handle) {
  if (handle == nullptr) return kFailed;
  std::unique_ptr<WbmpEncoder> encoder = TakeFromHandle<WbmpEncoder>(handle);
  return !encoder->failed && encoder->nextRow == encoder->height ? kOk : kFailed;
}

}  // namespace image_codec
