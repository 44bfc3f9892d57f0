// Numeric settings, numbered lists and the masks of the dialog and capture settings.
#include "config/registry_key.h"
#include "config/setting_numbers.h"
#include "config/setting_tables.h"
#include "config/settings.h"
#include "config/voice_mail_key.h"

namespace {

// Reads open the key with create semantics, so a missing key is made as the device's own reader does.
config::RegistryKey OpenForReading(config::RegistryRoot root, std::u16string_view key) {
  return config::RegistryKey::Create(config::RootKey(root), config::FullKeyPath(key));
}

LONG ReadNumber(const config::RegistryKey& key, std::u16string_view valueName, LONG defaultValue) {
  const std::optional<DWORD> value = key.ReadDword(valueName);
  return value ? static_cast<LONG>(*value) : defaultValue;
}

}  // namespace

LONG GetConfigValue(int number) {
  const config::NumericSettingRow* row = config::FindNumericRow(number);
  if (row == nullptr) return 0;
  if (number == numeric_setting::kVoiceMailClassPresent) return config::VoiceMailTypeKeyExists() ? 1 : 0;
  return ReadNumber(OpenForReading(row->root, row->key), row->valueName, row->defaultValue);
}

BOOL SetConfigValue(int number, LONG value, BOOL flush) {
  const config::NumericSettingRow* row = config::FindNumericRow(number);
  if (row == nullptr) return FALSE;
  config::RegistryKey key = config::RegistryKey::Create(config::RootKey(row->root), config::FullKeyPath(row->key));
  if (!key.WriteDword(row->valueName, static_cast<DWORD>(value))) return FALSE;
  return !flush || key.Flush() ? TRUE : FALSE;
}

BOOL GetConfigList(LONG* out, int count, int number) {
  const config::ConfigListRow* row = config::FindConfigListRow(number);
  if (row == nullptr || out == nullptr || count < 1) return FALSE;
  const config::RegistryKey key = OpenForReading(config::RegistryRoot::kLocalMachine, row->key);
  for (int i = 1; i <= count; ++i) {
    CString valueName(row->prefix);
    valueName.AppendFormat(u"%d", i);
    out[i - 1] = 0;
    const LONG value = ReadNumber(key, valueName.View(), row->defaultValue);
    if (value != 0) out[i - 1] = value;
  }
  return TRUE;
}

LONG GetConfigMask(int kind, LONG mask) {
  switch (kind) {
    case 1: return GetConfigValue(numeric_setting::kHideDlgControl) & mask;
    case 2: return GetConfigValue(numeric_setting::kCaptureEnable) & mask;
    case 3: return GetConfigValue(numeric_setting::kCreateMessageFolder) & mask;
    default: return 0;
  }
}
