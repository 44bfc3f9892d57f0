#include "config/voice_mail_key.h"

#include "config/registry_key.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/registry/registry.h"

namespace config {
namespace {

constexpr std::u16string_view kMessageTypesKey = u"\\Software\\Microsoft\\Inbox\\MsgTypes\\IPM\\";
constexpr int kClassPrefixLength = 4;

}  // namespace

std::optional<std::u16string> VoiceMailTypeKey() {
  const CString className = GetConfigString(string_setting::kVoiceMailClassName);
  if (className.GetLength() <= kClassPrefixLength) return std::nullopt;
  std::u16string key(kMessageTypesKey);
  key += className.View().substr(kClassPrefixLength);
  return key;
}

bool VoiceMailTypeKeyExists() {
  const std::optional<std::u16string> key = VoiceMailTypeKey();
  if (!key) return false;
  const std::size_t split = key->rfind(u'\\');
  const std::u16string_view leaf = std::u16string_view(*key).substr(split + 1);
  if (leaf.empty()) return false;
  const RegistryKey parent = RegistryKey::Open(HKEY_CURRENT_USER, std::u16string_view(*key).substr(0, split));
  return parent.HasSubkeyExactly(leaf);
}

}  // namespace config
