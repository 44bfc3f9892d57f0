// BMP encoding from a DibImage: a Windows 40-byte header, 24-bit or 8-bit rows stored bottom-up.
// Rows arrive top first, so they are kept until the last one and written in stored order.
#include "codec_io.h"

namespace image_codec {
namespace {

struct BmpEncoder {
  explicit BmpEncoder(ImageCodecStream* stream) : io(stream) {}
  StreamIo io;
  DibView picture;
  int32_t height = 0;
  uint32_t stride = 0;
  int32_t nextRow = 0;
  bool failed = false;
  std::vector<uint8_t> pixels;  // stored order: bottom row first
};

void PutLe16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

std::vector<uint8_t> Headers(const BmpEncoder& encoder) {
  const ImageBitmapHeader& dib = encoder.picture.header;
  uint32_t paletteBytes = dib.bitCount == 8 ? static_cast<uint32_t>(encoder.picture.palette.size()) : 0;
  uint32_t pixelOffset = 14 + 40 + paletteBytes;
  std::vector<uint8_t> out = {'B', 'M'};
  PutLe32(out, pixelOffset + static_cast<uint32_t>(encoder.pixels.size()));
  PutLe32(out, 0);
  PutLe32(out, pixelOffset);
  PutLe32(out, 40);
  PutLe32(out, static_cast<uint32_t>(dib.width));
  PutLe32(out, static_cast<uint32_t>(encoder.height));
  PutLe16(out, 1);
  PutLe16(out, dib.bitCount);
  PutLe32(out, 0);
  PutLe32(out, static_cast<uint32_t>(encoder.pixels.size()));
  PutLe32(out, 3780);
  PutLe32(out, 3780);
  PutLe32(out, paletteBytes / 4);
  PutLe32(out, 0);
  out.insert(out.end(), encoder.picture.palette.begin(), encoder.picture.palette.begin() + paletteBytes);
  return out;
}

}  // namespace

IMAGE_CODEC_EXPORT int32_t BMP_EncodeInit(ImageStreamArg stream, const void* dibImage, ImageCodecHandle* handle) {
  if (handle == nullptr) return kFailed;
  *handle = nullptr;
  auto encoder = std::make_unique<BmpEncoder>(stream);
  encoder->picture = ReadDibView(dibImage);
  if (!encoder->io.Valid() || !encoder->picture.valid) return kFailed;
  const ImageBitmapHeader& dib = encoder->picture.header;
  encoder->height = dib.height < 0 ? -dib.height : dib.height;
  encoder->stride = ((static_cast<uint32_t>(dib.width) * dib.bitCount + 31) / 32) * 4;
  encoder->pixels.assign(size_t{encoder->stride} * static_cast<uint32_t>(encoder->height), 0);
  *handle = ReleaseToHandle(std::move(encoder));
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t BMP_EncodeSetColorTab(ImageCodecHandle handle, const uint8_t* palette, int32_t entries) {
  auto* encoder = static_cast<BmpEncoder*>(handle);
  if (encoder == nullptr || encoder->nextRow != 0 || palette == nullptr || entries < 1 || entries > 256) {
    return kFailed;
  }
  encoder->picture.palette.assign(palette, palette + entries * 4);
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t BMP_EncodeScanLines(ImageCodecHandle handle, int32_t rowFromTop, int32_t rows,
                                               const uint8_t* pixels, int32_t) {
  auto* encoder = static_cast<BmpEncoder*>(handle);
  if (encoder == nullptr || encoder->failed || rows != 1 || pixels == nullptr) return kFailed;
  if (rowFromTop != encoder->nextRow || rowFromTop >= encoder->height) {
    encoder->failed = true;
    return kFailed;
  }
  size_t stored = static_cast<size_t>(encoder->height - 1 - rowFromTop);
  size_t rowBytes = size_t{static_cast<uint32_t>(encoder->picture.header.width)} * encoder->picture.header.bitCount / 8;
  std::memcpy(&encoder->pixels[stored * encoder->stride], pixels, rowBytes);
  ++encoder->nextRow;
  return kOk;
}

IMAGE_CODEC_EXPORT int32_t BMP_EncodeUninit(ImageCodecHandle handle) {
  if (handle == nullptr) return kFailed;
  std::unique_ptr<BmpEncoder> encoder = TakeFromHandle<BmpEncoder>(handle);
  if (encoder->failed || encoder->nextRow != encoder->height) return kFailed;
  std::vector<uint8_t> headers = Headers(*encoder);
  bool written = encoder->io.Write(headers.data(), static_cast<uint32_t>(headers.size())) &&
                 encoder->io.Write(encoder->pixels.data(), static_cast<uint32_t>(encoder->pixels.size()));
  return written ? kOk : kFailed;
}

}  // namespace image_codec
