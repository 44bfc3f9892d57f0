// Folder settings and the last-used folders.
#include "config/registry_key.h"
#include "config/setting_numbers.h"
#include "config/setting_tables.h"
#include "config/settings.h"
#include "platform/kernel/file_api.h"
#include "platform/registry/registry.h"

namespace {

// File calls take folders without the trailing separator the settings keep.
std::u16string WithoutTrailingSeparator(std::u16string_view folder) {
  while (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/')) folder.remove_suffix(1);
  return std::u16string(folder);
}

bool FolderExists(std::u16string_view folder) {
  const std::u16string path = WithoutTrailingSeparator(folder);
  if (path.empty()) return !folder.empty();  // the root itself
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates the folder and every missing folder above it.
void CreateFolderPath(std::u16string_view folder) {
  const std::u16string path = WithoutTrailingSeparator(folder);
  for (std::size_t end = path.find(u'\\', 1); ; end = path.find(u'\\', end + 1)) {
    const std::u16string level = path.substr(0, end);
    if (!level.empty() && !FolderExists(level)) CreateDirectoryW(level.c_str(), nullptr);
    if (end == std::u16string::npos) return;
  }
}

std::u16string ReadFolderValue(std::u16string_view key, std::u16string_view valueName) {
  const config::RegistryKey opened = config::RegistryKey::Open(HKEY_LOCAL_MACHINE, config::FullKeyPath(key));
  return opened.ReadText(valueName).value_or(std::u16string());
}

}  // namespace

CString GetFolderSetting(int number) {
  const config::FolderSettingRow* row = config::FindFolderRow(number);
  if (row == nullptr) return CString();
  const std::u16string_view key =
      number == folder_setting::kDebugPath ? config::kDebugFolderKey : config::kFolderKey;
  std::u16string folder = ReadFolderValue(key, row->valueName);
  if (folder.empty()) folder = row->defaultFolder;
  if (row->create) {
    if (!FolderExists(folder)) CreateFolderPath(folder);
    if (folder.back() != u'\\') folder += u'\\';
  }
  return CString(folder);
}

CString GetLastFolder(int number) {
  const config::LastFolderRow* row = config::FindLastFolderRow(number);
  if (row == nullptr) return CString();
  const std::u16string folder = ReadFolderValue(config::kFolderKey, row->valueName);
  if (folder.empty() || !FolderExists(folder)) return GetFolderSetting(row->fallbackFolder);
  return CString(folder);
}

BOOL SetLastFolder(int number, LPCWSTR folder, BOOL flush) {
  const config::LastFolderRow* row = config::FindLastFolderRow(number);
  if (row == nullptr || folder == nullptr) return FALSE;
  const std::u16string_view text(folder);
  if (text.size() > config::kMaxSettingText) return FALSE;
  config::RegistryKey key = config::RegistryKey::Create(HKEY_LOCAL_MACHINE, config::FullKeyPath(config::kFolderKey));
  if (!key.WriteText(row->valueName, text)) return FALSE;
  return !flush || key.Flush() ? TRUE : FALSE;
}
