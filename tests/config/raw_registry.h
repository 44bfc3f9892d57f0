// Direct registry access for the settings tests: values of any type and size, written past the
// settings accessors, and key checks.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry/registry.h"

namespace config_test {

inline constexpr std::u16string_view kConfig = u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config";

inline std::u16string ConfigKey(std::u16string_view subkey) { return std::u16string(kConfig) + u"\\" + std::u16string(subkey); }

inline bool WriteRaw(HKEY root, const std::u16string& key, const std::u16string& name, DWORD type,
                     std::string_view bytes) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, &disposition) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG status = RegSetValueExW(opened, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                     static_cast<DWORD>(bytes.size()));
  RegCloseKey(opened);
  return status == ERROR_SUCCESS;
}

inline bool WriteText(HKEY root, const std::u16string& key, const std::u16string& name, std::u16string_view text) {
  std::u16string data(text);
  return WriteRaw(root, key, name, REG_SZ,
                  std::string_view(reinterpret_cast<const char*>(data.c_str()), (data.size() + 1) * 2));
}

inline bool WriteDword(HKEY root, const std::u16string& key, const std::u16string& name, DWORD value) {
  return WriteRaw(root, key, name, REG_DWORD, std::string_view(reinterpret_cast<const char*>(&value), 4));
}

inline bool KeyExists(HKEY root, const std::u16string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

inline bool CreateKey(HKEY root, const std::u16string& key) {
  HKEY opened = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, &disposition) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(opened);
  return true;
}

}  // namespace config_test
