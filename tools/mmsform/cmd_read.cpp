// mmsform read FILE.mms|ENTRY_ID [--png DIR] [--screen WxH@DPI] [--slides N] [--keys K,K...]: the
// read form as a messaging application opens it. A file is first stored in the Inbox; the
// client's main window is made; the module is loaded by name and driven through its exports and
// the form's slots; the message plays headless on the virtual clock to its end (or for N slides),
// the screen written at each slide and at the end; the host's callbacks and the client's messages
// are printed. Keys are pressed as the live window presses them, in order, once the view is open:
// a reading they leave paused or stopped is pictured as it stands and ends there. With
// --save-objects the view's Save Objects command saves every object of the message instead of the
// reading, each into the folder of its kind, as a person accepting each default would.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cmd_window_options.h"
#include "command.h"
#include "form_module.h"
#include "json_writer.h"
#include "forms/name_conflict_dialog.h"
#include "forms/read_view.h"
#include "forms/save_objects_window.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/controls/control_classes.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_system.h"
#include "object_save_steps.h"
#include "read_session.h"
#include "read_view_keys.h"
#include "store_listing.h"

namespace mmsform_tool {
namespace {

constexpr char kUsage[] =
    "usage: mmsform read FILE.mms|ENTRY_ID [--png DIR] [--screen 240x320@96|480x640@192] [--slides N]\n"
    "                    [--keys space,right,left,enter,escape,up,down] [--command ID]... [--save-objects]\n";
// However long its slides say it is, a headless reading ends after this much virtual time.
constexpr DWORD kLongestReadingMs = 10 * 60 * 1000;
constexpr DWORD kStepMs = 30;

struct ReadOptions {
  std::string target;
  std::string pngDir;
  std::string screen;
  int slides = 0;
  std::vector<UINT> keys;
  // Menu commands chosen once the view is open, after the keys (40631 forwards, 40632 replies).
  std::vector<WORD> commands;
  // Save every object through the Save Objects window instead of reading.
  bool saveObjects = false;
};

bool ParseKeys(std::string_view list, std::vector<UINT>* keys) {
  for (;;) {
    const std::size_t comma = list.find(',');
    std::optional<UINT> key = KeyNamed(list.substr(0, comma));
    if (!key) return false;
    keys->push_back(*key);
    if (comma == std::string_view::npos) return true;
    list = list.substr(comma + 1);
  }
}

bool Parse(std::span<char* const> args, ReadOptions* options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--png" && hasValue) {
      options->pngDir = args[++i];
    } else if (arg == "--screen" && hasValue) {
      options->screen = args[++i];
    } else if (arg == "--slides" && hasValue) {
      options->slides = std::atoi(args[++i]);
      if (options->slides < 1) return false;
    } else if (arg == "--keys" && hasValue) {
      if (!ParseKeys(args[++i], &options->keys)) return false;
    } else if (arg == "--command" && hasValue) {
      const int command = std::atoi(args[++i]);
      if (command < 1 || command > 0xFFFF) return false;
      options->commands.push_back(static_cast<WORD>(command));
    } else if (arg == "--save-objects") {
      options->saveObjects = true;
    } else if (options->target.empty() && !arg.starts_with("--")) {
      options->target = arg;
    } else {
      return false;
    }
  }
  return !options->target.empty();
}

bool Shoot(const ReadOptions& options, const std::string& name) {
  if (options.pngDir.empty()) return true;
  std::string error;
  platform::automation::PumpUntilIdle();
  const std::filesystem::path path = std::filesystem::path(options.pngDir) / name;
  if (!platform::automation::Screenshot(path, &error)) {
    std::fprintf(stderr, "mmsform read: %s\n", error.c_str());
    return false;
  }
  std::printf("{\"png\": \"%s\"}\n", path.string().c_str());
  return true;
}

// Opens the Save Objects window from the open view and saves every object into the folder of its
// kind, a name that exists taking the numbered name; prints a line for each. True when all were.
bool SaveEveryObject(HWND view) {
  std::vector<SaveReport> reports;
  // Where each file went is printed below; a question nobody answers is said on stderr.
  platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt& prompt) {
    if (prompt.kind == u"MessageBox" && prompt.style == MB_OK) return;
    std::fprintf(stderr, "mmsform read: unanswered question: %s\n", platform::Utf16ToUtf8(prompt.text).c_str());
  });
  const platform::automation::HookId conflicts = platform::automation::OnWindowAppears(
      u"Dialog", u"Save",
      [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(name_conflict::kNumberedName), 0); },
      false);
  const platform::automation::HookId window =
      platform::automation::OnWindowAppears(u"Dialog", u"Save Objects", [&](HWND dialog) {
        auto* saving =
            dynamic_cast<CSaveObjectsWindow*>(reinterpret_cast<CWndBase*>(GetWindowLongW(dialog, GWL_USERDATA)));
        if (saving != nullptr) reports = SaveEach(*saving, std::string());
        PostMessageW(dialog, WM_COMMAND, 1, 0);
      });
  platform::automation::SendCommand(view, read_command::kSaveObjects);
  platform::automation::PumpUntilIdle();
  platform::automation::RemoveHook(window);
  platform::automation::RemoveHook(conflicts);
  platform::automation::SetUnexpectedPromptHandler(nullptr);
  bool allSaved = !reports.empty();
  for (const SaveReport& report : reports) {
    JsonWriter line;
    line.BeginObject().Key("object").String(report.name).Key("saved").Bool(report.saved);
    line.Key("message").String(report.message).EndObject();
    std::printf("%s\n", line.Text().c_str());
    allSaved = allSaved && report.saved;
  }
  if (reports.empty()) std::fprintf(stderr, "mmsform read: the message has no object to save\n");
  return allSaved;
}

// Plays the open read view on the virtual clock. The view is watched, not driven: the pictures are
// named by the slide it shows; everything it does comes from its own timers and the keys pressed.
void PlayHeadless(HWND dialog, const ReadOptions& options, bool* objectsSaved) {
  auto* view = dynamic_cast<CReadView*>(reinterpret_cast<CWndBase*>(GetWindowLongW(dialog, GWL_USERDATA)));
  if (view == nullptr) return;
  if (options.saveObjects) {
    *objectsSaved = SaveEveryObject(dialog);
    PostMessageW(dialog, WM_COMMAND, 1, 0);
    return;
  }
  for (UINT key : options.keys) PressHostKey(key);
  for (WORD command : options.commands) {
    if (!IsWindow(dialog)) break;
    platform::automation::SendCommand(dialog, command);
  }
  const DWORD start = GetTickCount();
  int shown = -1;
  int slidesSeen = 0;
  char name[64];
  // A dialog the view opens by itself (the message information at the end) is named and closed
  // with OK, as the reader would after reading it.
  const platform::automation::HookId dialogs = platform::automation::OnWindowAppears(
      u"Dialog", u"",
      [&](HWND opened) {
        if (opened == dialog) return;
        std::u16string title(128, u'\0');
        title.resize(static_cast<std::size_t>(GetWindowTextW(opened, title.data(), static_cast<int>(title.size()))));
        JsonWriter line;
        line.BeginObject().Key("dialog").String(platform::Utf16ToUtf8(title)).EndObject();
        std::printf("%s\n", line.Text().c_str());
        PostMessageW(opened, WM_COMMAND, IDOK, 0);
      },
      false);
  for (DWORD elapsed = 0; elapsed <= kLongestReadingMs; elapsed = GetTickCount() - start) {
    // Done (Escape) hides the view at once; it is gone once its loop has run.
    if (!IsWindowVisible(dialog)) break;
    if (view->CurrentSlide() != shown && !view->Ended()) {
      shown = view->CurrentSlide();
      if (options.slides > 0 && slidesSeen == options.slides) break;
      ++slidesSeen;
      std::snprintf(name, sizeof name, "slide%02d_%07lums.png", shown + 1, static_cast<unsigned long>(elapsed));
      Shoot(options, name);
    }
    if (view->Ended() && view->PlaybackState() == read_view::kStopped) break;
    // Keys that paused or stopped the reading leave nothing more to happen on the clock.
    if (!options.keys.empty() && view->PlaybackState() != read_view::kPlaying) break;
    platform::automation::AdvanceClock(kStepMs);
  }
  platform::automation::RemoveHook(dialogs);
  std::snprintf(name, sizeof name, "end_%07lums.png", static_cast<unsigned long>(GetTickCount() - start));
  Shoot(options, name);
  std::printf("{\"slides_seen\": %d, \"slides\": %d, \"ended\": %s, \"ms\": %lu}\n", slidesSeen, view->SlideCount(),
              view->Ended() ? "true" : "false", static_cast<unsigned long>(GetTickCount() - start));
  // Done, as the reader's Done button does it.
  PostMessageW(dialog, WM_COMMAND, 1, 0);
}

int RunRead(std::span<char* const> args) {
  ReadOptions options;
  if (!Parse(args, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  WindowDemoOptions screen;
  screen.screen = options.screen;
  if (!ApplyScreenOption(screen)) {
    std::fprintf(stderr, "mmsform read: unsupported screen '%s'\n", options.screen.c_str());
    return 2;
  }
  if (!options.pngDir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options.pngDir, error);
  }
  platform::UseVirtualClock(true);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  OpenStore store;
  if (store.Get() == nullptr) {
    std::fprintf(stderr, "mmsform read: %s\n", store.Error().c_str());
    return 1;
  }
  std::string error;
  ComPtr<IMessage> message = OpenReadTarget(store.Get(), options.target, &error);
  if (!message) {
    std::fprintf(stderr, "mmsform read: %s\n", error.c_str());
    return 1;
  }
  HWND client = MakeClientWindow();
  HRESULT hr = E_FAIL;
  bool objectsSaved = false;
  {
    FormModule module;
    if (!module.Load()) {
      std::fprintf(stderr, "mmsform read: the form module cannot be loaded\n");
      return 1;
    }
    platform::automation::OnWindowAppears(u"Dialog", u"",
                                          [&](HWND dialog) { PlayHeadless(dialog, options, &objectsSaved); });
    ReadSession session(module);
    hr = session.Open(message.Get(), {});
    if (FAILED(hr)) {
      std::fprintf(stderr, "mmsform read: the read form did not open (0x%08lx)\n", static_cast<unsigned long>(hr));
    } else {
      platform::automation::PumpUntilIdle();
      session.Close();
    }
    platform::automation::PumpUntilIdle();
  }
  platform::automation::Reset();
  DestroyWindow(client);
  platform::window::ResetWindowSystem();
  message.Reset();
  if (options.saveObjects && !objectsSaved) return 1;
  return SUCCEEDED(hr) ? 0 : 1;
}

const Command kRead("read",
                    "read FILE.mms|ENTRY_ID [--png DIR] [--screen WxH@DPI] [--slides N] [--keys K,...] [--command ID] "
                    "[--save-objects]   the read form, headless",
                    RunRead);

}  // namespace
}  // namespace mmsform_tool
