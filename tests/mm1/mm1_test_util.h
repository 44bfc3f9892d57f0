// Helpers the MM1 tests share: corpus files as bytes, byte literals, and scratch folders.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/test_device.h"

namespace mm1_test {

inline std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (int value : values) bytes.push_back(static_cast<std::uint8_t>(value));
  return bytes;
}

inline std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

inline std::vector<std::uint8_t> CorpusPdu(const std::string& name) {
  return Bytes(test_support::ReadFileBytes(test_support::CorpusPath("mms/" + name)));
}

inline std::vector<std::filesystem::path> CorpusPdus() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(test_support::CorpusPath("mms"))) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

}  // namespace mm1_test
