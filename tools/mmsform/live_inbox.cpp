// mmsform window [--screen WxH@DPI]: the host's inbox in the live window, beside the client's main
// window. Enter or a tap on a row reads the message, "New" writes one; when the form closes the
// inbox is back.
#include <cstdio>
#include <string>

#include "cmd_window_options.h"
#include "inbox_window.h"
#include "live_commands.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/front_end/front_end.h"
#include "platform/window/window_system.h"
#include "read_view_keys.h"
#include "store_listing.h"

namespace mmsform_tool {

int RunLiveInbox(std::span<char* const> args) {
  WindowDemoOptions options;
  std::string error;
  if (!ParseWindowDemoOptions(args, &options, &error) || !options.png.empty()) {
    std::fprintf(stderr, "usage: mmsform window [--screen WxH@DPI]\n");
    return 2;
  }
  if (!ApplyScreenOption(options)) {
    std::fprintf(stderr, "window: unsupported screen '%s'\n", options.screen.c_str());
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  OpenStore store;
  if (store.Get() == nullptr) {
    std::fprintf(stderr, "window: %s\n", store.Error().c_str());
    return 1;
  }
  HWND client = MakeClientWindow();
  int status = 1;
  {
    FormModule module;
    if (!module.Load()) {
      std::fprintf(stderr, "window: the form module cannot be loaded\n");
      return 1;
    }
    AnnounceReadViews();
    AnnounceComposeForms();
    AnnouncePopupMenus();
    InboxWindow inbox(module);
    if (!inbox.Create(store.Get())) {
      std::fprintf(stderr, "window: the inbox cannot be made\n");
    } else {
      inbox.Announce();
      platform::front_end::SetKeyFilter(&HandleReadViewKey);
      status = platform::front_end::RunLiveWindow("MMSForm inbox", &error);
      platform::front_end::SetKeyFilter(nullptr);
      if (status < 0) std::fprintf(stderr, "window: %s\n", error.c_str());
      inbox.CloseForm();
      status = status < 0 ? 1 : status;
    }
  }
  platform::automation::Reset();
  DestroyWindow(client);
  platform::window::ResetWindowSystem();
  return status;
}

}  // namespace mmsform_tool
