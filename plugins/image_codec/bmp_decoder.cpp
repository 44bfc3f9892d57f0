// BMP decoding: 1, 4, 8, 16, 24 and 32 bits a pixel, RLE4 and RLE8, bottom-up and top-down rows,
// bit-field masks. Rows come out top first as 24-bit blue-green-red.
#include <algorithm>
#include <bit>

#include "bmp_header.h"
#include "bmp_rle.h"

namespace image_codec {
namespace {

struct BmpDecoder {
  explicit BmpDecoder(ImageCodecStream* stream) : io(stream) {}
  StreamIo io;
  BmpHeader header;
  uint32_t nextRow = 0;
  std::vector<uint8_t> rowBytes;
  std::vector<uint8_t> rleIndices;  // run-length pictures, decoded whole on the first row request
};

// One channel of a bit-field pixel scaled to 0..255 (full scale stays full scale).
uint8_t MaskedChannel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  uint32_t maximum = mask >> shift;
  uint32_t value = (pixel & mask) >> shift;
  return static_cast<uint8_t>(uint64_t{value} * 255 / maximum);
}

void PutPaletteColour(const BmpHeader& header, uint32_t index, uint8_t* out) {
  size_t offset = size_t{index} * 4;
  if (offset + 3 > header.palette.size()) offset = 0;
  std::memcpy(out, &header.palette[offset], 3);
}

void ConvertRow(const BmpHeader& header, const uint8_t* in, uint8_t* out) {
  for (int32_t x = 0; x < header.width; ++x, out += 3) {
    switch (header.bitCount) {
      case 1:
        PutPaletteColour(header, (in[x / 8] >> (7 - x % 8)) & 1, out);
        break;
      case 4:
        PutPaletteColour(header, (in[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F, out);
        break;
      case 8:
        PutPaletteColour(header, in[x], out);
        break;
      case 24:
        std::memcpy(out, in + x * 3, 3);
        break;
      default: {
        uint32_t pixel = header.bitCount == 16
                             ? uint32_t{in[x * 2]} | (uint32_t{in[x * 2 + 1]} << 8)
                             : uint32_t{in[x * 4]} | (uint32_t{in[x * 4 + 1]} << 8) |
                                   (uint32_t{in[x * 4 + 2]} << 16) | (uint32_t{in[x * 4 + 3]} << 24);
        out[0] = MaskedChannel(pixel, header.masks[2]);
        out[1] = MaskedChannel(pixel, header.masks[1]);
        out[2] = MaskedChannel(pixel, header.masks[0]);
      }
    }
  }
}

bool DecodeRle(BmpDecoder& decoder) {
  const BmpHeader& header = decoder.header;
  // Run-length data never needs more than two bytes a pixel plus the line escapes.
  uint64_t cap = uint64_t{2} * header.width * header.height + uint64_t{4} * header.height + 1024;
  std::vector<uint8_t> data;
  uint8_t chunk[64 * 1024];
  if (!decoder.io.Seek(header.pixelOffset, kImageSeekBegin)) return false;
  while (data.size() < cap) {
    int64_t got = decoder.io.ReadSome(chunk, static_cast<uint32_t>(std::min<uint64_t>(sizeof chunk, cap - data.size())));
    if (got < 0) return false;
    if (got == 0) break;
    data.insert(data.end(), chunk, chunk + got);
  }
  bool fourBit = header.compression == BmpCompression::kRle4;
  return DecodeBmpRle(data, fourBit, static_cast<uint32_t>(header.width), static_cast<uint32_t>(header.height),
                      decoder.rleIndices);
}

int32_t ReadRow(BmpDecoder& decoder, uint8_t* out) {
  const BmpHeader& header = decoder.header;
  if (decoder.nextRow >= static_cast<uint32_t>(header.height)) return kFailed;
  uint32_t storedRow = header.topDown ? decoder.nextRow : static_cast<uint32_t>(header.height) - 1 - decoder.nextRow;
  if (header.compression == BmpCompression::kRle4 || header.compression == BmpCompression::kRle8) {
    if (decoder.rleIndices.empty() && !DecodeRle(decoder)) return kFailed;
    const uint8_t* indices = &decoder.rleIndices[size_t{storedRow} * static_cast<uint32_t>(header.width)];
    for (int32_t x = 0; x < header.width; ++x) PutPaletteColour(header, indices[x], out + x * 3);
  } else {
    decoder.rowBytes.resize(header.stride);
    int64_t offset = int64_t{header.pixelOffset} + int64_t{storedRow} * header.stride;
    if (!decoder.io.Seek(offset, kImageSeekBegin) || !decoder.io.Read(decoder.rowBytes.data(), header.stride)) {
      return kFailed;
    }
    ConvertRow(header, decoder.rowBytes.data(), out);
  }
  ++decoder.nextRow;
  return kOk;
}

}  // namespace

IMAGE_CODEC_EXPORT int32_t BMP_DecodeInit(ImageStreamArg stream, ImageCodecHandle* handle) {
  if (handle == nullptr) return kFailed;
  *handle = nullptr;
  auto decoder = std::make_unique<BmpDecoder>(stream);
  if (!ReadBmpHeader(decoder->io, decoder->header)) return kFailed;
  *handle = ReleaseToHandle(std::move(decoder));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t BMP_DecodeUninit(ImageCodecHandle handle) {
  if (handle == nullptr) return kFailed;
  TakeFromHandle<BmpDecoder>(handle);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t BMP_DecodeGetInfoHeader(ImageCodecHandle handle, ImageBitmapHeader* header) {
  if (handle == nullptr || header == nullptr) return kFailed;
  const BmpHeader& bmp = static_cast<BmpDecoder*>(handle)->header;
  FillBitmapHeader(*header, bmp.width, bmp.height, 24);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t BMP_DecodeGetColorTab(ImageCodecHandle handle, uint8_t* buffer, uint32_t* byteCount) {
  if (handle == nullptr || buffer == nullptr || byteCount == nullptr) return kFailed;
  const std::vector<uint8_t>& palette = static_cast<BmpDecoder*>(handle)->header.palette;
  uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(palette.size()), *byteCount / 4 * 4);
  std::copy_n(palette.begin(), count, buffer);
  *byteCount = count;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t BMP_DecodeGetMask(ImageCodecHandle handle, uint32_t* masks) {
  if (handle == nullptr || masks == nullptr) return kFailed;
  const BmpHeader& bmp = static_cast<BmpDecoder*>(handle)->header;
  std::copy(bmp.masks.begin(), bmp.masks.end(), masks);
  return kOk;
}

// BMP has no reduced decode: the full size is what the caller gets.
IMAGE_CODEC_EXPORT int32_t BMP_DecodeSetDimension(ImageCodecHandle handle, int32_t* width, int32_t* height) {
  if (handle == nullptr || width == nullptr || height == nullptr) return kFailed;
  const BmpHeader& bmp = static_cast<BmpDecoder*>(handle)->header;
  *width = bmp.width;
  *height = bmp.height;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t BMP_DecodeScanLines(ImageCodecHandle handle, uint8_t* row, int32_t rows,
                                               int32_t* rowsDone, int32_t*) {
  if (handle == nullptr || row == nullptr || rows != 1) return kFailed;
  if (ReadRow(*static_cast<BmpDecoder*>(handle), row) != kOk) return kFailed;
  if (rowsDone != nullptr) *rowsDone = 1;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t BMP_GetInfoFromFile(ImageStreamArg stream, int32_t* width, int32_t* height, int32_t) {
  if (width == nullptr || height == nullptr) return kFailed;
  StreamIo io(stream);
  BmpHeader header;
  if (!ReadBmpHeader(io, header)) return kFailed;
  *width = header.width;
  *height = header.height;
  return kOk;
}

}  // namespace image_codec
