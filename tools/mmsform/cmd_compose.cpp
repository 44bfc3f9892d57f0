// mmsform compose [--to ADDR]... [--cc ADDR]... [--bcc ADDR]... [--subject TEXT] [--slide] [--text TEXT]
// [--picture FILE] [--audio FILE] [--video FILE] [--attach FILE]... [--duration SECONDS]
// [--create PV|AU|VC|VR|AT] [--import FILE] [--reply|--reply-all|--forward|--reopen ENTRY_ID|FILE]
// [--template NAME] [--answer yes|no|cancel|ok|ROW]... [--save | --send | --check] [--out OUT.mms]
// [--png DIR] [--screen WxH@DPI]: the compose form as a messaging application opens it, driven
// headless through its own commands as a person taps them. The template chooser a new message
// opens with takes the template --template names, else the custom entry (an empty message). The host's callbacks and every question the form
// asks are printed, one JSON object a line. Exit status 0 when the message was saved or sent (or
// left, when neither was asked for), 1 when a check refused it or the form closed at once. With
// --check the recipient and content checks of a send are printed and nothing is kept.
#include <cstdio>
#include <filesystem>
#include <string>

#include "cmd_window_options.h"
#include "command.h"
#include "compose_driver.h"
#include "compose_options.h"
#include "compose_session.h"
#include "form_module.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/kernel/clock.h"
#include "platform/window/window_system.h"
#include "read_session.h"
#include "store_listing.h"

namespace mmsform_tool {
namespace {

constexpr char kUsage[] =
    "usage: mmsform compose [--to ADDR]... [--cc ADDR]... [--bcc ADDR]... [--subject TEXT]\n"
    "                       [--slide] [--text TEXT] [--picture FILE] [--audio FILE] [--video FILE]\n"
    "                       [--attach FILE]... [--duration SECONDS] [--create PV|AU|VC|VR|AT]\n"
    "                       [--import FILE] [--reply|--reply-all|--forward|--reopen ENTRY_ID|FILE]\n"
    "                       [--template NAME] [--answer yes|no|cancel|ok|ROW]... [--save | --send |\n"
    "                       --check] [--out OUT.mms] [--png DIR] [--screen 240x320@96|480x640@192]\n"
    "  --answer  the next question's answer; a chooser (--create VC or VR) takes the number of\n"
    "            the row it lists, counted from 1, and 0 cancels it\n"
    "  --template  the template a new message starts from (see mmsform templates list); without\n"
    "              it the template chooser takes the custom entry, an empty message\n"
    "  --check  print what the recipient and content checks of a send would say (one JSON line\n"
    "           each), keep nothing, and exit 1 when either refuses\n";

int RunCompose(std::span<char* const> args) {
  ComposeOptions options;
  std::string error;
  if (!ParseComposeOptions(args, &options, &error)) {
    std::fprintf(stderr, "mmsform compose: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  WindowDemoOptions screen;
  screen.screen = options.screen;
  if (!ApplyScreenOption(screen)) {
    std::fprintf(stderr, "mmsform compose: unsupported screen '%s'\n", options.screen.c_str());
    return 2;
  }
  if (!options.pngDir.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(options.pngDir, ignored);
  }
  platform::UseVirtualClock(true);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  OpenStore store;
  if (store.Get() == nullptr) {
    std::fprintf(stderr, "mmsform compose: %s\n", store.Error().c_str());
    return 1;
  }
  HWND client = MakeClientWindow();
  int status = 1;
  {
    FormModule module;
    if (!module.Load()) {
      std::fprintf(stderr, "mmsform compose: the form module cannot be loaded\n");
      DestroyWindow(client);
      return 1;
    }
    ComposeDriver driver(module, store.Get(), options);
    status = driver.Run();
  }
  platform::automation::Reset();
  DestroyWindow(client);
  platform::window::ResetWindowSystem();
  return status;
}

const Command kCompose("compose",
                       "compose [--to A] [--subject S] [--slide] [--text T] [--picture F] ... [--save|--send|--check] "
                       "[--out OUT.mms] [--png DIR]   the compose form, headless",
                       RunCompose);

}  // namespace
}  // namespace mmsform_tool
