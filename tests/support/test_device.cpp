#include "support/test_device.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <random>

namespace test_support {

TestDevice::TestDevice(platform::RegistrySeed seed) {
  std::random_device random;
  auto base = std::filesystem::temp_directory_path() / "mmsform-tests";
  std::filesystem::create_directories(base);
  m_root = base / ("device-" + std::to_string(getpid()) + "-" + std::to_string(random()));
  std::string error;
  if (!platform::OpenDevice(m_root, seed, &error)) ADD_FAILURE() << "cannot open test device: " << error;
}

TestDevice::~TestDevice() {
  platform::CloseDevice();
  std::error_code ignored;
  std::filesystem::remove_all(m_root, ignored);
}

std::filesystem::path TestDevice::Host(std::u16string_view devicePath) const {
  auto host = platform::HostPath(devicePath);
  if (!host) {
    ADD_FAILURE() << "device path cannot be mapped";
    return m_root / "unmappable";
  }
  return *host;
}

std::filesystem::path CorpusPath(const std::string& relative) { return std::filesystem::path(MMSFORM_CORPUS_DIR) / relative; }
std::filesystem::path SourcePath(const std::string& relative) { return std::filesystem::path(MMSFORM_SOURCE_DIR) / relative; }
std::filesystem::path BinaryPath(const std::string& relative) { return std::filesystem::path(MMSFORM_BINARY_DIR) / relative; }

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace test_support
