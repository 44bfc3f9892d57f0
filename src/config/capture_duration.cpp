#include "config/capture_duration.h"

#include <algorithm>
#include <cstdint>

#include "config/registry_key.h"
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/registry/registry.h"

namespace config {
namespace {

constexpr const WCHAR* kVideoProfileKey = u"\\Software\\Microsoft\\Pictures\\Camera\\OEM\\VideoProfile";
constexpr DWORD kHighestRatio = 95;

}  // namespace

std::optional<DWORD> EstimateCaptureDuration(DWORD maxSendSize) {
  CString path;
  path.Format(u"%s\\%d", kVideoProfileKey, GetConfigValue(numeric_setting::kVideoProfileOptionNum));
  const RegistryKey profile = RegistryKey::Open(HKEY_LOCAL_MACHINE, path.View());
  const std::uint64_t bytesPerSecond = profile.ReadDword(u"VideoAudioFileSizePerSecond").value_or(0);
  if (bytesPerSecond == 0) return std::nullopt;
  // Read as unsigned, -1 and every other negative ratio lie above 95.
  const DWORD ratio = std::min(static_cast<DWORD>(GetConfigValue(numeric_setting::kVideoFileRatio)), kHighestRatio);
  // 64-bit, so that large send sizes do not wrap.
  const std::uint64_t seconds = std::uint64_t{maxSendSize} * ratio / (bytesPerSecond * 100);
  return static_cast<DWORD>(seconds);
}

}  // namespace config
