// The rows of the settings tables: constant data, built into the library and never changed. Only the
// registry values behind the rows change.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace config {

enum class RegistryRoot : std::uint8_t { kLocalMachine, kCurrentUser };

HKEY RootKey(RegistryRoot root);

// The product's key: relative row keys ("Config\\UI") lie below it.
inline constexpr std::u16string_view kProductRoot = u"\\SOFTWARE\\Quillon\\Quillon MMS UA";
// The configuration root.
inline constexpr std::u16string_view kConfigRoot = u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config";

// Slots per table: one more than the rows, so that the highest slot exists and is empty.
inline constexpr int kNumericSlots = 195;
inline constexpr int kStringSlots = 46;
inline constexpr int kFolderSlots = 20;

// Row keys are relative to kProductRoot ("Config\UI") unless they start with "\".
struct NumericSettingRow {
  int number;
  RegistryRoot root;
  std::u16string_view key;
  std::u16string_view valueName;
  LONG defaultValue;
};

// No string setting has a default: a missing value reads as an empty text.
struct StringSettingRow {
  int number;
  RegistryRoot root;
  std::u16string_view key;
  std::u16string_view valueName;  // empty for the key's default value
};

struct FolderSettingRow {
  int number;
  std::u16string_view valueName;
  std::u16string_view defaultFolder;
  bool create;  // create the folder when missing and end the text with "\"
};

struct LastFolderRow {
  int number;
  std::u16string_view valueName;
  int fallbackFolder;  // folder setting read when the value is empty or names no folder
};

struct ConfigListRow {
  int number;
  std::u16string_view prefix;  // value names are the prefix followed by 1, 2, ...
  std::u16string_view key;
  LONG defaultValue;
  int countSetting;  // numeric setting that holds how many entries the list has
};

struct CustomResourceRow {
  int identifier;
  std::u16string_view subkey;  // below kCustomizationKey
};

inline constexpr std::u16string_view kFolderKey = u"Config\\Folder";
inline constexpr std::u16string_view kDebugFolderKey = u"Config\\mm1";
inline constexpr std::u16string_view kCustomizationKey =
    u"\\Software\\Quillon\\Quillon MMS UA\\Config\\UI\\Customization";

std::span<const NumericSettingRow> NumericSettingRows();
std::span<const StringSettingRow> StringSettingRows();
std::span<const FolderSettingRow> FolderSettingRows();
std::span<const LastFolderRow> LastFolderRows();
std::span<const ConfigListRow> ConfigListRows();
std::span<const CustomResourceRow> CustomResourceRows();

// The row stored under `number`, or null when the number lies outside the table or its slot is empty.
const NumericSettingRow* FindNumericRow(int number);
const StringSettingRow* FindStringRow(int number);
const FolderSettingRow* FindFolderRow(int number);
const LastFolderRow* FindLastFolderRow(int number);
const ConfigListRow* FindConfigListRow(int number);

// The registry path of a row key: relative keys are put below kProductRoot. Starts with "\".
std::u16string FullKeyPath(std::u16string_view key);

}  // namespace config
