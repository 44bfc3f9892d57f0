// mmsform links: the links the read view would find in a text, one JSON object a line.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "command.h"
#include "device/link_detection.h"
#include "json_writer.h"
#include "platform/text/text_conversion.h"

namespace mmsform_tool {
namespace {

constexpr int kUsageError = 2;
constexpr std::uintmax_t kMaxTextBytes = 64u << 20;

constexpr char kUsage[] = "usage: mmsform links [--no-links] TEXT | mmsform links [--no-links] --file FILE\n";

bool ReadText(const char* file, std::string* text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::uintmax_t>(size) > kMaxTextBytes) return false;
  in.seekg(0);
  text->resize(static_cast<std::size_t>(size));
  in.read(text->data(), size);
  return static_cast<bool>(in) || size == 0;
}

int RunLinks(std::span<char* const> args) {
  bool enabled = true;
  std::size_t i = 0;
  if (i < args.size() && std::string_view(args[i]) == "--no-links") {
    enabled = false;
    ++i;
  }
  std::string utf8;
  if (i + 2 == args.size() && std::string_view(args[i]) == "--file") {
    if (!ReadText(args[i + 1], &utf8)) {
      std::fprintf(stderr, "mmsform links: cannot read %s (at most 64 MB)\n", args[i + 1]);
      return 1;
    }
    if (utf8.rfind("\xEF\xBB\xBF", 0) == 0) utf8.erase(0, 3);
  } else if (i + 1 == args.size() && std::string_view(args[i]) != "--file") {
    utf8 = args[i];
  } else {
    std::fputs(kUsage, stderr);
    return kUsageError;
  }
  LinkList list;
  list.ScanLinks(platform::Utf8ToUtf16(utf8), enabled);
  for (const LinkRecord& link : list.Links()) {
    JsonWriter json;
    json.BeginObject()
        .Key("first").Int(link.first)
        .Key("last").Int(link.last)
        .Key("type").Int(link.type)
        .Key("target").String(link.target.ToUtf8())
        .Key("display").String(link.display.ToUtf8())
        .EndObject();
    std::printf("%s\n", json.Text().c_str());
  }
  return 0;
}

const Command kLinksCommand("links", "links [--no-links] TEXT|--file FILE   the links found in a text, as JSON lines",
                            RunLinks);

}  // namespace
}  // namespace mmsform_tool
