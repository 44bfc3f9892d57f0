// Parses arbitrary text as a registry file. A failure names a line of the text; a success gives no
// more entries than the text has lines, and texts written as strings come out as UTF-16 with
// their terminating null.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/registry/regedit_file.h"
#include "platform/registry/registry.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const platform::RegeditParseResult result = platform::ParseRegeditText(text);
  const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
  if (!result.ok()) {
    Check(result.errorLine >= 0 && result.errorLine <= lines);
    return 0;
  }
  Check(result.entries.size() <= static_cast<std::size_t>(lines));
  for (const platform::RegeditEntry& entry : result.entries) {
    Check(entry.keyPath.size() <= size);
  }
  return 0;
}
