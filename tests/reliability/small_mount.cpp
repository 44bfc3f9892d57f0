#include "reliability/small_mount.h"

#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace reliability {

SmallMount::SmallMount(const std::filesystem::path& folder, std::size_t bytes) : m_folder(folder), m_bytes(bytes) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0) {
    m_mounted = true;
  } else {
    m_error = "cannot mount a " + std::to_string(bytes) + "-byte tmpfs on " + folder.string() + ": " + std::strerror(errno);
  }
}

SmallMount::~SmallMount() {
  if (m_mounted) ::umount2(m_folder.c_str(), MNT_DETACH);
}

bool SmallMount::SetReadOnly(bool readOnly) {
  std::string options = "size=" + std::to_string(m_bytes) + ",mode=0755";
  unsigned long flags = MS_REMOUNT | MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0);
  if (::mount("tmpfs", m_folder.c_str(), "tmpfs", flags, options.c_str()) != 0) {
    m_error = "cannot remount " + m_folder.string() + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace reliability
