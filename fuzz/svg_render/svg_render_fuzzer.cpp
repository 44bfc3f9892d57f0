// The bytes as an SVG file: its size, and its first frame into a small box.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "engines/dib_image.h"
#include "engines/image_decode.h"
#include "engines/image_info.h"
#include "platform/kernel/device.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  auto root = std::filesystem::temp_directory_path() / ("svg-fuzz-" + std::to_string(getpid()));
  platform::OpenDevice(root, platform::RegistrySeed::kEmpty);
  std::filesystem::create_directories(root / "Temp");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto host = platform::HostPath(u"\\Temp\\f.svg");
  {
    std::ofstream out(*host, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  SIZE info{};
  GetImageInfo(u"\\Temp\\f.svg", &info, nullptr, 0x10006);
  SIZE box{40, 30};
  std::unique_ptr<DibImage, DibImageDeleter> image(DecodeImage(u"\\Temp\\f.svg", &box, 0x10006, 0));
  return 0;
}
