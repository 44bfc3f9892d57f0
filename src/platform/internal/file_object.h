// What an open file handle refers to: a host file, or content held in memory (a protected file
// opened for reading through the DRM service). The file calls work on both alike.
#pragma once

#include <string>

#include "platform/internal/kernel_object.h"

namespace platform::internal {

class FileObject : public KernelObject {
 public:
  // Reads up to `size` bytes; false with *error set on failure.
  virtual bool Read(void* buffer, DWORD size, DWORD* read, DWORD* error) = 0;
  virtual bool Write(const void* buffer, DWORD size, DWORD* written, DWORD* error) = 0;
  // Moves to offset from the origin (SEEK_SET, SEEK_CUR, SEEK_END); -1 when refused.
  virtual long long Seek(long long offset, int origin) = 0;
  virtual long long Size() = 0;
  virtual bool Truncate() = 0;
  virtual bool Flush() = 0;
};

// Read-only content in memory.
class MemoryFile : public FileObject {
 public:
  explicit MemoryFile(std::string content) : m_content(std::move(content)) {}
  bool Read(void* buffer, DWORD size, DWORD* read, DWORD* error) override;
  bool Write(const void* buffer, DWORD size, DWORD* written, DWORD* error) override;
  long long Seek(long long offset, int origin) override;
  long long Size() override { return static_cast<long long>(m_content.size()); }
  bool Truncate() override { return false; }
  bool Flush() override { return true; }

 private:
  std::string m_content;
  std::size_t m_position = 0;
};

}  // namespace platform::internal
