// A fresh window system for each toolkit test: its own device (with the resource file), the
// virtual clock, common controls, and prompts that fail the test unless it queued their answers.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/kernel/clock.h"
#include "platform/window/window_system.h"
#include "support/test_device.h"
#include "transport/mms_global.h"

namespace ui_test {

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseVirtualClock(true);
    platform::window::ResetWindowSystem();
    platform::automation::Reset();
    platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt& prompt) {
      ADD_FAILURE() << "unexpected prompt: " << std::string(prompt.text.begin(), prompt.text.end());
    });
    INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
  }
  void TearDown() override {
    platform::window::ResetWindowSystem();
    platform::automation::Reset();
    platform::automation::SetUnexpectedPromptHandler(nullptr);
    platform::UseVirtualClock(false);
  }

  test_support::TestDevice m_device;
};

}  // namespace ui_test
