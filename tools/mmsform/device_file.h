// A host file handed to the device: its own device path when it lies under the device root, else a
// link or copy under "\Temp\" that is removed again at the end.
#pragma once

#include <filesystem>
#include <string>

#include "platform/device.h"
#include "platform/temporary_files.h"
#include "platform/text_conversion.h"
#include "platform/win_types.h"

namespace mmsform_tool {

class DeviceFile {
 public:
  DeviceFile(const std::filesystem::path& host, const std::u16string& tempName) {
    std::filesystem::path absolute = std::filesystem::absolute(host);
    if (auto path = platform::DevicePathOf(absolute)) {
      m_devicePath = *path;
      return;
    }
    // A name of this process and call, so that runs at the same time on one device never meet.
    m_devicePath =
        u"\\Temp\\" + tempName + platform::Utf8ToUtf16(platform::TemporarySuffix() + host.extension().string());
    auto target = platform::HostPath(m_devicePath);
    if (!target) return;
    std::error_code error;
    std::filesystem::create_directories(target->parent_path(), error);
    std::filesystem::remove(*target, error);
    m_temporary = *target;
    if (std::filesystem::exists(absolute, error)) {
      std::filesystem::create_hard_link(absolute, *target, error);
      if (error) std::filesystem::copy_file(absolute, *target, error);
    }
  }
  ~DeviceFile() {
    std::error_code error;
    if (!m_temporary.empty()) std::filesystem::remove(m_temporary, error);
  }
  DeviceFile(const DeviceFile&) = delete;
  DeviceFile& operator=(const DeviceFile&) = delete;

  LPCWSTR path() const { return m_devicePath.c_str(); }
  // Moves what the device wrote to the host file it stands for.
  bool MoveTo(const std::filesystem::path& host) {
    if (m_temporary.empty()) return true;
    std::error_code error;
    std::filesystem::rename(m_temporary, host, error);
    if (error) std::filesystem::copy_file(m_temporary, host, std::filesystem::copy_options::overwrite_existing, error);
    return !error;
  }

 private:
  std::u16string m_devicePath;
  std::filesystem::path m_temporary;
};

}  // namespace mmsform_tool
