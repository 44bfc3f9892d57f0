// The REGEDIT4 text format, in which the factory registry is kept:
//
//   REGEDIT4
//   ; comment
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Example]
//   "Text"="a \"quoted\" \\ value"
//   "Number"=dword:0000012c
//   "Bytes"=hex:01,02,ff
//   "Typed"=hex(7):41,00,00,00      (any registry type, as bytes)
//   @="the key's default value"
//
// Hex lists may continue on the next line after a trailing "\". Texts are UTF-8 and stored as
// UTF-16 with their terminating null, as the registry keeps REG_SZ values.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace platform {

enum class RegeditRoot { kLocalMachine, kCurrentUser, kClassesRoot };

struct RegeditValue {
  std::u16string name;  // empty for the default value
  DWORD type = 0;
  std::string data;
};

// A key named by a section header, or one value of the key of the section it stands in.
struct RegeditEntry {
  RegeditRoot root = RegeditRoot::kLocalMachine;
  std::u16string keyPath;
  std::optional<RegeditValue> value;
};

struct RegeditParseResult {
  std::vector<RegeditEntry> entries;
  std::string error;  // empty on success
  int errorLine = 0;
  bool ok() const { return error.empty(); }
};

RegeditParseResult ParseRegeditText(std::string_view text);

}  // namespace platform
