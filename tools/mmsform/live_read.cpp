// mmsform window read FILE.mms|ENTRY_ID [--screen WxH@DPI]: the same reading as `mmsform read`, in
// the live window on the real clock with sound. The window closes when the form closes.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cmd_window_options.h"
#include "live_commands.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/front_end/front_end.h"
#include "platform/window/window_system.h"
#include "read_session.h"
#include "read_view_keys.h"
#include "store_listing.h"

namespace mmsform_tool {

void AnnounceReadViews() {
  platform::automation::OnWindowAppears(
      u"Dialog", u"",
      [](HWND dialog) {
        if (!IsReadView(dialog)) return;
        RECT rect{};
        GetWindowRect(dialog, &rect);
        std::printf("{\"read_view\": \"open\", \"rect\": [%ld, %ld, %ld, %ld]}\n", static_cast<long>(rect.left),
                    static_cast<long>(rect.top), static_cast<long>(rect.right), static_cast<long>(rect.bottom));
        std::fflush(stdout);
      },
      false);
}

int RunLiveRead(std::span<char* const> args) {
  // The message is the one argument that is neither an option nor the screen option's value.
  std::string target;
  std::vector<char*> rest;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool screenValue = i > 0 && std::string_view(args[i - 1]) == "--screen";
    if (target.empty() && args[i][0] != '-' && !screenValue) {
      target = args[i];
    } else {
      rest.push_back(args[i]);
    }
  }
  WindowDemoOptions options;
  std::string error;
  if (target.empty() || !ParseWindowDemoOptions(rest, &options, &error) || !options.png.empty()) {
    std::fprintf(stderr, "usage: mmsform window read FILE.mms|ENTRY_ID [--screen WxH@DPI]\n");
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
  ComPtr<IMessage> message = OpenReadTarget(store.Get(), target, &error);
  if (!message) {
    std::fprintf(stderr, "window: %s\n", error.c_str());
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
    ReadSession session(module);
    const HRESULT hr = session.Open(message.Get(), [] { PostQuitMessage(0); });
    if (FAILED(hr)) {
      std::fprintf(stderr, "window: the read form did not open (0x%08lx)\n", static_cast<unsigned long>(hr));
    } else {
      platform::front_end::SetKeyFilter(&HandleReadViewKey);
      status = platform::front_end::RunLiveWindow("MMSForm read", &error);
      platform::front_end::SetKeyFilter(nullptr);
      if (status < 0) std::fprintf(stderr, "window: %s\n", error.c_str());
      // The person may have closed the window while the form was still open.
      session.Close();
      status = status < 0 ? 1 : status;
    }
  }
  platform::automation::Reset();
  DestroyWindow(client);
  platform::window::ResetWindowSystem();
  message.Reset();
  return status;
}

}  // namespace mmsform_tool
