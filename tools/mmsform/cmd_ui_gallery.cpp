// mmsform ui-gallery --png DIR [--screen WxH@DPI]: draws the window toolkit's gallery headless, one
// PNG per screen, so that a person can look at the controls, menus and dialogs.
#include <cstdio>
#include <string>
#include <vector>

#include "cmd_ui_gallery_scenes.h"
#include "cmd_window_options.h"
#include "command.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/window/window_system.h"

namespace mmsform_tool {
namespace {

int RunUiGallery(std::span<char* const> args) {
  WindowDemoOptions options;
  std::string error;
  if (!ParseWindowDemoOptions(args, &options, &error) || options.png.empty()) {
    std::fprintf(stderr, "ui-gallery: %s\n", error.empty() ? "--png DIR is required" : error.c_str());
    return 2;
  }
  if (!ApplyScreenOption(options)) {
    std::fprintf(stderr, "ui-gallery: unsupported screen '%s'\n", options.screen.c_str());
    return 2;
  }
  platform::UseVirtualClock(true);
  std::vector<std::string> written;
  const bool ok = WriteUiGallery(options.png, &written, &error);
  platform::window::ResetWindowSystem();
  platform::automation::Reset();
  for (const std::string& name : written) std::printf("%s/%s\n", options.png.c_str(), name.c_str());
  if (!ok) {
    std::fprintf(stderr, "ui-gallery: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

const Command kUiGallery("ui-gallery", "ui-gallery --png DIR [--screen 240x320@96|480x640@192]", RunUiGallery);

}  // namespace
}  // namespace mmsform_tool
