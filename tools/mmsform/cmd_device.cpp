// mmsform device log [--json]: what the device handed outside itself, oldest first.
#include <cstdio>
#include <ctime>
#include <string>

#include "command.h"
#include "json_writer.h"
#include "platform/activity_log.h"

namespace mmsform_tool {
namespace {

std::string LocalTime(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  localtime_r(&time, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
  return text;
}

int RunDevice(std::span<char* const> args) {
  const bool json = args.size() == 2 && std::string_view(args[1]) == "--json";
  if (args.empty() || std::string_view(args[0]) != "log" || (args.size() == 2 && !json) || args.size() > 2) {
    std::fprintf(stderr, "usage: mmsform device log [--json]\n");
    return 2;
  }
  for (const platform::ActivityEntry& entry : platform::ReadActivity()) {
    if (json) {
      JsonWriter writer;
      writer.BeginObject().Key("time").Int(entry.time).Key("process").Int(entry.process).Key("kind").String(entry.kind)
          .Key("detail").String(entry.detail).EndObject();
      std::printf("%s\n", writer.Text().c_str());
    } else {
      std::printf("%s  %-7lld  %-10s  %s\n", LocalTime(entry.time).c_str(), static_cast<long long>(entry.process),
                  entry.kind.c_str(), entry.detail.c_str());
    }
  }
  return 0;
}

const Command kDevice("device", "device log [--json]   what links led to: addresses opened, calls, programs started",
                      RunDevice);

}  // namespace
}  // namespace mmsform_tool
