#include "engines/camera_capture.h"

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "platform/window/window_api.h"
#include "platform/window/window_styles.h"

namespace {

LONG Resolution(int setting, int screenMetric) {
  LONG value = GetConfigValue(setting);
  return value == -1 ? GetSystemMetrics(screenMetric) : value;
}

}  // namespace

CameraCaptureParameters StillCaptureParameters() {
  CameraCaptureParameters parameters;
  LONG quality = GetConfigValue(numeric_setting::kPhotoQuality);
  parameters.stillQuality = quality >= 1 && quality <= 3 ? static_cast<DWORD>(quality) : 0;
  parameters.resolutionWidth = Resolution(numeric_setting::kPhotoResolutionWidth, SM_CXSCREEN);
  parameters.resolutionHeight = Resolution(numeric_setting::kPhotoResolutionHeight, SM_CYSCREEN);
  return parameters;
}

CameraCaptureParameters VideoCaptureParameters(DWORD timeLimit) {
  CameraCaptureParameters parameters;
  parameters.mode = camera_mode::kVideoWithAudio;
  LONG videoMode = GetConfigValue(numeric_setting::kVideoMode);
  if (videoMode == 1 || videoMode == -1) {
    parameters.videoType = 1;
    parameters.videoTimeLimit = timeLimit;
  } else {
    parameters.videoType = videoMode == 2 ? 2 : 0xFFFF;
  }
  parameters.resolutionWidth = Resolution(numeric_setting::kVideoResolutionWidth, SM_CXSCREEN);
  parameters.resolutionHeight = Resolution(numeric_setting::kVideoResolutionHeight, SM_CYSCREEN);
  return parameters;
}
