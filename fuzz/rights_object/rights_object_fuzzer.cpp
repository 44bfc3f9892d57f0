// Reads arbitrary text as a rights object. What it accepts names its content with text found in it,
// carries a key of 16 bytes or none, and counts that are uses left.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/drm/rights_object.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckPermission(const platform::drm::Permission& permission) {
  Check(permission.count >= -1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view xml(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto rights = platform::drm::ParseRightsObject(xml, &error);
  if (!rights) {
    Check(!error.empty());
    return 0;
  }
  Check(!rights->uid.empty() && rights->uid.size() < size && xml.find(rights->uid) != std::string_view::npos);
  Check(!rights->key || rights->key->size() == 16);
  CheckPermission(rights->display);
  CheckPermission(rights->play);
  return 0;
}
