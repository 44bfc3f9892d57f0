// Whole-file reads and writes of device files, with the handle closed on every path.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win_types.h"

// Owns a file handle of CreateFileW; closes it when it goes.
class ScopedFile {
 public:
  explicit ScopedFile(HANDLE handle) : m_handle(handle) {}
  ~ScopedFile();
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;

  bool IsValid() const;
  HANDLE Get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

enum class FileReadStatus { kOk, kCannotOpen, kTooLarge, kReadFailed };

struct FileReadResult {
  FileReadStatus status = FileReadStatus::kCannotOpen;
  std::string bytes;
};

// Reads the whole file (shared for reading); files above maxBytes are refused unread.
FileReadResult ReadDeviceFile(std::u16string_view path, std::size_t maxBytes);

// At most `limit` bytes from the start of the file (shared for reading); nothing when it cannot be
// read. Never holds more than the file has, whatever the limit.
std::optional<std::string> ReadDeviceFileStart(std::u16string_view path, std::size_t limit);

// Creates or empties the file and writes the bytes; false when it cannot be created or written.
bool WriteDeviceFile(std::u16string_view path, std::string_view bytes);

// Whether a file or folder of that device path exists.
bool DevicePathExists(std::u16string_view path);

// The folder path with a trailing separator, as folder + name expects it.
std::u16string WithTrailingSeparator(std::u16string_view folder);
