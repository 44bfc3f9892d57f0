#include "platform/text/wide_stdio.h"

#include <cerrno>
#include <string>

#include "platform/kernel/device.h"
#include "platform/kernel/write_limit.h"
#include "platform/text/text_conversion.h"

FILE* _wfopen(LPCWSTR path, LPCWSTR mode) {
  if (path == nullptr || mode == nullptr) return nullptr;
  const auto host = platform::HostPath(path);
  if (!host) return nullptr;
  std::string narrowMode = platform::Utf16ToUtf8(mode);
  if (narrowMode.find('b') == std::string::npos) narrowMode += 'b';  // units are written as they are
  FILE* file = std::fopen(host->c_str(), narrowMode.c_str());
  const bool writes = narrowMode.find_first_of("wa+") != std::string::npos;
  if (file == nullptr || !writes || platform::DeviceWriteBudget() < 0) return file;
  // Under the test switch for full storage the stream's writes go through the budget.
  cookie_io_functions_t calls{};
  calls.read = [](void* cookie, char* buffer, std::size_t size) -> ssize_t {
    return static_cast<ssize_t>(std::fread(buffer, 1, size, static_cast<FILE*>(cookie)));
  };
  calls.write = [](void* cookie, const char* buffer, std::size_t size) -> ssize_t {
    const std::size_t allowed = platform::internal::TakeWriteBudget(size);
    const std::size_t written = std::fwrite(buffer, 1, allowed, static_cast<FILE*>(cookie));
    if (written < size) {
      errno = ENOSPC;
      return written == 0 ? -1 : static_cast<ssize_t>(written);
    }
    return static_cast<ssize_t>(written);
  };
  calls.seek = [](void* cookie, off64_t* offset, int whence) -> int {
    FILE* inner = static_cast<FILE*>(cookie);
    if (std::fflush(inner) != 0 || fseeko(inner, *offset, whence) != 0) return -1;
    *offset = ftello(inner);
    return 0;
  };
  calls.close = [](void* cookie) -> int { return std::fclose(static_cast<FILE*>(cookie)); };
  FILE* limited = fopencookie(file, narrowMode.c_str(), calls);
  if (limited == nullptr) std::fclose(file);
  return limited;
}

int fputws(LPCWSTR text, FILE* file) {
  if (text == nullptr || file == nullptr) return EOF;
  for (const WCHAR* c = text; *c != 0; ++c) {
    const unsigned char bytes[2] = {static_cast<unsigned char>(*c & 0xFF), static_cast<unsigned char>(*c >> 8)};
    if (std::fwrite(bytes, 1, 2, file) != 2) return EOF;
  }
  return 0;
}
