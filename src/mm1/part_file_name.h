// File names for the parts of a message. Names come from the message, so they are hostile: they are
// cut to their last component, cleaned of control and reserved characters and bounded in length,
// and each is made unique, without regard to case, among the files one read handle writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

#include "mm1/file_io.h"
#include "mm1/result.h"

namespace mm1 {

constexpr std::size_t kMaxPartNameBytes = 120;

// The safe form of a name taken from a message: no folder part (neither "/" nor "\"), no control
// or reserved character (each becomes "_"), valid UTF-8, no trailing dots or blanks, at most
// kMaxPartNameBytes bytes with the extension kept. Empty when nothing usable is left ("..").
std::string SafePartFileName(std::string_view name);

// A folder that receives part files. Every file is created inside it by name relative to the
// folder's own descriptor, never through a symbolic link.
class PartFolder {
 public:
  static Result<PartFolder> Open(const std::filesystem::path& folder);

  const std::filesystem::path& Path() const { return m_path; }
  // Writes the data under `safeName`, or under the first free "stem<n>.ext" when that name is
  // taken by an earlier file of this folder object or cannot be written as a plain file. Returns
  // the name used.
  Result<std::string> WriteUnique(const std::string& safeName, std::span<const std::uint8_t> data);
  // Writes (replacing) a file of exactly this name, and reserves the name.
  Status WriteExact(const std::string& safeName, std::span<const std::uint8_t> data);
  // Keeps a name for a file written later, so that no part takes it.
  void Reserve(const std::string& name);

 private:
  PartFolder(std::filesystem::path path, UniqueFd fd) : m_path(std::move(path)), m_fd(std::move(fd)) {}
  bool TryWrite(const std::string& name, std::span<const std::uint8_t> data, int* error);

  std::filesystem::path m_path;
  UniqueFd m_fd;
  std::unordered_set<std::string> m_taken;  // case-folded names already written
};

}  // namespace mm1
