// mmsform window ...: the system in a real window on the host's desktop: with no form named, the
// host's inbox; "read" reads a message; "compose" writes one; "media" plays a sound or a video;
// "window-demo" and "ui-gallery" show their scenes live.
#include <cstdio>
#include <cstring>
#include <string>

#include "cmd_ui_gallery_scenes.h"
#include "cmd_window_options.h"
#include "cmd_window_scene.h"
#include "command.h"
#include "live_commands.h"
#include "platform/front_end/front_end.h"
#include "platform/shell/shell_execute.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

namespace mmsform_tool {

bool ParseWindowDemoOptions(std::span<char* const> args, WindowDemoOptions* options, std::string* error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    bool hasValue = i + 1 < args.size();
    if (std::strcmp(args[i], "--png") == 0 && hasValue) {
      options->png = args[++i];
    } else if (std::strcmp(args[i], "--screen") == 0 && hasValue) {
      options->screen = args[++i];
    } else if (std::strcmp(args[i], "--open-links") == 0) {
      // Web and mail addresses that links lead to may leave the device for the desktop's opener.
      platform::shell::AllowDesktopOpening(true);
    } else {
      *error = std::string("unexpected argument '") + args[i] + "'";
      return false;
    }
  }
  return true;
}

bool ApplyScreenOption(const WindowDemoOptions& options) {
  platform::window::ResetWindowSystem();
  if (options.screen.empty()) {
    return true;
  }
  platform::window::ScreenGeometry geometry;
  char tail = 0;
  if (std::sscanf(options.screen.c_str(), "%dx%d@%d%c", &geometry.width, &geometry.height, &geometry.dpi, &tail) !=
      3) {
    return false;
  }
  return platform::window::ConfigureScreen(geometry);
}

namespace {

constexpr char kWindowUsage[] =
    "window [read FILE.mms|ENTRY_ID|compose [--to A] [--subject S] ...|media FILE|window-demo|ui-gallery] "
    "[--screen WxH@DPI]   the inbox, a reading, a new message, a sound or video, or a scene, live";

int RunWindow(std::span<char* const> args) {
  if (args.empty() || args[0][0] == '-') return RunLiveInbox(args);
  if (std::strcmp(args[0], "read") == 0) return RunLiveRead(args.subspan(1));
  if (std::strcmp(args[0], "compose") == 0) return RunLiveCompose(args.subspan(1));
  if (std::strcmp(args[0], "media") == 0) return RunLiveMedia(args.subspan(1));
  const bool gallery = std::strcmp(args[0], "ui-gallery") == 0;
  if (std::strcmp(args[0], "window-demo") != 0 && !gallery) {
    std::fprintf(stderr, "usage: mmsform %s\n", kWindowUsage);
    return 2;
  }
  WindowDemoOptions options;
  std::string error;
  if (!ParseWindowDemoOptions(args.subspan(1), &options, &error) || !ApplyScreenOption(options)) {
    std::fprintf(stderr, "window: %s\n", error.empty() ? "unsupported screen" : error.c_str());
    return 2;
  }
  if (gallery) {
    CreateUiGalleryLiveScene();
  } else {
    CreateDemoScene();
  }
  int status = platform::front_end::RunLiveWindow(gallery ? "MMSForm toolkit" : "MMSForm window demo", &error);
  platform::window::ResetWindowSystem();
  if (status < 0) {
    std::fprintf(stderr, "window: %s\n", error.c_str());
    return 1;
  }
  return status;
}

const Command kWindow("window", kWindowUsage, RunWindow);

}  // namespace
}  // namespace mmsform_tool
