// String settings, the fixed-dialling test numbers and the customisation resources.
#include "config/registry_key.h"
#include "config/setting_numbers.h"
#include "config/setting_tables.h"
#include "config/settings.h"
#include "config/voice_mail_key.h"
#include "platform/registry/registry.h"

namespace {

constexpr std::u16string_view kFdnKey = u"Config\\FdnTest";

CString ReadVoiceMailTypeName() {
  const std::optional<std::u16string> path = config::VoiceMailTypeKey();
  if (!path) return CString();
  const config::RegistryKey key = config::RegistryKey::Open(HKEY_CURRENT_USER, *path);
  return CString(key.ReadText(u"").value_or(std::u16string()));
}

}  // namespace

CString GetConfigString(int number) {
  const config::StringSettingRow* row = config::FindStringRow(number);
  if (row == nullptr) return CString();
  // Opening the computed key without creating it keeps numeric setting 167 from turning on by a read.
  if (number == string_setting::kVoiceMailTypeName) return ReadVoiceMailTypeName();
  const config::RegistryKey key =
      config::RegistryKey::Create(config::RootKey(row->root), config::FullKeyPath(row->key));
  return CString(key.ReadText(row->valueName).value_or(std::u16string()));
}

BOOL SetConfigString(int number, std::u16string_view text, BOOL flush) {
  const config::StringSettingRow* row = config::FindStringRow(number);
  if (row == nullptr || number == string_setting::kVoiceMailTypeName || text.size() > config::kMaxSettingText) {
    return FALSE;
  }
  config::RegistryKey key = config::RegistryKey::Create(config::RootKey(row->root), config::FullKeyPath(row->key));
  if (!key.WriteText(row->valueName, text)) return FALSE;
  return !flush || key.Flush() ? TRUE : FALSE;
}

CString GetFdnNumber(int n) {
  if (n < 1) return CString();
  const config::RegistryKey key = config::RegistryKey::Open(HKEY_LOCAL_MACHINE, config::FullKeyPath(kFdnKey));
  CString valueName;
  valueName.Format(u"FdnNum%d", n);
  return CString(key.ReadText(valueName.View()).value_or(std::u16string()));
}

BOOL GetCustomResource(int identifier, CString& library, LONG& resourceNumber, POINT& position) {
  for (const config::CustomResourceRow& row : config::CustomResourceRows()) {
    if (row.identifier != identifier) continue;
    std::u16string path(config::kCustomizationKey);
    path += u'\\';
    path += row.subkey;
    const config::RegistryKey key = config::RegistryKey::Open(HKEY_LOCAL_MACHINE, path);
    const std::u16string dll = key.ReadText(u"ResDll").value_or(std::u16string());
    if (dll.empty()) return FALSE;
    const DWORD resource = key.ReadDword(u"ResID").value_or(0);
    if (resource == 0) return FALSE;
    library = CString(dll);
    resourceNumber = static_cast<LONG>(resource);
    position.x = static_cast<LONG>(key.ReadDword(u"positionX").value_or(0));
    position.y = static_cast<LONG>(key.ReadDword(u"positionY").value_or(0));
    return TRUE;
  }
  return FALSE;
}
