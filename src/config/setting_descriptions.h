// Every row of the settings tables described as data, and where each value comes from: for listing
// the device's configuration to a person.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/setting_tables.h"

namespace config {

enum class SettingTable { kNumeric, kString, kFolder, kLastFolder, kList };

// kComputed: numeric setting 167 and string setting 39, worked out from VoiceMailClassName.
enum class SettingOrigin { kDefault, kFactory, kSet, kComputed };

struct SettingDescription {
  SettingTable table;
  int number;
  RegistryRoot root;
  std::u16string key;          // the full registry path, starting with "\"
  std::u16string valueName;    // for lists the prefix the entry numbers are appended to
  std::u16string defaultText;  // what a missing value reads as; empty for string settings
};

// Numeric, string, folder, last-used folder and list rows, in that order and by number.
std::vector<SettingDescription> DescribeSettings();

// Factory or set by the registry's record of the value, default when the value is missing. A list
// counts as set (or factory) when any of its entries up to its count is.
SettingOrigin OriginOf(const SettingDescription& setting);

std::u16string_view TableName(SettingTable table);
std::u16string_view OriginName(SettingOrigin origin);

}  // namespace config
