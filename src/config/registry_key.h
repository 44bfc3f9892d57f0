// An open registry key that closes itself, with the typed reads and writes the settings tables use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace config {

// Longest text a string setting holds, in characters, without its null.
inline constexpr std::size_t kMaxSettingText = 259;

class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey();
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // An existing key, or a closed RegistryKey. A leading "\" of the path is allowed.
  static RegistryKey Open(HKEY root, std::u16string_view path);
  // The key opened with full access, created when missing.
  static RegistryKey Create(HKEY root, std::u16string_view path);

  bool IsOpen() const { return m_key != nullptr; }
  HKEY Get() const { return m_key; }

  // A 32-bit value: exactly 4 bytes, of any registry type. Anything else reads as nothing.
  std::optional<DWORD> ReadDword(std::u16string_view valueName) const;
  // A text value (SZ or EXPAND_SZ) of at most kMaxSettingText characters, cut at its first null.
  // Longer texts and other types read as nothing. An empty name reads the key's default value.
  std::optional<std::u16string> ReadText(std::u16string_view valueName) const;
  bool WriteDword(std::u16string_view valueName, DWORD value);
  bool WriteText(std::u16string_view valueName, std::u16string_view text);
  bool Flush();
  // Whether a direct subkey has exactly this name (case counts, unlike the registry's own lookups).
  bool HasSubkeyExactly(std::u16string_view name) const;

 private:
  explicit RegistryKey(HKEY key) : m_key(key) {}
  void Close();

  HKEY m_key = nullptr;
};

}  // namespace config
