#include "codec_library.h"

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "support/test_device.h"

namespace codec_test {

MemoryStream::MemoryStream(std::string bytes) : m_bytes(std::move(bytes)) {
  static const ImageCodecStreamOps kOps = {Read, Write, Seek, Tell};
  m_head.base.ops = &kOps;
  m_head.owner = this;
}

MemoryStream* MemoryStream::Self(ImageCodecStream* stream) { return reinterpret_cast<Head*>(stream)->owner; }

int32_t MemoryStream::Read(ImageCodecStream* stream, void* buffer, uint32_t size, uint32_t* done) {
  MemoryStream* self = Self(stream);
  size_t count =
      std::min<size_t>(size, self->m_position < self->m_bytes.size() ? self->m_bytes.size() - self->m_position : 0);
  std::memcpy(buffer, self->m_bytes.data() + self->m_position, count);
  self->m_position += count;
  *done = static_cast<uint32_t>(count);
  return 0;
}

int32_t MemoryStream::Write(ImageCodecStream* stream, const void* buffer, uint32_t size) {
  MemoryStream* self = Self(stream);
  if (size > self->m_writeRoom) return -1;
  self->m_writeRoom -= size;
  if (self->m_position + size > self->m_bytes.size()) self->m_bytes.resize(self->m_position + size);
  std::memcpy(self->m_bytes.data() + self->m_position, buffer, size);
  self->m_position += size;
  return 0;
}

int32_t MemoryStream::Seek(ImageCodecStream* stream, int32_t offset, int32_t origin) {
  MemoryStream* self = Self(stream);
  int64_t base = origin == kImageSeekBegin ? 0
                 : origin == kImageSeekEnd ? static_cast<int64_t>(self->m_bytes.size())
                                           : static_cast<int64_t>(self->m_position);
  if (base + offset < 0) return -1;
  self->m_position = static_cast<size_t>(base + offset);
  return 0;
}

int32_t MemoryStream::Tell(ImageCodecStream* stream) { return static_cast<int32_t>(Self(stream)->m_position); }

void* CodecSymbol(const char* name) {
  static void* library = dlopen(test_support::BinaryPath("device-plugins/ImageDLL.dll").c_str(), RTLD_NOW | RTLD_LOCAL);
  return library == nullptr ? nullptr : dlsym(library, name);
}

Decoded DecodeWhole(const std::string& family, const std::string& bytes, int requestWidth, int requestHeight) {
  Decoded result;
  MemoryStream stream(bytes);
  ImageCodecHandle handle = nullptr;
  if (Entry<ImageDecodeInitFn>(family + "_DecodeInit")(stream.get(), &handle) != 0) return result;
  if (requestWidth > 0) {
    int32_t width = requestWidth, height = requestHeight;
    Entry<ImageSetDimensionFn>(family + "_DecodeSetDimension")(handle, &width, &height);
  }
  ImageBitmapHeader header{};
  bool ok = Entry<ImageGetInfoHeaderFn>(family + "_DecodeGetInfoHeader")(handle, &header) == 0;
  result.width = header.width;
  result.height = header.height;
  result.bitCount = header.bitCount;
  size_t rowBytes = static_cast<size_t>(header.width) * header.bitCount / 8;
  auto scan = Entry<ImageDecodeScanLinesFn>(family + "_DecodeScanLines");
  result.rows.resize(rowBytes * static_cast<size_t>(ok ? header.height : 0));
  for (int y = 0; ok && y < header.height; ++y) {
    int32_t done = 0, reserved = 0;
    ok = scan(handle, &result.rows[rowBytes * static_cast<size_t>(y)], 1, &done, &reserved) == 0;
  }
  Entry<ImageUninitFn>(family + "_DecodeUninit")(handle);
  result.ok = ok;
  return result;
}

std::vector<uint8_t> ToRgb(const Decoded& picture) {
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(picture.width) * picture.height * 3);
  int bytes = picture.bitCount / 8;
  for (size_t i = 0; i + bytes <= picture.rows.size(); i += bytes) {
    if (bytes == 1) {
      rgb.insert(rgb.end(), 3, picture.rows[i]);
    } else {
      rgb.insert(rgb.end(), {picture.rows[i + 2], picture.rows[i + 1], picture.rows[i]});
    }
  }
  return rgb;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 0;
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
  if (sum == 0) return 99;
  return 10 * std::log10(255.0 * 255.0 / (sum / static_cast<double>(a.size())));
}

std::vector<uint8_t> MakeDib(int width, int height, int bitCount) {
  int paletteEntries = bitCount == 8 ? 256 : 0;
  size_t stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
  std::vector<uint8_t> dib(sizeof(ImageBitmapHeader) + paletteEntries * 4 + stride * height, 0);
  ImageBitmapHeader header{};
  header.size = sizeof header;
  header.width = width;
  header.height = height;
  header.planes = 1;
  header.bitCount = static_cast<uint16_t>(bitCount);
  header.sizeImage = static_cast<uint32_t>(dib.size());
  header.clrUsed = static_cast<uint32_t>(paletteEntries);
  std::memcpy(dib.data(), &header, sizeof header);
  for (int i = 0; i < paletteEntries; ++i) std::memset(&dib[sizeof header + i * 4], i, 3);
  return dib;
}

uint8_t* DibRow(std::vector<uint8_t>& dib, int rowFromTop) {
  ImageBitmapHeader header{};
  std::memcpy(&header, dib.data(), sizeof header);
  size_t stride = ((static_cast<size_t>(header.width) * header.bitCount + 31) / 32) * 4;
  size_t pixels = sizeof header + header.clrUsed * 4;
  return &dib[pixels + stride * static_cast<size_t>(header.height - 1 - rowFromTop)];
}

std::string EncodeWhole(const std::string& family, std::vector<uint8_t>& dib, int quality,
                        const std::string& segments) {
  MemoryStream stream;
  ImageCodecHandle handle = nullptr;
  if (Entry<ImageEncodeInitFn>(family + "_EncodeInit")(stream.get(), dib.data(), &handle) != 0) return {};
  bool ok = true;
  if (family == "JPEG") {
    ok = Entry<ImageSetQualityFn>("JPEG_EncodeSetQuality")(handle, quality) == 0;
    if (ok && !segments.empty()) {
      ok = Entry<ImageSetExifDataFn>("JPEG_EncodeSetExifData")(
               handle, reinterpret_cast<const uint8_t*>(segments.data()), static_cast<uint32_t>(segments.size())) == 0;
    }
  }
  ImageBitmapHeader header{};
  std::memcpy(&header, dib.data(), sizeof header);
  auto scan = Entry<ImageEncodeScanLinesFn>(family + "_EncodeScanLines");
  for (int y = 0; ok && y < header.height; ++y) ok = scan(handle, y, 1, DibRow(dib, y), 0) == 0;
  ok = Entry<ImageUninitFn>(family + "_EncodeUninit")(handle) == 0 && ok;
  return ok ? stream.bytes() : std::string();
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace codec_test
