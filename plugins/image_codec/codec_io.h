// Shared pieces of the codec library: checked stream access, a bounded cursor over header bytes,
// the picture limits, and the handles the entry points hand out.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "image_codec_abi.h"

#define IMAGE_CODEC_EXPORT extern "C" __attribute__((visibility("default")))

namespace image_codec {

constexpr int32_t kOk = 0;
constexpr int32_t kFailed = -1;

// Checked byte I/O over the caller's stream.
class StreamIo {
 public:
  explicit StreamIo(ImageCodecStream* stream) : m_stream(stream) {}
  bool Valid() const { return m_stream != nullptr && m_stream->ops != nullptr; }
  // Reads exactly size bytes.
  bool Read(void* buffer, uint32_t size);
  // Reads up to size bytes; returns how many arrived, or -1 on an error.
  int64_t ReadSome(void* buffer, uint32_t size);
  bool Write(const void* buffer, uint32_t size);
  bool Seek(int64_t offset, int32_t origin);
  int64_t Tell();
  ImageCodecStream* stream() const { return m_stream; }

 private:
  ImageCodecStream* m_stream;
};

// A bounded little/big-endian reader over bytes already in memory.
class ByteCursor {
 public:
  explicit ByteCursor(std::span<const uint8_t> data) : m_data(data) {}
  bool ReadU8(uint8_t& value);
  bool ReadLe16(uint16_t& value);
  bool ReadLe32(uint32_t& value);
  bool Skip(size_t count);
  size_t position() const { return m_position; }
  size_t remaining() const { return m_data.size() - m_position; }

 private:
  std::span<const uint8_t> m_data;
  size_t m_position = 0;
};

// True when a picture of this size stays within the library's limits.
bool WithinLimits(int64_t width, int64_t height);

// The picture handed to an encoder: its header, its palette and its bottom-up rows.
struct DibView {
  ImageBitmapHeader header{};
  std::vector<uint8_t> palette;  // 4 bytes per entry: blue, green, red, 0
  bool valid = false;
};
// Reads the header and palette of a DibImage block; only 8- and 24-bit uncompressed pictures.
DibView ReadDibView(const void* dibImage);

// Fills the header that DecodeGetInfoHeader reports for rows of the given depth.
void FillBitmapHeader(ImageBitmapHeader& header, int32_t width, int32_t height, int bitCount);

// Ownership of a codec object across the C interface.
template <typename T>
ImageCodecHandle ReleaseToHandle(std::unique_ptr<T> object) {
  return object.release();
}
template <typename T>
std::unique_ptr<T> TakeFromHandle(ImageCodecHandle handle) {
  return std::unique_ptr<T>(static_cast<T*>(handle));
}

}  // namespace image_codec
