#include "platform/resources/resource_file.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace platform::resources {
namespace {

constexpr char kMagic[8] = {'M', 'M', 'S', 'R', 'E', 'S', '0', '1'};
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kEntrySize = 20;

DWORD ReadU32(const std::vector<BYTE>& bytes, std::size_t at) {
  return static_cast<DWORD>(bytes[at]) | (static_cast<DWORD>(bytes[at + 1]) << 8) |
         (static_cast<DWORD>(bytes[at + 2]) << 16) | (static_cast<DWORD>(bytes[at + 3]) << 24);
}

bool Fail(std::string* error, std::string reason) {
  if (error) *error = std::move(reason);
  return false;
}

}  // namespace

std::unique_ptr<ResourceFile> ResourceFile::Open(const std::filesystem::path& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Fail(error, path.string() + ": cannot be opened");
    return nullptr;
  }
  std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return FromBytes(std::move(bytes), error);
}

std::unique_ptr<ResourceFile> ResourceFile::FromBytes(std::vector<BYTE> bytes, std::string* error) {
  auto file = std::unique_ptr<ResourceFile>(new ResourceFile());
  file->m_bytes = std::move(bytes);
  const std::vector<BYTE>& b = file->m_bytes;
  if (b.size() < kHeaderSize || std::memcmp(b.data(), kMagic, sizeof kMagic) != 0) {
    Fail(error, "not a resource file");
    return nullptr;
  }
  const DWORD count = ReadU32(b, 8);
  if (count > kMaxResourceEntries || kHeaderSize + std::size_t{count} * kEntrySize > b.size()) {
    Fail(error, "entry table runs past the end of the file");
    return nullptr;
  }
  file->m_entries.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    const std::size_t at = kHeaderSize + std::size_t{i} * kEntrySize;
    const DWORD offset = ReadU32(b, at + 12);
    const DWORD size = ReadU32(b, at + 16);
    if (offset > b.size() || size > b.size() - offset) {
      Fail(error, "entry " + std::to_string(i) + " points outside the file");
      return nullptr;
    }
    // Entries hold 16- and 32-bit words that are read in place, so their data must be aligned.
    if (offset % 4 != 0) {
      Fail(error, "entry " + std::to_string(i) + " is not aligned to 4 bytes");
      return nullptr;
    }
    file->m_entries.push_back(
        ResourceEntry{ReadU32(b, at), ReadU32(b, at + 4), ReadU32(b, at + 8), std::span<const BYTE>(b.data() + offset, size)});
  }
  return file;
}

const ResourceEntry* ResourceFile::Find(DWORD type, DWORD id, DWORD variant) const {
  const ResourceEntry* fallback = nullptr;
  for (const ResourceEntry& entry : m_entries) {
    if (entry.type != type || entry.id != id) continue;
    if (entry.variant == variant) return &entry;
    if (entry.variant == 1) fallback = &entry;
  }
  return fallback;
}

bool ResourceFile::Owns(const ResourceEntry* entry) const {
  return !m_entries.empty() && entry >= m_entries.data() && entry < m_entries.data() + m_entries.size();
}

const ResourceEntry* ResourceFile::EntryAt(const void* data) const {
  for (const ResourceEntry& entry : m_entries) {
    if (entry.data.data() == data && !entry.data.empty()) return &entry;
  }
  return nullptr;
}

}  // namespace platform::resources
