// The settings handed to the platform's camera capture dialog for a still picture or a video clip.
#pragma once

#include "platform/win_types.h"

namespace camera_mode {
constexpr DWORD kStill = 0;
constexpr DWORD kVideoWithAudio = 2;
}  // namespace camera_mode

struct CameraCaptureParameters {
  DWORD mode = camera_mode::kStill;
  DWORD stillQuality = 0;     // 1, 2 or 3; 0 is the platform default
  DWORD videoType = 0;        // 1, 2, or 0xFFFF for all types
  DWORD videoTimeLimit = 0;   // seconds, with video type 1 only
  LONG resolutionWidth = 0;
  LONG resolutionHeight = 0;
};

// Still pictures: numeric settings PhotoQuality, PhotoResolutionWidth and PhotoResolutionHeight; a
// resolution of -1 means the screen's.
CameraCaptureParameters StillCaptureParameters();

// Video clips: numeric setting VideoMode (1, or -1 taken as 1, with the composer's time limit; 2;
// anything else all types), VideoResolutionWidth and VideoResolutionHeight as for stills.
CameraCaptureParameters VideoCaptureParameters(DWORD timeLimit);
