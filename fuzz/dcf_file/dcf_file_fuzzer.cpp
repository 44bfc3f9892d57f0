// Reads arbitrary bytes as a protected content file. What it accepts must write out again to a
// file that reads back to the same fields, no longer than the input (the input may spend more
// bytes on a length than needed), and its headers must be found by name whatever their case.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/drm/dcf_file.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto file = platform::drm::ParseDcf(bytes, &error);
  if (!file) {
    Check(error.find(" at offset ") != std::string::npos);
    return 0;
  }
  const std::string written = platform::drm::EncodeDcf(*file);
  Check(written.size() <= size);
  auto again = platform::drm::ParseDcf(written, &error);
  Check(again && again->contentType == file->contentType && again->contentUri == file->contentUri &&
        again->headers == file->headers && again->data == file->data);
  // The first header line's name, looked up in another case, gives the same value.
  const std::string_view headers = file->headers;
  const std::size_t colon = headers.find(':');
  const std::size_t lineEnd = headers.find("\r\n");
  if (colon != std::string_view::npos && colon > 0 && colon < lineEnd) {
    const std::string_view name = headers.substr(0, colon);
    auto value = platform::drm::DcfHeader(*file, name);
    Check(value && platform::drm::DcfHeader(*file, Upper(name)) == value);
  }
  return 0;
}
