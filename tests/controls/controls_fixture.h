// A fresh window system for each test of the dialogs and controls: its own device (with the
// resource file installed), the virtual clock, and prompts that fail the test unless it queued
// their answers. Messages that windows of the recording class see are logged.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/kernel/clock.h"
#include "platform/window/window_api.h"
#include "platform/window/window_system.h"
#include "support/test_device.h"

namespace controls_test {

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  UINT notifyCode = 0;  // WM_NOTIFY's code, read while the header still exists
};

class ControlsTest : public ::testing::Test {
 public:
  static std::vector<Seen>& Log();
  static std::vector<Seen> LogOf(UINT message);
  static void ClearLog() { Log().clear(); }

 protected:
  void SetUp() override;
  void TearDown() override;

  // A visible top-level window whose procedure logs every message to Log().
  HWND MakeOwner(RECT r = {0, 0, 240, 294});

  test_support::TestDevice m_device;
};

// The screen point of a window's client point.
POINT ScreenPoint(HWND hwnd, int x, int y);

}  // namespace controls_test
