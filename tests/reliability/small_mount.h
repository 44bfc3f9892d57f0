// A small file system of the test's own (tmpfs), mounted on a scratch folder and unmounted again,
// optionally made read-only after it was filled. Mounting needs root; a test that cannot mount says
// why and skips.
#pragma once

#include <filesystem>
#include <string>

namespace reliability {

class SmallMount {
 public:
  // Mounts a tmpfs of `bytes` on `folder` (created when missing); Error() says why not.
  SmallMount(const std::filesystem::path& folder, std::size_t bytes);
  ~SmallMount();
  SmallMount(const SmallMount&) = delete;
  SmallMount& operator=(const SmallMount&) = delete;

  bool Mounted() const { return m_mounted; }
  const std::string& Error() const { return m_error; }
  // Remounts it read-only (or writable again).
  bool SetReadOnly(bool readOnly);

 private:
  std::filesystem::path m_folder;
  std::size_t m_bytes;
  bool m_mounted = false;
  std::string m_error;
};

}  // namespace reliability
