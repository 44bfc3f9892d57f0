// Whole-file reads with a size cap, and writes that replace a file atomically.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "mm1/result.h"

namespace mm1 {

// An owned POSIX file descriptor, closed on destruction.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd();
  UniqueFd(UniqueFd&& other) noexcept : m_fd(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  bool Valid() const { return m_fd >= 0; }
  int Get() const { return m_fd; }
  int Release();
  // Closes now and reports whether the close succeeded (it may report a deferred write error).
  bool Close();

 private:
  int m_fd = -1;
};

// Writes every byte, retrying short writes and interruptions.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes);

// The whole file, refused when it is larger than maxSize.
Result<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path, std::size_t maxSize);

// Writes the bytes to a temporary file beside `path`, flushes it to storage and renames it over
// `path`: a failure or a crash leaves either the old file or the new one.
Status WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace mm1
