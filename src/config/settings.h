// Settings read by number from the registry through the configuration tables, with their defaults.
// Every read goes to the registry; nothing is cached.
#pragma once

#include <string_view>

#include "platform/text/cstring.h"
#include "platform/win_types.h"

// Numeric settings 0 to 193; any other number reads 0 and touches nothing.
LONG GetConfigValue(int number);
// Writes a DWORD into the row's key (created when missing); flush forces the key to storage.
BOOL SetConfigValue(int number, LONG value, BOOL flush);
// String settings 0 to 44; empty when missing or out of range.
CString GetConfigString(int number);
// Writes a text value (SZ) into the row's key (created when missing). Fails for string setting 39,
// which is computed, and for texts longer than a string setting holds (259 characters).
BOOL SetConfigString(int number, std::u16string_view text, BOOL flush);
// Folder settings 0 to 18, with their defaults and create flags.
CString GetFolderSetting(int number);
// Last-used folders 0 to 4, falling back to their folder settings.
CString GetLastFolder(int number);
BOOL SetLastFolder(int number, LPCWSTR folder, BOOL flush);
// Numbered lists 0 to 6: `count` values into `out`.
BOOL GetConfigList(LONG* out, int count, int number);
// The resource library, number and position configured for a customisation identifier; fails when
// no library or no resource number is configured.
BOOL GetCustomResource(int identifier, CString& library, LONG& resourceNumber, POINT& position);
// The bits `mask` of HideDlgControl (kind 1), CaptureEnable (2) or CreateMessageFolder (3).
LONG GetConfigMask(int kind, LONG mask);
// The fixed-dialling test number n (from 1); empty for n below 1.
CString GetFdnNumber(int n);
