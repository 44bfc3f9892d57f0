#include "platform/kernel/debug_output.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/text/text_conversion.h"

void OutputDebugStringW(LPCWSTR text) {
  if (text == nullptr) return;
  std::string utf8 = platform::Utf16ToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

namespace platform {

void DebugPrint(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fputs(line, stderr);
}

void ReportFailed(HRESULT hr, const char* file, int line) {
  DebugPrint("FAILED(0x%08x) at %s:%d\n", static_cast<unsigned>(hr), file, line);
}

void ReportOutOfMemory(const char* file, int line) { DebugPrint("OOM at %s:%d\n", file, line); }

void ReportInvalidParameter(const char* file, int line) {
  DebugPrint("Invalid parameter passed at %s:%d\n", file, line);
}

}  // namespace platform
