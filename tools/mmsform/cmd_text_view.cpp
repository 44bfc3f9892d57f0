// mmsform text-view FILE --png OUT.png [--screen WxH@DPI] [--select N] [--tap X Y [--act | --menu CHOICE]]:
// a text part laid out as the read view shows it, the screen written as a PNG; the links, and what
// a tap would send the read view, printed as JSON lines. --act does what the link leads to, --menu
// what the choice of the read view's link menu does ("favourite" for an address, "dialler" for a
// number); see mmsform device log.
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cmd_window_options.h"
#include "command.h"
#include "device/internet_shortcut.h"
#include "device/link_actions.h"
#include "device/link_words.h"
#include "json_writer.h"
#include "platform/automation/automation.h"
#include "platform/controls/html_view.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/device.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_system.h"
#include "text_view_scene.h"

namespace mmsform_tool {
namespace {

constexpr char kUsage[] =
    "usage: mmsform text-view FILE --png OUT.png [--screen 240x320@96|480x640@192] [--select N]\n"
    "       [--tap X Y [--act | --menu favourite|dialler]] [--open-links]\n";

struct TextViewOptions {
  std::string file;
  int select = 0;
  bool tap = false;
  bool act = false;
  std::string menu;  // the link menu's choice instead of the link's own action
  POINT tapAt{};
};

void PrintLink(const char* kind, const LinkRecord& link, std::int64_t number) {
  JsonWriter json;
  json.BeginObject().Key(kind).Int(number).Key("first").Int(link.first).Key("last").Int(link.last)
      .Key("type").Int(link.type).Key("target").String(link.target.ToUtf8())
      .Key("display").String(link.display.ToUtf8()).EndObject();
  std::printf("%s\n", json.Text().c_str());
}

void PrintNotice(const TextViewNotice& notice) {
  if (notice.message == kReadHtmlLink || notice.message == kReadHtmlFolder) {
    JsonWriter json;
    json.BeginObject().Key("message").Int(notice.message);
    if (notice.message == kReadHtmlLink) json.Key("code").Int(notice.htmlCode);
    json.Key(notice.message == kReadHtmlLink ? "target" : "folder").String(notice.htmlTarget);
    if (notice.htmlCode == NM_CONTEXTMENU) json.Key("x").Int(notice.htmlPoint.x).Key("y").Int(notice.htmlPoint.y);
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
    return;
  }
  if (notice.message == kHyperTextLinkOpened) {
    JsonWriter json;
    json.BeginObject().Key("message").Int(notice.message).Key("x").Int(GET_X_LPARAM(notice.lParam))
        .Key("y").Int(GET_Y_LPARAM(notice.lParam)).Key("point").Bool(notice.lParam != 0)
        .Key("type").Int(notice.record.type).Key("target").String(notice.record.target.ToUtf8()).EndObject();
    std::printf("%s\n", json.Text().c_str());
    return;
  }
  JsonWriter json;
  json.BeginObject().Key("message").Int(notice.message).Key("wParam").Uint(notice.wParam)
      .Key("lParam").Int(notice.lParam).EndObject();
  std::printf("%s\n", json.Text().c_str());
}

// What the read view does with a tapped link, as far as this device goes: addresses are opened,
// numbers called, mail addresses opened as "mailto:" addresses.
void Act(const LinkRecord& link, const std::string& menu) {
  const char* action = "none";
  if (menu == "favourite") {
    if (IsAddressLinkType(link.type)) action = AddLinkToFavorites(link.target) ? "favourite added" : "favourite failed";
  } else if (menu == "dialler") {
    if (link.type == kLinkPhone) {
      Dial(link.target, 1);
      action = "dialler started";
    }
  } else if (IsAddressLinkType(link.type)) {
    action = OpenAddress(link.target) ? "opened" : "open failed";
  } else if (link.type == kLinkPhone) {
    Dial(link.target, 0);
    action = "called";
  } else if (link.type == kLinkEmail) {
    action = OpenAddress(CString(u"mailto:") + link.target.View()) ? "opened" : "open failed";
  }
  JsonWriter json;
  json.BeginObject().Key("action").String(action).Key("target").String(link.target.ToUtf8()).EndObject();
  std::printf("%s\n", json.Text().c_str());
}

// An HTML target as the read view resolves it: mail addresses are not opened here, and what the
// read view would leave alone leads nowhere.
void ActOnHtml(const std::string& target, const std::u16string& folder) {
  const std::u16string wide = platform::Utf8ToUtf16(target);
  const char* action = "none";
  CString address;
  if (!link_words::StartsWithNoCase(wide, u"mailto:")) address = HtmlLinkAddress(wide, folder);
  if (!address.IsEmpty()) action = OpenAddress(address) ? "opened" : "open failed";
  JsonWriter json;
  json.BeginObject().Key("action").String(action).Key("target").String(address.ToUtf8()).EndObject();
  std::printf("%s\n", json.Text().c_str());
}

// The markup file and its folder's other files (pictures) copied into the device, where the view
// can reach them; the device path of the copy.
bool CopyIntoDevice(const std::filesystem::path& file, std::u16string* devicePath, std::string* error) {
  constexpr std::u16string_view kFolder = u"\\Temp\\text-view\\";
  const auto host = platform::HostPath(kFolder);
  std::error_code code;
  if (!host) {
    *error = "no device folder for the text";
    return false;
  }
  std::filesystem::remove_all(*host, code);
  std::filesystem::create_directories(*host, code);
  int copied = 0;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path().empty() ? "." : file.parent_path(), code)) {
    if (!entry.is_regular_file() || entry.file_size() > (4u << 20) || ++copied > 64) continue;
    std::filesystem::copy_file(entry.path(), *host / entry.path().filename(),
                               std::filesystem::copy_options::overwrite_existing, code);
  }
  std::filesystem::copy_file(file, *host / file.filename(), std::filesystem::copy_options::overwrite_existing, code);
  if (code) {
    *error = "cannot copy " + file.string() + " into the device";
    return false;
  }
  *devicePath = std::u16string(kFolder) + platform::Utf8ToUtf16(file.filename().string());
  return true;
}

bool ParseOptions(std::span<char* const> args, TextViewOptions* options, std::vector<char*>* rest) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (std::strcmp(args[i], "--select") == 0 && i + 1 < args.size()) {
      options->select = std::atoi(args[++i]);
    } else if (std::strcmp(args[i], "--tap") == 0 && i + 2 < args.size()) {
      options->tap = true;
      options->tapAt = POINT{std::atoi(args[i + 1]), std::atoi(args[i + 2])};
      i += 2;
    } else if (std::strcmp(args[i], "--act") == 0) {
      options->act = true;
    } else if (std::strcmp(args[i], "--menu") == 0 && i + 1 < args.size()) {
      options->menu = args[++i];
      if (options->menu != "favourite" && options->menu != "dialler") return false;
      options->act = true;
    } else if (args[i][0] != '-' && options->file.empty()) {
      options->file = args[i];
    } else {
      rest->push_back(args[i]);
    }
  }
  return !options->file.empty();
}

int RunTextView(std::span<char* const> args) {
  TextViewOptions options;
  std::vector<char*> rest;
  WindowDemoOptions window;
  std::string error;
  if (!ParseOptions(args, &options, &rest) || !ParseWindowDemoOptions(rest, &window, &error) || window.png.empty()) {
    if (!error.empty()) std::fprintf(stderr, "text-view: %s\n", error.c_str());
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (!ApplyScreenOption(window)) {
    std::fprintf(stderr, "text-view: unsupported screen '%s'\n", window.screen.c_str());
    return 2;
  }
  const bool markup = IsMarkupFile(options.file);
  std::u16string text;
  std::u16string devicePath;
  if (markup ? !CopyIntoDevice(options.file, &devicePath, &error) : !ReadTextPart(options.file, &text, &error)) {
    std::fprintf(stderr, "text-view: %s\n", error.c_str());
    return 1;
  }
  platform::UseVirtualClock(true);
  int status = 0;
  {
    TextViewScene scene;
    const bool opened = markup ? scene.OpenHtml(devicePath, &error) : scene.Open(text, kHyperTextSelectable | kHyperTextEmoticons, &error);
    if (!opened) {
      std::fprintf(stderr, "text-view: %s\n", error.c_str());
      status = 1;
    } else {
      std::u16string folder;
      for (const TextViewNotice& notice : scene.TakeNotices()) {
        PrintNotice(notice);
        if (notice.message == kReadHtmlFolder) folder = platform::Utf8ToUtf16(notice.htmlTarget);
      }
      if (!markup) {
        const auto& links = scene.Control().Links().Links();
        for (std::size_t i = 0; i < links.size(); ++i) PrintLink("link", links[i], static_cast<std::int64_t>(i + 1));
        if (options.select > 0 && !scene.Control().SelectLink(options.select)) {
          std::fprintf(stderr, "text-view: there is no link %d\n", options.select);
          status = 1;
        }
      }
      if (options.tap) {
        platform::automation::Tap(options.tapAt);
        for (const TextViewNotice& notice : scene.TakeNotices()) {
          PrintNotice(notice);
          if (options.act && notice.message == kHyperTextLinkOpened) Act(notice.record, options.menu);
          if (options.act && notice.message == kReadHtmlLink) ActOnHtml(notice.htmlTarget, folder);
        }
      }
      if (!platform::automation::Screenshot(window.png, &error)) {
        std::fprintf(stderr, "text-view: %s\n", error.c_str());
        status = 1;
      }
    }
  }
  platform::window::ResetWindowSystem();
  platform::automation::Reset();
  return status;
}

const Command kTextView("text-view",
                        "text-view FILE --png OUT.png [--screen WxH@DPI] [--select N] [--tap X Y [--act | --menu favourite|dialler]]   a text part "
                        "as the read view lays it out",
                        RunTextView);

}  // namespace
}  // namespace mmsform_tool
