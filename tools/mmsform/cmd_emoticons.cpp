// mmsform emoticons [--screen WxH@DPI] [--png OUT.png] [--choose N]
// The emoticon set of the screen, one JSON line per emoticon with its picture; with --png or
// --choose, the emoticon picker instead: its screen as a PNG, and emoticon N (from 1) chosen in it
// with the arrow keys and the action key, its text printed as JSON.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "cmd_window_options.h"
#include "command.h"
#include "engines/dib_image.h"
#include "engines/image_decode.h"
#include "forms/emoticon_picker.h"
#include "json_writer.h"
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_api.h"
#include "platform/window/window_styles.h"
#include "ui/emoticon_set.h"

namespace mmsform_tool {
namespace {

constexpr int kUsage = 2;

int Usage() {
  std::fprintf(stderr, "usage: mmsform emoticons [--screen WxH@DPI] [--png OUT.png] [--choose N]\n");
  return kUsage;
}

int List() {
  EmoticonSet set;
  if (!set.Load(ConfiguredEmoticonFolder().View())) {
    std::fprintf(stderr, "mmsform emoticons: no emoticon set for this screen in %s\n",
                 platform::Utf16ToUtf8(set.Folder().View()).c_str());
    return 1;
  }
  for (int i = 0; i < set.Count(); ++i) {
    const EmoticonPicture& picture = set.Picture(i);
    SIZE box{256, 256};
    std::unique_ptr<DibImage, DibImageDeleter> image(DecodeImage(picture.path, &box, picture.type, 0));
    JsonWriter json;
    json.BeginObject().Key("number").Int(i + 1).Key("text").String(platform::Utf16ToUtf8(set.Text(i).View()));
    json.Key("picture").String(platform::Utf16ToUtf8(picture.path.View()));
    json.Key("exists").Bool(GetFileAttributesW(picture.path) != INVALID_FILE_ATTRIBUTES);
    json.Key("width").Int(image ? box.cx : 0).Key("height").Int(image ? box.cy : 0).EndObject();
    std::printf("%s\n", json.Text().c_str());
  }
  return 0;
}

int Pick(const std::string& png, int choose) {
  bool shot = true;
  std::string error;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    for (int step = 1; step < choose; ++step) platform::automation::PressKey(VK_RIGHT);
    if (!png.empty()) shot = platform::automation::Screenshot(png, &error);
    if (choose > 0) {
      platform::automation::PressKey(VK_RETURN);
    } else {
      platform::automation::SendCommand(dialog, IDCANCEL);
    }
  });
  CString text;
  const BOOL chosen = RunEmoticonPicker(nullptr, &text);
  platform::automation::Reset();
  if (!shot) {
    std::fprintf(stderr, "mmsform emoticons: %s\n", error.c_str());
    return 1;
  }
  JsonWriter json;
  json.BeginObject().Key("chosen").Bool(chosen != FALSE);
  if (chosen) json.Key("text").String(platform::Utf16ToUtf8(text.View()));
  json.EndObject();
  std::printf("%s\n", json.Text().c_str());
  return choose > 0 && !chosen ? 1 : 0;
}

int RunEmoticons(std::span<char* const> args) {
  WindowDemoOptions options;
  int choose = 0;
  for (std::size_t i = 0; i < args.size(); i += 2) {
    const std::string option = args[i];
    if (i + 1 >= args.size()) return Usage();
    if (option == "--screen") {
      options.screen = args[i + 1];
    } else if (option == "--png") {
      options.png = args[i + 1];
    } else if (option == "--choose") {
      choose = std::atoi(args[i + 1]);
      if (choose < 1) return Usage();
    } else {
      return Usage();
    }
  }
  if (!ApplyScreenOption(options)) {
    std::fprintf(stderr, "mmsform emoticons: unsupported screen '%s'\n", options.screen.c_str());
    return kUsage;
  }
  platform::UseVirtualClock(true);
  return options.png.empty() && choose == 0 ? List() : Pick(options.png, choose);
}

const Command kEmoticons("emoticons", "emoticons [--screen WxH@DPI] [--png OUT.png] [--choose N]   the emoticon set and its picker",
                         RunEmoticons);

}  // namespace
}  // namespace mmsform_tool
