// The stream the picture codecs read from and write to: a device file opened in one of the modes
// below, or a buffer in memory. The codec library sees it through its ImageCodecStream head.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "engines/image_codec_abi.h"
#include "platform/win_types.h"

enum class ImageStreamKind { kFile = 1, kMemory = 2 };

// Opening modes of a file stream.
namespace image_stream_mode {
constexpr int kRead = 1;         // generic read, shared read, open existing
constexpr int kWrite = 2;        // generic write, create always
constexpr int kAppend = 3;       // generic write, open always, positioned at the end
constexpr int kReadWrite = 4;    // read-write on an existing file
constexpr int kReadWriteNew = 5; // read-write, created always
constexpr int kReadWriteEnd = 6; // read-write, opened always, positioned at the end
constexpr int kProtected = 0x101;        // protected content shown: the display right is used up
constexpr int kProtectedMeasure = 0x102; // protected content measured (size, EXIF, duration): no use counted
}  // namespace image_stream_mode

class ImageStream {
 public:
  // Opens a device file; null when it cannot be opened. Any mode not listed opens for reading.
  // kProtected reads protected content decrypted through the DRM service when its display right is
  // granted, and counts one use of it; a refused right is reported through the service and gives
  // null. kProtectedMeasure does the same without counting. An unprotected file opens as in kRead.
  static std::unique_ptr<ImageStream> OpenFile(LPCWSTR path, int mode);
  // A stream over a copy of `bytes`; writes extend it.
  static std::unique_ptr<ImageStream> OpenMemory(std::span<const uint8_t> bytes);

  ~ImageStream();
  ImageStream(const ImageStream&) = delete;
  ImageStream& operator=(const ImageStream&) = delete;

  ImageCodecStream* codecStream() { return &m_head.base; }
  ImageStreamKind kind() const { return m_kind; }
  // The bytes of a memory stream.
  const std::vector<uint8_t>& memory() const { return m_buffer; }

  // Reads up to size bytes; *done says how many came (0 at the end). False on an I/O error.
  bool Read(void* buffer, DWORD size, DWORD* done);
  // Reads exactly size bytes.
  bool ReadExact(void* buffer, DWORD size);
  bool Write(const void* buffer, DWORD size);
  // Origins 0 = begin, 1 = end, 2 = current. Returns 0 or -1.
  int Seek(LONG offset, int origin);
  LONG Tell();

 private:
  explicit ImageStream(ImageStreamKind kind);
  static ImageStream* Self(ImageCodecStream* stream);
  static int32_t CodecRead(ImageCodecStream* stream, void* buffer, uint32_t size, uint32_t* done);
  static int32_t CodecWrite(ImageCodecStream* stream, const void* buffer, uint32_t size);
  static int32_t CodecSeek(ImageCodecStream* stream, int32_t offset, int32_t origin);
  static int32_t CodecTell(ImageCodecStream* stream);

  struct Head {
    ImageCodecStream base;  // first, so that the codec's pointer leads back to the stream
    ImageStream* owner;
  };
  Head m_head;
  ImageStreamKind m_kind;
  HANDLE m_file = INVALID_HANDLE_VALUE;
  size_t m_position = 0;
  std::vector<uint8_t> m_buffer;
};
