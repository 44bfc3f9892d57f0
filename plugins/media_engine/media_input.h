// One media file opened through libavformat for reading, with the bounds that keep hostile files
// cheap: only local demuxers of the formats a phone plays, reads through our own file callbacks (no
// protocol, so nothing outside the file is ever opened), a bounded probe, and a deadline.
#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace media_engine {

class MediaInput {
 public:
  static std::unique_ptr<MediaInput> Open(const std::filesystem::path& host);
  // The same over bytes held in memory (protected content that the DRM service decrypted); several
  // inputs may read the same bytes, each with its own position.
  static std::unique_ptr<MediaInput> OpenBytes(std::shared_ptr<const std::vector<uint8_t>> bytes);
  ~MediaInput();
  MediaInput(const MediaInput&) = delete;
  MediaInput& operator=(const MediaInput&) = delete;

  AVFormatContext* format() const { return m_format; }
  // The best stream of the type, or -1.
  int BestStream(AVMediaType type) const;
  // The container's play time in milliseconds, or -1 when it gives none.
  int64_t DurationMs() const;
  // Restarts the deadline before a long operation such as playback.
  void ExtendDeadline(int seconds);
  bool PastDeadline() const;

 private:
  MediaInput() = default;
  // Opens the container once the source (file or bytes) and its size are set.
  bool OpenFormat();
  static int Read(void* opaque, uint8_t* buffer, int size);
  static int64_t Seek(void* opaque, int64_t offset, int whence);
  static int Interrupt(void* opaque);

  FILE* m_file = nullptr;
  std::shared_ptr<const std::vector<uint8_t>> m_bytes;  // the source when there is no file
  int64_t m_position = 0;        // in m_bytes
  int64_t m_size = 0;
  AVIOContext* m_io = nullptr;
  AVFormatContext* m_format = nullptr;
  int64_t m_deadline = 0;
};

// Files up to this size are read whole for the frame walkers; larger ones go to FFmpeg alone.
inline constexpr size_t kMaxSniffBytes = 16u * 1024 * 1024;

// The whole file when it is not empty and not larger than `maxBytes`; else nothing.
std::vector<uint8_t> ReadSmallFile(const std::filesystem::path& host, size_t maxBytes);

// Whether the device file is protected content (DCF) of the DRM service.
bool IsProtectedContent(const char16_t* devicePath);
// Protected content read whole and decrypted through the DRM service, when its play right is
// granted; null otherwise. Nothing decrypted is ever written to a file.
std::shared_ptr<const std::vector<uint8_t>> ReadProtectedContent(const char16_t* devicePath);
// Spends one play of protected content; false (and nothing spent) when no play is left.
bool SpendPlayRight(const char16_t* devicePath);

// The host path of a device path, or empty.
std::filesystem::path HostPathOf(const char16_t* devicePath);

}  // namespace media_engine
