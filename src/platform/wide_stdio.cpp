#include "platform/wide_stdio.h"

#include <string>

#include "platform/device.h"
#include "platform/text_conversion.h"

FILE* _wfopen(LPCWSTR path, LPCWSTR mode) {
  if (path == nullptr || mode == nullptr) return nullptr;
  const auto host = platform::HostPath(path);
  if (!host) return nullptr;
  std::string narrowMode = platform::Utf16ToUtf8(mode);
  if (narrowMode.find('b') == std::string::npos) narrowMode += 'b';  // units are written as they are
  return std::fopen(host->c_str(), narrowMode.c_str());
}

int fputws(LPCWSTR text, FILE* file) {
  if (text == nullptr || file == nullptr) return EOF;
  for (const WCHAR* c = text; *c != 0; ++c) {
    const unsigned char bytes[2] = {static_cast<unsigned char>(*c & 0xFF), static_cast<unsigned char>(*c >> 8)};
    if (std::fwrite(bytes, 1, 2, file) != 2) return EOF;
  }
  return 0;
}
