// mmsform objects FILE.mms|ENTRY_ID [--json]: the objects of a message a person could save, with
// their type, size and whether they are protected or missing.
// mmsform objects save FILE.mms|ENTRY_ID NAME|--all DEST [--conflict number|replace|cancel] [--json]
// [--png OUT.png]:
// saves them into the device folder DEST through the save-objects window, run headless: the
// window's own Save command for each object, its questions answered as the options say (the
// type's extension is accepted; a name conflict takes the numbered name unless told otherwise).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "command.h"
#include "device_writing.h"
#include "engines/media_shutdown.h"
#include "forms/name_conflict_dialog.h"
#include "forms/object_saving.h"
#include "forms/save_objects_window.h"
#include "json_writer.h"
#include "object_save_steps.h"
#include "object_source.h"
#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/device.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_system.h"

namespace mmsform_tool {
namespace {

constexpr int kFailure = 1;
constexpr int kUsageError = 2;
constexpr int kMaxNameColumn = 40;
constexpr char kUsage[] =
    "usage: mmsform objects FILE.mms|ENTRY_ID [--json]\n"
    "       mmsform objects save FILE.mms|ENTRY_ID NAME|--all DEST [--conflict number|replace|cancel] [--json] [--png OUT.png]\n";

std::string Utf8(const CString& text) { return platform::Utf16ToUtf8(text.View()); }

std::string TypeCode(MediaType type) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(type));
  return text;
}

int List(MessageModel& model, bool json) {
  const std::vector<SaveableObject> objects = SaveableObjects(model);
  if (json) {
    JsonWriter out;
    out.BeginObject().Key("objects").BeginArray();
    for (const SaveableObject& object : objects) {
      out.BeginObject()
          .Key("name").String(Utf8(object.name))
          .Key("kind").String(Utf8(ObjectKindName(object.type)))
          .Key("type").String(TypeCode(object.type))
          .Key("size").Uint(object.size)
          .Key("protected").Bool(object.forwardLock)
          .Key("present").Bool(object.present)
          .EndObject();
    }
    out.EndArray().EndObject();
    std::printf("%s\n", out.Text().c_str());
    return 0;
  }
  int width = 4;
  for (const SaveableObject& object : objects) width = std::max(width, static_cast<int>(object.name.GetLength()));
  width = std::min(width, kMaxNameColumn);
  for (const SaveableObject& object : objects) {
    std::printf("%-*s  %-14s %10lu%s%s\n", width, Utf8(object.name).c_str(), Utf8(ObjectKindName(object.type)).c_str(),
                static_cast<unsigned long>(object.size), object.forwardLock ? "  protected" : "",
                object.present ? "" : "  missing");
  }
  return 0;
}

struct SaveOptions {
  std::string target;
  std::string name;  // empty with --all
  std::string destination;
  int conflictAnswer = name_conflict::kNumberedName;
  bool json = false;
  std::string png;  // the window's screen as it opened
};

bool ParseSave(std::span<char* const> args, SaveOptions* options) {
  std::vector<std::string> positional;
  bool all = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--json") {
      options->json = true;
    } else if (arg == "--all") {
      all = true;
    } else if (arg == "--png" && i + 1 < args.size()) {
      options->png = args[++i];
    } else if (arg == "--conflict" && i + 1 < args.size()) {
      const std::string_view answer = args[++i];
      if (answer == "number") options->conflictAnswer = name_conflict::kNumberedName;
      else if (answer == "replace") options->conflictAnswer = name_conflict::kReplace;
      else if (answer == "cancel") options->conflictAnswer = name_conflict::kCancel;
      else return false;
    } else if (arg.starts_with("--")) {
      return false;
    } else {
      positional.emplace_back(arg);
    }
  }
  if (positional.size() != (all ? 2u : 3u)) return false;
  options->target = positional[0];
  if (!all) options->name = positional[1];
  options->destination = positional.back();
  return true;
}

// The destination as a device folder ending with "\", made when missing; empty when it lies
// outside the device or cannot be made.
CString DestinationFolder(const std::string& destination, std::string* error) {
  std::u16string folder = platform::Utf8ToUtf16(destination);
  if (folder.empty() || (folder.back() != u'\\' && folder.back() != u'/')) folder += u'\\';
  const auto host = platform::HostPath(folder);
  std::error_code fsError;
  if (!host) {
    *error = destination + " is no folder of the device";
    return CString();
  }
  std::filesystem::create_directories(*host, fsError);
  if (!std::filesystem::is_directory(*host, fsError)) {
    *error = "cannot make the device folder " + destination + StorageCause();
    return CString();
  }
  return CString(folder);
}

int Save(MessageModel& model, const SaveOptions& options) {
  std::string error;
  const CString folder = DestinationFolder(options.destination, &error);
  if (folder.IsEmpty()) {
    std::fprintf(stderr, "mmsform objects: %s\n", error.c_str());
    return kFailure;
  }
  platform::UseVirtualClock(true);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  // Questions no option answers are answered as a careful person would, and said on stderr.
  platform::automation::SetUnexpectedPromptHandler([](const platform::automation::Prompt& prompt) {
    if (prompt.kind == u"MessageBox" && prompt.style == MB_OK) return;
    std::fprintf(stderr, "mmsform objects: unanswered question: %s\n", platform::Utf16ToUtf8(prompt.text).c_str());
  });
  HWND owner = CreateWindowExW(0, u"STATIC", u"Messages", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                               nullptr, nullptr);
  platform::automation::OnWindowAppears(
      u"Dialog", u"Save",
      [answer = options.conflictAnswer](HWND dialog) { PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(answer), 0); },
      false);
  CSaveObjectsWindow window(&model);
  window.SetTargetFolder(folder);
  std::vector<SaveReport> reports;
  platform::automation::OnWindowAppears(u"Dialog", u"Save Objects", [&](HWND dialog) {
    std::string pngError;
    if (!options.png.empty() && !platform::automation::Screenshot(options.png, &pngError)) {
      std::fprintf(stderr, "mmsform objects: %s\n", pngError.c_str());
    }
    reports = SaveEach(window, options.name);
    PostMessageW(dialog, WM_COMMAND, 1, 0);
  });
  window.Run(owner);
  platform::automation::PumpUntilIdle();
  platform::automation::Reset();
  platform::automation::SetUnexpectedPromptHandler(nullptr);
  DestroyWindow(owner);
  platform::window::ResetWindowSystem();

  bool allSaved = !reports.empty();
  if (options.json) {
    JsonWriter out;
    out.BeginObject().Key("folder").String(Utf8(folder)).Key("saved").BeginArray();
    for (const SaveReport& report : reports) {
      out.BeginObject().Key("name").String(report.name).Key("saved").Bool(report.saved);
      out.Key("message").String(report.message).EndObject();
    }
    out.EndArray().EndObject();
    std::printf("%s\n", out.Text().c_str());
  } else {
    for (const SaveReport& report : reports) {
      std::printf("%s %s: %s\n", report.saved ? "saved" : "not saved", report.name.c_str(), report.message.c_str());
    }
  }
  for (const SaveReport& report : reports) allSaved = allSaved && report.saved;
  if (reports.empty()) {
    std::fprintf(stderr, "mmsform objects: the message has no object '%s'\n", options.name.c_str());
  }
  return allSaved ? 0 : kFailure;
}

int RunObjects(std::span<char* const> args) {
  const bool save = !args.empty() && std::string_view(args[0]) == "save";
  SaveOptions saveOptions;
  bool json = false;
  std::string target;
  if (save) {
    if (!ParseSave(args.subspan(1), &saveOptions)) {
      std::fputs(kUsage, stderr);
      return kUsageError;
    }
    target = saveOptions.target;
  } else {
    for (char* const arg : args) {
      const std::string_view text = arg;
      if (text == "--json") {
        json = true;
      } else if (target.empty() && !text.starts_with("--")) {
        target = text;
      } else {
        std::fputs(kUsage, stderr);
        return kUsageError;
      }
    }
    if (target.empty()) {
      std::fputs(kUsage, stderr);
      return kUsageError;
    }
  }
  if (save) CleanUpBeforeWriting();
  std::string error;
  std::unique_ptr<ObjectSource> source = ObjectSource::Open(target, &error);
  if (!source) {
    std::fprintf(stderr, "mmsform objects: %s\n", error.c_str());
    return kFailure;
  }
  const int status = save ? Save(*source->Model(), saveOptions) : List(*source->Model(), json);
  source.reset();
  // Loading measured the sounds and videos with the shared engines.
  ShutDownMediaEngines();
  return status;
}

const Command kObjects("objects",
                       "objects FILE.mms|ENTRY_ID [--json]   the objects a person could save from a message;\n"
                       "  objects save FILE.mms|ENTRY_ID NAME|--all DEST [--conflict number|replace|cancel] [--json] [--png OUT.png]\n"
                       "                                      saves them into a device folder through the save-objects window",
                       RunObjects);

}  // namespace
}  // namespace mmsform_tool
