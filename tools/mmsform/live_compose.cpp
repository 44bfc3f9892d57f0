// mmsform window compose [message options of mmsform compose] [--screen WxH@DPI]: the compose form
// in the live window. The options open it and fill it in as `mmsform compose` does; then a person
// types, adds slides, previews and sends or saves, and answers the form's questions themselves.
// The window closes when the form closes: exit 0 when the message was sent or saved. Each compose
// form that opens is announced with where its fields are, for a script that drives it.
#include <cstdio>
#include <string>

#include "cmd_window_options.h"
#include "compose_driver.h"
#include "compose_options.h"
#include "forms/composer_frame.h"
#include "forms/composer_header.h"
#include "forms/composer_header_wnd.h"
#include "json_writer.h"
#include "live_commands.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/controls/popup_menu.h"
#include "platform/front_end/front_end.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_system.h"
#include "read_session.h"
#include "store_listing.h"

namespace mmsform_tool {
namespace {

constexpr char kUsage[] =
    "usage: mmsform window compose [--to ADDR]... [--cc ADDR]... [--bcc ADDR]... [--subject TEXT]\n"
    "                              [--slide] [--text TEXT] [--picture FILE] [--audio FILE] [--video FILE]\n"
    "                              [--attach FILE]... [--duration SECONDS] [--create PV|AU|VC|VR|AT]\n"
    "                              [--import FILE] [--reply|--reply-all|--forward|--reopen ENTRY_ID|FILE]\n"
    "                              [--screen WxH@DPI]\n";

void RectValue(JsonWriter& line, const RECT& rect) {
  line.BeginArray();
  for (LONG value : {rect.left, rect.top, rect.right, rect.bottom}) line.Int(value);
  line.EndArray();
}

// "name": [left, top, right, bottom] of a window on the screen; nothing for a window that is not there.
void ScreenRect(JsonWriter& line, const char* name, HWND window) {
  RECT rect{};
  if (window == nullptr || !GetWindowRect(window, &rect)) return;
  RectValue(line.Key(name), rect);
}

// What only a headless run has: answers given in advance, an ending chosen in advance, pictures.
const char* HeadlessOnly(const ComposeOptions& options) {
  if (!options.answers.empty()) return "--answer: a person answers the form's questions in the window";
  if (options.end != ComposeEnd::kLeave || options.check) return "--save, --send and --check: the person ends it";
  if (!options.pngDir.empty()) return "--png: the window shows the screen";
  return nullptr;
}

}  // namespace

void AnnounceComposeForms() {
  platform::automation::OnWindowAppears(
      kComposerFrameClass, u"",
      [](HWND window) {
        auto* frame = dynamic_cast<CComposerFrame*>(reinterpret_cast<CWndBase*>(GetWindowLongW(window, GWL_USERDATA)));
        if (frame == nullptr) return;
        CComposerHeaderWnd* header = frame->HeaderWindow();
        JsonWriter line;
        line.BeginObject().Key("compose_form").String("open");
        ScreenRect(line, "rect", window);
        ScreenRect(line, "to", header != nullptr ? header->GetDlgItem(header_field::kTo) : nullptr);
        ScreenRect(line, "subject", header != nullptr ? header->GetDlgItem(header_field::kSubject) : nullptr);
        ScreenRect(line, "picture", frame->VisualItem() != nullptr ? frame->VisualItem()->GetHandle() : nullptr);
        ScreenRect(line, "text", frame->TextItem() != nullptr ? frame->TextItem()->GetHandle() : nullptr);
        ScreenRect(line, "soft_keys", frame->MenuBar());
        std::printf("%s\n", line.EndObject().Text().c_str());
        std::fflush(stdout);
      },
      false);
}

void AnnouncePopupMenus() {
  platform::automation::OnWindowAppears(
      platform::controls::kPopupMenuClass, u"",
      [](HWND popup) {
        JsonWriter line;
        line.BeginObject().Key("menu").String("open").Key("items").BeginObject();
        for (const auto& row : platform::controls::PopupMenuRows(popup)) {
          RectValue(line.Key(platform::Utf16ToUtf8(row.text)), row.rect);
        }
        line.EndObject();
        std::printf("%s\n", line.EndObject().Text().c_str());
        std::fflush(stdout);
      },
      false);
}

int RunLiveCompose(std::span<char* const> args) {
  ComposeOptions options;
  std::string error;
  if (!ParseComposeOptions(args, &options, &error)) {
    std::fprintf(stderr, "window compose: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (const char* why = HeadlessOnly(options)) {
    std::fprintf(stderr, "window compose: not in a live window: %s\n%s", why, kUsage);
    return 2;
  }
  WindowDemoOptions screen;
  screen.screen = options.screen;
  if (!ApplyScreenOption(screen)) {
    std::fprintf(stderr, "window compose: unsupported screen '%s'\n", options.screen.c_str());
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  OpenStore store;
  if (store.Get() == nullptr) {
    std::fprintf(stderr, "window compose: %s\n", store.Error().c_str());
    return 1;
  }
  HWND client = MakeClientWindow();
  int status = 1;
  {
    FormModule module;
    if (!module.Load()) {
      std::fprintf(stderr, "window compose: the form module cannot be loaded\n");
      DestroyWindow(client);
      return 1;
    }
    AnnounceComposeForms();
    AnnouncePopupMenus();
    ComposeDriver driver(module, store.Get(), options);
    if (driver.Start([] { PostQuitMessage(0); })) {
      const int shown = platform::front_end::RunLiveWindow("MMSForm compose", &error);
      if (shown < 0) std::fprintf(stderr, "window compose: %s\n", error.c_str());
      // The person may have closed the window while the form was still open.
      driver.Close();
      status = driver.Finish().Kept() && shown >= 0 ? 0 : 1;
    }
  }
  platform::automation::Reset();
  DestroyWindow(client);
  platform::window::ResetWindowSystem();
  return status;
}

}  // namespace mmsform_tool
