#include "config/setting_descriptions.h"

#include <algorithm>
#include <optional>

#include "config/registry_key.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/registry/registry.h"

namespace config {
namespace {

// Lists are shown up to this many entries, whatever their count setting says.
constexpr LONG kMaxListEntries = 64;

std::u16string Decimal(LONG n) {
  CString text;
  text.Format(u"%d", n);
  return std::u16string(text.View());
}

void DescribeNumeric(std::vector<SettingDescription>& out) {
  for (const NumericSettingRow& row : NumericSettingRows()) {
    out.push_back({SettingTable::kNumeric, row.number, row.root, FullKeyPath(row.key), std::u16string(row.valueName),
                   Decimal(row.defaultValue)});
  }
}

void DescribeStrings(std::vector<SettingDescription>& out) {
  for (const StringSettingRow& row : StringSettingRows()) {
    out.push_back({SettingTable::kString, row.number, row.root, FullKeyPath(row.key), std::u16string(row.valueName),
                   u""});
  }
}

void DescribeFolders(std::vector<SettingDescription>& out) {
  for (const FolderSettingRow& row : FolderSettingRows()) {
    const std::u16string_view key = row.number == folder_setting::kDebugPath ? kDebugFolderKey : kFolderKey;
    out.push_back({SettingTable::kFolder, row.number, RegistryRoot::kLocalMachine, FullKeyPath(key),
                   std::u16string(row.valueName), std::u16string(row.defaultFolder)});
  }
  for (const LastFolderRow& row : LastFolderRows()) {
    out.push_back({SettingTable::kLastFolder, row.number, RegistryRoot::kLocalMachine, FullKeyPath(kFolderKey),
                   std::u16string(row.valueName), u"folder setting " + Decimal(row.fallbackFolder)});
  }
}

void DescribeLists(std::vector<SettingDescription>& out) {
  for (const ConfigListRow& row : ConfigListRows()) {
    out.push_back({SettingTable::kList, row.number, RegistryRoot::kLocalMachine, FullKeyPath(row.key),
                   std::u16string(row.prefix), Decimal(row.defaultValue)});
  }
}

std::optional<platform::ValueOrigin> StoredOrigin(const RegistryKey& key, std::u16string_view valueName) {
  if (!key.IsOpen()) return std::nullopt;
  const std::u16string name(valueName);
  return platform::RegistryValueOrigin(key.Get(), name.c_str());
}

SettingOrigin ListOrigin(const SettingDescription& setting, const RegistryKey& key) {
  const ConfigListRow* row = FindConfigListRow(setting.number);
  const LONG count = row == nullptr ? 0 : std::clamp<LONG>(GetConfigValue(row->countSetting), 0, kMaxListEntries);
  SettingOrigin origin = SettingOrigin::kDefault;
  for (LONG i = 1; i <= count; ++i) {
    const std::optional<platform::ValueOrigin> entry = StoredOrigin(key, setting.valueName + Decimal(i));
    if (entry == platform::ValueOrigin::kSet) return SettingOrigin::kSet;
    if (entry == platform::ValueOrigin::kFactory) origin = SettingOrigin::kFactory;
  }
  return origin;
}

}  // namespace

std::vector<SettingDescription> DescribeSettings() {
  std::vector<SettingDescription> out;
  DescribeNumeric(out);
  DescribeStrings(out);
  DescribeFolders(out);
  DescribeLists(out);
  return out;
}

SettingOrigin OriginOf(const SettingDescription& setting) {
  if ((setting.table == SettingTable::kNumeric && setting.number == numeric_setting::kVoiceMailClassPresent) ||
      (setting.table == SettingTable::kString && setting.number == string_setting::kVoiceMailTypeName)) {
    return SettingOrigin::kComputed;
  }
  const RegistryKey key = RegistryKey::Open(RootKey(setting.root), setting.key);
  if (setting.table == SettingTable::kList) return ListOrigin(setting, key);
  const std::optional<platform::ValueOrigin> origin = StoredOrigin(key, setting.valueName);
  if (!origin) return SettingOrigin::kDefault;
  return *origin == platform::ValueOrigin::kFactory ? SettingOrigin::kFactory : SettingOrigin::kSet;
}

std::u16string_view TableName(SettingTable table) {
  switch (table) {
    case SettingTable::kNumeric: return u"numeric";
    case SettingTable::kString: return u"string";
    case SettingTable::kFolder: return u"folder";
    case SettingTable::kLastFolder: return u"last-used";
    case SettingTable::kList: return u"list";
  }
  return u"";
}

std::u16string_view OriginName(SettingOrigin origin) {
  switch (origin) {
    case SettingOrigin::kDefault: return u"default";
    case SettingOrigin::kFactory: return u"factory";
    case SettingOrigin::kSet: return u"set";
    case SettingOrigin::kComputed: return u"computed";
  }
  return u"";
}

}  // namespace config
