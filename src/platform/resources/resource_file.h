// The device's resource file, as written by the build's resource compiler:
//   "MMSRES01", a 32-bit entry count, per entry five 32-bit words (type, identifier, variant,
//   offset from the file's start, a multiple of 4; size), then the data.
// Every entry is checked against the file's size when the file is read, so a lookup never
// reaches outside the data.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace platform::resources {

struct ResourceEntry {
  DWORD type = 0;
  DWORD id = 0;
  DWORD variant = 0;  // 1, or 2 for a bitmap drawn for twice the density
  std::span<const BYTE> data;
};

class ResourceFile {
 public:
  // Nothing, with a reason, for a missing, truncated or inconsistent file.
  static std::unique_ptr<ResourceFile> Open(const std::filesystem::path& path, std::string* error = nullptr);
  static std::unique_ptr<ResourceFile> FromBytes(std::vector<BYTE> bytes, std::string* error = nullptr);

  // The entry of that type and identifier, preferring `variant` and falling back to variant 1.
  const ResourceEntry* Find(DWORD type, DWORD id, DWORD variant = 1) const;
  bool Owns(const ResourceEntry* entry) const;
  // The entry whose data starts at `data`, or null.
  const ResourceEntry* EntryAt(const void* data) const;
  std::size_t Count() const { return m_entries.size(); }
  std::span<const ResourceEntry> Entries() const { return m_entries; }

 private:
  std::vector<BYTE> m_bytes;
  std::vector<ResourceEntry> m_entries;
};

// Entry counts beyond this are taken as a damaged file.
constexpr DWORD kMaxResourceEntries = 65536;

}  // namespace platform::resources
