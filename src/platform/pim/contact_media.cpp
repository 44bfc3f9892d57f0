#include "platform/pim/contact_media.h"

#include <optional>
#include <string>

#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/temporary_files.h"
#include "platform/pim/pim_store.h"
#include "platform/text/text_conversion.h"

namespace platform::pim {
namespace {

constexpr std::u16string_view kStoreFolder = u"\\Application Data\\Contacts";

// Reads a whole device file of at most `limit` bytes; nothing when it is missing or larger.
std::optional<std::string> ReadDeviceFile(const std::u16string& path, std::size_t limit) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  std::optional<std::string> bytes;
  if (high == 0 && size != INVALID_FILE_SIZE && size <= limit) {
    std::string data(size, '\0');
    DWORD read = 0;
    if (ReadFile(file, data.data(), size, &read, nullptr) && read == size) bytes = std::move(data);
  }
  CloseHandle(file);
  return bytes;
}

// The extension of a device path with its dot, when it is short and plain; "" otherwise.
std::u16string ExtensionOf(std::u16string_view path) {
  const std::size_t dot = path.find_last_of(u'.');
  const std::size_t slash = path.find_last_of(u"\\/");
  if (dot == std::u16string_view::npos || (slash != std::u16string_view::npos && dot < slash)) return {};
  std::u16string extension(path.substr(dot));
  if (extension.size() < 2 || extension.size() > 8) return {};
  for (char16_t c : extension.substr(1)) {
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return {};
  }
  return extension;
}

}  // namespace

bool SetContactPhotoFromFile(std::int64_t id, std::u16string_view devicePath) {
  PimStore* store = PimStore::ForCurrentDevice();
  auto contact = store ? store->FindContact(id) : std::nullopt;
  if (!contact) return false;
  std::optional<std::string> picture = ReadDeviceFile(std::u16string(devicePath), kMaxPhotoBytes);
  if (!picture || !PictureType(*picture)) return false;
  contact->photo = std::move(*picture);
  return store->Update(*contact);
}

bool SetContactRingToneFromFile(std::int64_t id, std::u16string_view devicePath) {
  PimStore* store = PimStore::ForCurrentDevice();
  auto contact = store ? store->FindContact(id) : std::nullopt;
  if (!contact) return false;
  const std::u16string source(devicePath);
  if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  CreateDirectoryW(u"\\Application Data", nullptr);
  CreateDirectoryW(std::u16string(kStoreFolder).c_str(), nullptr);
  const std::u16string target =
      std::u16string(kStoreFolder) + u"\\ring tone " + Utf8ToUtf16(std::to_string(id)) + ExtensionOf(source);
  const std::u16string temporary = target + Utf8ToUtf16(TemporarySuffix());
  if (!CopyFileW(source.c_str(), temporary.c_str(), TRUE)) return false;
  if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    SetLastError(error);
    return false;
  }
  const std::string previous = contact->ringTone;
  contact->ringTone = Utf16ToUtf8(target);
  if (!store->Update(*contact)) return false;
  // A tone of another extension that the contact had before is no longer used.
  if (!previous.empty() && previous != contact->ringTone) DeleteFileW(Utf8ToUtf16(previous).c_str());
  return true;
}

}  // namespace platform::pim
