// A fresh window system for each test: its own device, the virtual clock, an empty window
// manager, and message boxes that fail the test unless it queued their answers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/automation/automation.h"
#include "platform/gdi/surface.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/last_error.h"
#include "platform/window/window_api.h"
#include "platform/window/window_system.h"
#include "support/test_device.h"

namespace window_test {

// Compares a drawn picture with its reference: font rasterisers of other versions may shade a few
// edge pixels differently; anything more is a change in the drawing. `drawn` names the picture.
void ExpectLikeReference(const platform::gdi::Surface& actual, const platform::gdi::Surface& expected,
                         const std::filesystem::path& drawn);

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseVirtualClock(true);
    platform::window::ResetWindowSystem();
    platform::automation::Reset();
    platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt& prompt) {
      ADD_FAILURE() << "unexpected prompt: " << std::string(prompt.text.begin(), prompt.text.end());
    });
  }
  void TearDown() override {
    platform::window::ResetWindowSystem();
    platform::automation::Reset();
    platform::automation::SetUnexpectedPromptHandler(nullptr);
    platform::UseVirtualClock(false);
  }

  test_support::TestDevice m_device;
};

// Messages seen by windows of the recording class, in order.
struct Seen {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen>& Log();
// Only the entries with one of the given messages.
std::vector<Seen> LogOf(std::initializer_list<UINT> messages);

// A class whose procedure logs every message and then calls DefWindowProcW (or, for messages
// with an installed reaction, the reaction).
extern const char16_t kRecorder[];
void RegisterRecorder();
using Reaction = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
void ReactTo(UINT message, Reaction reaction);

HWND MakeTop(const char16_t* title, RECT r, DWORD style = WS_VISIBLE);
HWND MakeChild(HWND parent, RECT r, int id = 0, DWORD style = WS_CHILD | WS_VISIBLE);

}  // namespace window_test
