#include "config/registry_key.h"

#include <utility>

#include "platform/registry/registry.h"

namespace config {
namespace {

// The registry calls take paths below the root key without a leading separator.
std::u16string SubkeyPath(std::u16string_view path) {
  while (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
  return std::u16string(path);
}

}  // namespace

RegistryKey::~RegistryKey() { Close(); }

RegistryKey::RegistryKey(RegistryKey&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    m_key = std::exchange(other.m_key, nullptr);
  }
  return *this;
}

void RegistryKey::Close() {
  if (m_key != nullptr) RegCloseKey(std::exchange(m_key, nullptr));
}

RegistryKey RegistryKey::Open(HKEY root, std::u16string_view path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, SubkeyPath(path).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return {};
  return RegistryKey(key);
}

RegistryKey RegistryKey::Create(HKEY root, std::u16string_view path) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(root, SubkeyPath(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      &disposition) != ERROR_SUCCESS) {
    return {};
  }
  return RegistryKey(key);
}

std::optional<DWORD> RegistryKey::ReadDword(std::u16string_view valueName) const {
  if (m_key == nullptr) return std::nullopt;
  std::u16string name(valueName);
  BYTE data[4] = {};
  DWORD size = sizeof data;
  if (RegQueryValueExW(m_key, name.c_str(), nullptr, nullptr, data, &size) != ERROR_SUCCESS) return std::nullopt;
  // Four bytes are taken as stored, whatever the value's type; a shorter value has no 32-bit
  // reading and counts as missing.
  if (size != sizeof data) return std::nullopt;
  return static_cast<DWORD>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<DWORD>(data[3]) << 24);
}

std::optional<std::u16string> RegistryKey::ReadText(std::u16string_view valueName) const {
  if (m_key == nullptr) return std::nullopt;
  std::u16string name(valueName);
  WCHAR buffer[kMaxSettingText + 1] = {};
  DWORD size = sizeof buffer;
  DWORD type = REG_NONE;
  if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::u16string_view text(buffer, size / sizeof(WCHAR));
  return std::u16string(text.substr(0, text.find(u'\0')));
}

bool RegistryKey::WriteDword(std::u16string_view valueName, DWORD value) {
  if (m_key == nullptr) return false;
  std::u16string name(valueName);
  const BYTE data[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                        static_cast<BYTE>(value >> 24)};
  return RegSetValueExW(m_key, name.c_str(), 0, REG_DWORD, data, sizeof data) == ERROR_SUCCESS;
}

bool RegistryKey::WriteText(std::u16string_view valueName, std::u16string_view text) {
  if (m_key == nullptr) return false;
  std::u16string name(valueName);
  std::u16string data(text);
  const DWORD size = static_cast<DWORD>((data.size() + 1) * sizeof(WCHAR));
  return RegSetValueExW(m_key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), size) ==
         ERROR_SUCCESS;
}

bool RegistryKey::Flush() { return m_key != nullptr && RegFlushKey(m_key) == ERROR_SUCCESS; }

bool RegistryKey::HasSubkeyExactly(std::u16string_view name) const {
  if (m_key == nullptr) return false;
  WCHAR buffer[MAX_PATH + 1];
  for (DWORD index = 0;; ++index) {
    DWORD length = MAX_PATH + 1;
    const LONG status = RegEnumKeyExW(m_key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) continue;  // a name too long to be the one looked for
    if (status != ERROR_SUCCESS) return false;
    if (std::u16string_view(buffer, length) == name) return true;
  }
}

}  // namespace config
