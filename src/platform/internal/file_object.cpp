#include "platform/internal/file_object.h"

#include <cstdio>
#include <cstring>

namespace platform::internal {

bool MemoryFile::Read(void* buffer, DWORD size, DWORD* read, DWORD*) {
  std::size_t available = m_position < m_content.size() ? m_content.size() - m_position : 0;
  std::size_t count = std::min<std::size_t>(size, available);
  if (count != 0) std::memcpy(buffer, m_content.data() + m_position, count);
  m_position += count;
  *read = static_cast<DWORD>(count);
  return true;
}

bool MemoryFile::Write(const void*, DWORD, DWORD* written, DWORD* error) {
  *written = 0;
  *error = ERROR_ACCESS_DENIED;
  return false;
}

long long MemoryFile::Seek(long long offset, int origin) {
  long long base = origin == SEEK_CUR ? static_cast<long long>(m_position)
                   : origin == SEEK_END ? static_cast<long long>(m_content.size())
                                        : 0;
  long long target = base + offset;
  if (target < 0) return -1;
  m_position = static_cast<std::size_t>(target);
  return target;
}

}  // namespace platform::internal
