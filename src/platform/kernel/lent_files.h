// Host files lent to the device: a file outside the device root shown to the device's readers under a
// device path of its own for as long as the loan lasts. Nothing is copied or linked into the device,
// so a tool can read a host file on a device that is full or read-only, and the device's file calls
// refuse to change, move or delete a lent file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class LentFile {
 public:
  // Lends `host` (made absolute) under "\Host\N\NAME", N unique to this process and loan.
  explicit LentFile(const std::filesystem::path& host);
  ~LentFile();
  LentFile(const LentFile&) = delete;
  LentFile& operator=(const LentFile&) = delete;

  const std::u16string& devicePath() const { return m_devicePath; }

 private:
  std::u16string m_devicePath;
};

// The host file lent under `devicePath` (separators "\" or "/", any case), or nothing.
std::optional<std::filesystem::path> LentHostPath(std::u16string_view devicePath);

}  // namespace platform
