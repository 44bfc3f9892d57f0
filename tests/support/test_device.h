// A device of its own for each test: a fresh temporary root, opened as the current device and
// removed again when the test ends.
#pragma once

#include <filesystem>
#include <string>

#include "platform/kernel/device.h"

namespace test_support {

class TestDevice {
 public:
  explicit TestDevice(platform::RegistrySeed seed = platform::RegistrySeed::kFactory);
  ~TestDevice();
  TestDevice(const TestDevice&) = delete;
  TestDevice& operator=(const TestDevice&) = delete;

  const std::filesystem::path& root() const { return m_root; }
  // Host path of a device path; fails the test when it cannot be mapped.
  std::filesystem::path Host(std::u16string_view devicePath) const;

 private:
  std::filesystem::path m_root;
};

// Folders of the shared corpus, the source tree and the build tree.
std::filesystem::path CorpusPath(const std::string& relative);
std::filesystem::path SourcePath(const std::string& relative);
std::filesystem::path BinaryPath(const std::string& relative);

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace test_support
