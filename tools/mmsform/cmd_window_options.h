// Options shared by the window commands: the PNG to write and the screen to draw on.
#pragma once

#include <span>
#include <string>

namespace mmsform_tool {

struct WindowDemoOptions {
  std::string png;
  std::string screen;  // "WxH@DPI", empty for the device's own screen
};

// Reads --png FILE, --screen WxH@DPI and --open-links (web and mail addresses may go to the
// desktop's opener); false with a reason for anything else.
bool ParseWindowDemoOptions(std::span<char* const> args, WindowDemoOptions* options, std::string* error);

// Switches the screen to the option's geometry (or keeps the device's); false for a bad value.
bool ApplyScreenOption(const WindowDemoOptions& options);

}  // namespace mmsform_tool
