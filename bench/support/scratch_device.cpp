#include "scratch_device.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bench {

ScratchDevice::ScratchDevice(std::string_view name, platform::RegistrySeed seed)
    : m_root(std::filesystem::temp_directory_path() /
             ("mmsform-bench-" + std::string(name) + "-" + std::to_string(getpid()))) {
  std::error_code ignored;
  std::filesystem::remove_all(m_root, ignored);
  std::string error;
  if (!platform::OpenDevice(Folder(), seed, &error)) {
    std::fprintf(stderr, "the benchmark's device in %s cannot be opened: %s\n", Folder().c_str(), error.c_str());
    std::exit(1);
  }
}

ScratchDevice::~ScratchDevice() {
  platform::CloseDevice();
  std::error_code ignored;
  std::filesystem::remove_all(m_root, ignored);
}

}  // namespace bench
