// Camera capture settings: qualities outside 1-3 become the platform default, -1 resolutions the
// screen's, and the video mode picks the video type and whether the time limit goes along.
#include "engines/camera_capture.h"

#include <gtest/gtest.h>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "support/test_device.h"

namespace {

TEST(CameraCapture, StillQualityAndResolution) {
  test_support::TestDevice device;
  struct Case {
    LONG quality, width, height;
    DWORD expectedQuality;
    LONG expectedWidth, expectedHeight;
  } cases[] = {{2, 640, 480, 2, 640, 480}, {4, -1, -1, 0, 240, 320}, {-1, 1280, -1, 0, 1280, 320}, {1, 0, 0, 1, 0, 0}};
  for (const Case& c : cases) {
    SetConfigValue(numeric_setting::kPhotoQuality, c.quality, FALSE);
    SetConfigValue(numeric_setting::kPhotoResolutionWidth, c.width, FALSE);
    SetConfigValue(numeric_setting::kPhotoResolutionHeight, c.height, FALSE);
    CameraCaptureParameters parameters = StillCaptureParameters();
    EXPECT_EQ(parameters.mode, camera_mode::kStill);
    EXPECT_EQ(parameters.stillQuality, c.expectedQuality) << c.quality;
    EXPECT_EQ(parameters.resolutionWidth, c.expectedWidth) << c.width;
    EXPECT_EQ(parameters.resolutionHeight, c.expectedHeight) << c.height;
  }
}

TEST(CameraCapture, VideoModePicksTheTypeAndTheTimeLimit) {
  test_support::TestDevice device;
  struct Case {
    LONG videoMode;
    DWORD type, limit;
  } cases[] = {{1, 1, 30}, {-1, 1, 30}, {2, 2, 0}, {0, 0xFFFF, 0}, {7, 0xFFFF, 0}};
  for (const Case& c : cases) {
    SetConfigValue(numeric_setting::kVideoMode, c.videoMode, FALSE);
    CameraCaptureParameters parameters = VideoCaptureParameters(30);
    EXPECT_EQ(parameters.mode, camera_mode::kVideoWithAudio);
    EXPECT_EQ(parameters.videoType, c.type) << c.videoMode;
    EXPECT_EQ(parameters.videoTimeLimit, c.limit) << c.videoMode;
  }
}

}  // namespace
