#include "model/device_file.h"

#include <algorithm>
#include <string>

#include "platform/kernel/file_api.h"

namespace {

constexpr DWORD kReadPiece = 1024;
constexpr std::size_t kWritePiece = std::size_t{1} << 20;

}  // namespace

ScopedFile::~ScopedFile() {
  if (IsValid()) {
    CloseHandle(m_handle);
  }
}

bool ScopedFile::IsValid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }

FileReadResult ReadDeviceFile(std::u16string_view path, std::size_t maxBytes) {
  FileReadResult result;
  const std::u16string name(path);
  ScopedFile file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) {
    return result;
  }
  DWORD sizeHigh = 0;
  const DWORD size = GetFileSize(file.Get(), &sizeHigh);
  if (sizeHigh != 0 || (size != INVALID_FILE_SIZE && size > maxBytes)) {
    result.status = FileReadStatus::kTooLarge;
    return result;
  }
  char piece[kReadPiece];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), piece, kReadPiece, &got, nullptr)) {
      result.status = FileReadStatus::kReadFailed;
      result.bytes.clear();
      return result;
    }
    if (got == 0) {
      break;
    }
    if (result.bytes.size() + got > maxBytes) {  // the file grew while we read it
      result.status = FileReadStatus::kTooLarge;
      result.bytes.clear();
      return result;
    }
    result.bytes.append(piece, got);
  }
  result.status = FileReadStatus::kOk;
  return result;
}

std::optional<std::string> ReadDeviceFileStart(std::u16string_view path, std::size_t limit) {
  const std::u16string name(path);
  ScopedFile file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsValid()) return std::nullopt;
  DWORD sizeHigh = 0;
  const DWORD size = GetFileSize(file.Get(), &sizeHigh);
  if (size == INVALID_FILE_SIZE || sizeHigh != 0) return std::nullopt;
  std::string data(std::min<std::size_t>(size, limit), '\0');
  std::size_t done = 0;
  while (done < data.size()) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), data.data() + done, static_cast<DWORD>(data.size() - done), &read, nullptr)) {
      return std::nullopt;
    }
    if (read == 0) break;
    done += read;
  }
  data.resize(done);
  return data;
}

bool WriteDeviceFile(std::u16string_view path, std::string_view bytes) {
  const std::u16string name(path);
  bool written = false;
  {
    ScopedFile file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.IsValid()) {
      return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
      const auto piece = static_cast<DWORD>(std::min(bytes.size() - done, kWritePiece));
      DWORD count = 0;
      if (!WriteFile(file.Get(), bytes.data() + done, piece, &count, nullptr) || count == 0) {
        break;
      }
      done += count;
    }
    written = done == bytes.size();
  }
  if (!written) {  // a half-written file would pass for a whole one later
    DeleteFileW(name.c_str());
  }
  return written;
}

bool DevicePathExists(std::u16string_view path) {
  return GetFileAttributesW(std::u16string(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::u16string WithTrailingSeparator(std::u16string_view folder) {
  std::u16string text(folder);
  if (!text.empty() && text.back() != u'\\' && text.back() != u'/') text += u'\\';
  return text;
}
