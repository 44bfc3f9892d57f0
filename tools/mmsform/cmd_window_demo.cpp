// mmsform window-demo --png FILE [--screen WxH@DPI]: draws the window demonstration scene headless
// and writes the screen as a PNG, so that a person can look at the drawing.
#include <cstdio>
#include <cstring>
#include <string>

#include "cmd_window_options.h"
#include "cmd_window_scene.h"
#include "command.h"
#include "platform/automation/automation.h"
#include "platform/window/window_system.h"

namespace mmsform_tool {
namespace {

int RunWindowDemo(std::span<char* const> args) {
  WindowDemoOptions options;
  std::string error;
  if (!ParseWindowDemoOptions(args, &options, &error) || options.png.empty()) {
    std::fprintf(stderr, "window-demo: %s\n", error.empty() ? "--png FILE is required" : error.c_str());
    return 2;
  }
  if (!ApplyScreenOption(options)) {
    std::fprintf(stderr, "window-demo: unsupported screen '%s'\n", options.screen.c_str());
    return 2;
  }
  CreateDemoScene();
  platform::automation::PumpUntilIdle();
  if (!platform::automation::Screenshot(options.png, &error)) {
    std::fprintf(stderr, "window-demo: %s\n", error.c_str());
    return 1;
  }
  platform::window::ResetWindowSystem();
  return 0;
}

const Command kWindowDemo("window-demo", "window-demo --png FILE [--screen 240x320@96|480x640@192]",
                          RunWindowDemo);

}  // namespace
}  // namespace mmsform_tool
