// The device's activity log: what the system handed outside itself (an address opened, a call
// placed, a program started, a favourite added, a wallpaper set), one row per request in an SQLite
// table in the device root, for a person to read back (mmsform device log).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ActivityEntry {
  std::int64_t id = 0;
  std::int64_t time = 0;  // seconds since 1970-01-01
  std::int64_t process = 0;
  std::string kind;    // "open", "start", "call", "dialler", "import", "favourite", "wallpaper", ...
  std::string detail;  // UTF-8: the address, number, program or file concerned
};

// Appends a row for the current device; false when the log cannot be written.
bool RecordActivity(std::string_view kind, std::string_view detail);
// The newest `limit` rows, oldest first.
std::vector<ActivityEntry> ReadActivity(std::size_t limit = 1000);

}  // namespace platform
