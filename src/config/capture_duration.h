// How many seconds of video the camera may record so that the clip still fits a message.
#pragma once

#include <optional>

#include "platform/win_types.h"

namespace config {

// maxSendSize × VideoFileRatio ÷ (bytes per second of the selected video profile × 100), where a
// ratio of -1 or above 95 counts as 95. Nothing when the profile gives no byte rate.
std::optional<DWORD> EstimateCaptureDuration(DWORD maxSendSize);

}  // namespace config
