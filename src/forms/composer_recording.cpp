#include "forms/composer_recording.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "config/capture_duration.h"
#include "model/device_file.h"
#include "platform/text/text_conversion.h"

namespace {

constexpr std::int64_t kMessageOverhead = 1024;
constexpr int kMaxNameTries = 1000;

std::u16string RecordingExtension(LONG recordType) { return recordType != 0 ? u".amr" : u".qcp"; }

}  // namespace

int InsertAudioBudget(DWORD maxSendSize, DWORD messageSize, DWORD currentAudioSize) {
  const std::int64_t budget = static_cast<std::int64_t>(maxSendSize) - messageSize - kMessageOverhead + currentAudioSize;
  return static_cast<int>(std::clamp<std::int64_t>(budget, 0, INT_MAX));
}

std::u16string RecordingPath(const std::u16string& partFolder, LONG recordType) {
  const std::u16string extension = RecordingExtension(recordType);
  for (int n = 0; n < kMaxNameTries; ++n) {
    const std::u16string number = n == 0 ? u"" : u"_" + platform::Utf8ToUtf16(std::to_string(n));
    std::u16string path = partFolder + u"record" + number + extension;
    if (!DevicePathExists(path)) return path;
  }
  return {};
}

std::u16string VoiceMessagePath(const std::u16string& folder, LONG recordType) {
  return folder + u"voicemsg" + RecordingExtension(recordType);
}

std::optional<DWORD> VideoCaptureSeconds(long long budget) {
  if (budget <= 0) return std::nullopt;
  const auto room = static_cast<DWORD>(std::min<long long>(budget, 0xFFFFFFFF));
  const std::optional<DWORD> seconds = config::EstimateCaptureDuration(room);
  if (!seconds) return DWORD{0};
  if (*seconds == 0) return std::nullopt;
  return *seconds;
}
