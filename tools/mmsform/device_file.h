// Host files handed to the device. A file the device reads keeps its own device path when it lies
// under the device root, else it is lent to the device where it lies (nothing is copied, so reading
// works on a full or read-only device). A file the device writes for the host is written under
// "\Temp\" and moved to the host file at the end.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/kernel/device.h"
#include "platform/kernel/lent_files.h"
#include "platform/kernel/temporary_files.h"
#include "platform/text/text_conversion.h"
#include "platform/win_types.h"

namespace mmsform_tool {

class DeviceInput {
 public:
  explicit DeviceInput(const std::filesystem::path& host) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(host, error);
    if (auto path = platform::DevicePathOf(absolute)) {
      m_devicePath = *path;
    } else {
      m_loan.emplace(absolute);
      m_devicePath = m_loan->devicePath();
    }
  }

  LPCWSTR path() const { return m_devicePath.c_str(); }

 private:
  std::optional<platform::LentFile> m_loan;
  std::u16string m_devicePath;
};

class DeviceOutput {
 public:
  DeviceOutput(const std::filesystem::path& host, const std::u16string& tempName) {
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
    m_temporary = *target;
  }
  ~DeviceOutput() {
    std::error_code error;
    if (!m_temporary.empty()) std::filesystem::remove(m_temporary, error);
  }
  DeviceOutput(const DeviceOutput&) = delete;
  DeviceOutput& operator=(const DeviceOutput&) = delete;

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
