// mmsform settings: every setting of the device with its value and where the value came from, and
// writing one numeric or string setting.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command.h"
#include "device_writing.h"
#include "terminal_width.h"
#include "config/registry_key.h"
#include "config/setting_descriptions.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/text/text_conversion.h"

namespace mmsform_tool {
namespace {

using config::SettingDescription;
using config::SettingTable;

constexpr int kUsageError = 2;
// Lists longer than this are shown cut; their counts are settings a person may set to anything.
constexpr LONG kMaxShownListEntries = 64;

std::string Utf8(std::u16string_view text) { return platform::Utf16ToUtf8(text); }

// "Config\UI" for keys below the configuration root, the full path otherwise; "(HKCU)" marks the user root.
std::string DisplayKey(const SettingDescription& setting) {
  std::u16string_view key = setting.key;
  std::string shown;
  if (key.size() >= config::kConfigRoot.size() &&
      platform::EqualsNoCase(key.substr(0, config::kConfigRoot.size()), config::kConfigRoot)) {
    shown = "Config" + Utf8(key.substr(config::kConfigRoot.size()));
  } else {
    shown = Utf8(key);
  }
  if (setting.root == config::RegistryRoot::kCurrentUser) shown += " (HKCU)";
  return shown;
}

std::string Quoted(const CString& text) { return "\"" + text.ToUtf8() + "\""; }

std::string ListValue(int number) {
  const config::ConfigListRow* row = config::FindConfigListRow(number);
  const LONG count = std::min(GetConfigValue(row->countSetting), kMaxShownListEntries);
  if (count < 1) return "(no entries)";
  std::vector<LONG> values(static_cast<std::size_t>(count));
  GetConfigList(values.data(), count, number);
  std::string shown;
  for (LONG value : values) shown += (shown.empty() ? "" : ",") + std::to_string(value);
  return shown;
}

std::string CurrentValue(const SettingDescription& setting) {
  switch (setting.table) {
    case SettingTable::kNumeric: return std::to_string(GetConfigValue(setting.number));
    case SettingTable::kString: return Quoted(GetConfigString(setting.number));
    case SettingTable::kFolder: return Quoted(GetFolderSetting(setting.number));
    case SettingTable::kLastFolder: return Quoted(GetLastFolder(setting.number));
    case SettingTable::kList: return ListValue(setting.number);
  }
  return {};
}

using Row = std::vector<std::string>;

// Columns padded to their widest cell up to a cap; a longer cell pushes the rest of its line along.
void PrintAligned(const std::vector<Row>& rows, const std::vector<std::size_t>& caps) {
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const Row& row : rows) {
    for (std::size_t i = 0; i + 1 < row.size(); ++i) {
      widths[i] = std::min(std::max(widths[i], TerminalWidth(row[i])), caps[i]);
    }
  }
  for (const Row& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line += std::string(widths[i] - std::min(widths[i], TerminalWidth(row[i])) + 2, ' ');
    }
    std::printf("%s\n", line.c_str());
  }
}

int ListSettings() {
  std::vector<Row> rows = {{"TABLE", "NO", "NAME", "VALUE", "ORIGIN", "DEFAULT", "KEY"}};
  for (const SettingDescription& setting : config::DescribeSettings()) {
    const std::string name = setting.valueName.empty() ? "(default value)" : Utf8(setting.valueName);
    rows.push_back({Utf8(config::TableName(setting.table)), std::to_string(setting.number), name,
                    CurrentValue(setting), Utf8(config::OriginName(config::OriginOf(setting))),
                    setting.table == SettingTable::kString ? "-" : Utf8(setting.defaultText), DisplayKey(setting)});
  }
  PrintAligned(rows, {9, 3, 44, 40, 8, 36, 0});
  return 0;
}

// A whole decimal or 0x-prefixed number that fits 32 bits (signed or unsigned).
bool ParseNumber(const char* text, long long& value) {
  errno = 0;
  char* end = nullptr;
  value = std::strtoll(text, &end, 0);
  return errno == 0 && end != text && *end == '\0' && value >= -2147483648LL && value <= 4294967295LL;
}

int SetNumeric(long long number, const char* text) {
  if (config::FindNumericRow(static_cast<int>(number)) == nullptr) {
    std::fprintf(stderr, "mmsform settings: no numeric setting %lld\n", number);
    return kUsageError;
  }
  long long value = 0;
  if (!ParseNumber(text, value)) {
    std::fprintf(stderr, "mmsform settings: '%s' is not a 32-bit number\n", text);
    return kUsageError;
  }
  if (number == numeric_setting::kVoiceMailClassPresent) {
    std::fprintf(stderr, "mmsform settings: numeric setting 167 is computed from VoiceMailClassName\n");
    return kUsageError;
  }
  if (!SetConfigValue(static_cast<int>(number), static_cast<LONG>(value), TRUE)) {
    std::fprintf(stderr, "mmsform settings: cannot write numeric setting %lld%s\n", number, StorageCause().c_str());
    return 1;
  }
  std::printf("numeric %lld = %d\n", number, GetConfigValue(static_cast<int>(number)));
  return 0;
}

int SetString(long long number, const char* text) {
  if (config::FindStringRow(static_cast<int>(number)) == nullptr) {
    std::fprintf(stderr, "mmsform settings: no string setting %lld\n", number);
    return kUsageError;
  }
  if (number == string_setting::kVoiceMailTypeName) {
    std::fprintf(stderr, "mmsform settings: string setting 39 is computed from VoiceMailClassName\n");
    return kUsageError;
  }
  const std::u16string value = platform::Utf8ToUtf16(text);
  if (value.size() > config::kMaxSettingText) {
    std::fprintf(stderr, "mmsform settings: a string setting holds at most %zu characters\n", config::kMaxSettingText);
    return kUsageError;
  }
  if (!SetConfigString(static_cast<int>(number), value, TRUE)) {
    std::fprintf(stderr, "mmsform settings: cannot write string setting %lld%s\n", number, StorageCause().c_str());
    return 1;
  }
  std::printf("string %lld = \"%s\"\n", number, GetConfigString(static_cast<int>(number)).ToUtf8().c_str());
  return 0;
}

int RunSettings(std::span<char* const> args) {
  if (args.empty()) return ListSettings();
  long long number = 0;
  if (args.size() != 4 || std::string_view(args[0]) != "set" || !ParseNumber(args[2], number)) {
    std::fprintf(stderr, "usage: mmsform settings [set numeric|string N VALUE]\n");
    return kUsageError;
  }
  const std::string_view table = args[1];
  if (table == "numeric" || table == "string") CleanUpBeforeWriting();
  if (table == "numeric") return SetNumeric(number, args[3]);
  if (table == "string") return SetString(number, args[3]);
  std::fprintf(stderr, "mmsform settings: only numeric and string settings can be set\n");
  return kUsageError;
}

const Command kSettingsCommand("settings", "settings [set numeric|string N VALUE]   list or write settings",
                               RunSettings);

}  // namespace
}  // namespace mmsform_tool
