// The built codec library opened by name, a memory stream for its entry points, and the helpers the
// codec tests share: whole-picture decode, checksums, and the expected values of the corpus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engines/image_codec_abi.h"
#include "support/sha256.h"

namespace codec_test {

// An in-memory stream, readable and writable, as the codecs see a file.
class MemoryStream {
 public:
  explicit MemoryStream(std::string bytes = {});
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;
  ImageCodecStream* get() { return &m_head.base; }
  const std::string& bytes() const { return m_bytes; }
  // From now on the stream takes `bytes` more and then refuses every write, as a full disk does.
  void LimitWrites(size_t bytes) { m_writeRoom = bytes; }

 private:
  static int32_t Read(ImageCodecStream* stream, void* buffer, uint32_t size, uint32_t* done);
  static int32_t Write(ImageCodecStream* stream, const void* buffer, uint32_t size);
  static int32_t Seek(ImageCodecStream* stream, int32_t offset, int32_t origin);
  static int32_t Tell(ImageCodecStream* stream);
  static MemoryStream* Self(ImageCodecStream* stream);

  struct Head {
    ImageCodecStream base;  // first, so that the codec's pointer leads back here
    MemoryStream* owner;
  };
  Head m_head;
  std::string m_bytes;
  size_t m_position = 0;
  size_t m_writeRoom = SIZE_MAX;
};

// Resolves an entry point of the built library ("JPEG_DecodeInit"); null when missing.
void* CodecSymbol(const char* name);

template <typename T>
T Entry(const std::string& name) {
  return reinterpret_cast<T>(CodecSymbol(name.c_str()));
}

// A picture decoded whole through a family's entry points ("JPEG", "PNG", "BMP", "WBMP").
struct Decoded {
  bool ok = false;
  int width = 0;
  int height = 0;
  int bitCount = 0;
  std::vector<uint8_t> rows;  // top first, as delivered (blue-green-red or grey)
};
Decoded DecodeWhole(const std::string& family, const std::string& bytes, int requestWidth = 0, int requestHeight = 0);

// Red-green-blue triplets of delivered rows, for comparing with the corpus checksums.
std::vector<uint8_t> ToRgb(const Decoded& picture);
using test_support::Sha256Hex;
double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// A DibImage block of the given size and depth (8-bit with a grey ramp palette), bottom-up rows.
std::vector<uint8_t> MakeDib(int width, int height, int bitCount);
uint8_t* DibRow(std::vector<uint8_t>& dib, int rowFromTop);

// Encodes a DibImage through a family's entry points; empty when any call fails.
std::string EncodeWhole(const std::string& family, std::vector<uint8_t>& dib, int quality = 90,
                        const std::string& segments = {});

std::string ReadText(const std::string& path);

}  // namespace codec_test
