// A device of its own for one benchmark program: a fresh folder under the system's temporary folder,
// opened as the device for the program's life and removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/kernel/device.h"

namespace bench {

class ScratchDevice {
 public:
  // The folder is named after `name` and the process, so that programs running side by side do not
  // share one. A device that cannot be opened ends the program: its figures would mean nothing.
  explicit ScratchDevice(std::string_view name, platform::RegistrySeed seed = platform::RegistrySeed::kFactory);
  ~ScratchDevice();
  ScratchDevice(const ScratchDevice&) = delete;
  ScratchDevice& operator=(const ScratchDevice&) = delete;

  // A folder beside the device for the benchmark's own files.
  const std::filesystem::path& Root() const { return m_root; }
  // Where the device lives on the host.
  std::filesystem::path Folder() const { return m_root / "device"; }

 private:
  std::filesystem::path m_root;
};

}  // namespace bench
