// mmsform device log [--json]: what the device handed outside itself, oldest first.
// mmsform device calls list | add NUMBER [--name NAME] [--incoming|--missed]: the phone's call log,
// newest first, which the call-history picker offers.
#include <cstdio>
#include <ctime>
#include <string>

#include "command.h"
#include "json_writer.h"
#include "platform/activity_log.h"
#include "platform/clock.h"
#include "platform/phone/call_log.h"
#include "platform/text_conversion.h"

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

constexpr const char* kKinds[] = {"incoming", "missed", "outgoing"};

int CallsUsage() {
  std::fprintf(stderr, "usage: mmsform device calls list\n"
                       "       mmsform device calls add NUMBER [--name NAME] [--incoming|--missed]\n");
  return 2;
}

int Calls(std::span<char* const> args) {
  if (args.size() == 1 && std::string_view(args[0]) == "list") {
    for (const platform::phone::CallRecord& call : platform::phone::ReadCalls()) {
      JsonWriter writer;
      writer.BeginObject().Key("number").String(platform::Utf16ToUtf8(call.number));
      writer.Key("name").String(platform::Utf16ToUtf8(call.name)).Key("kind").String(kKinds[call.iom]);
      writer.Key("time").String(LocalTime(call.start)).Key("seconds").Int(call.seconds).EndObject();
      std::printf("%s\n", writer.Text().c_str());
    }
    return 0;
  }
  if (args.size() < 2 || std::string_view(args[0]) != "add" || *args[1] == 0) return CallsUsage();
  platform::phone::CallRecord call;
  call.number = platform::Utf8ToUtf16(args[1]);
  call.start = platform::UnixTimeNow();
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string_view option = args[i];
    if (option == "--name" && i + 1 < args.size()) {
      call.name = platform::Utf8ToUtf16(args[++i]);
    } else if (option == "--incoming") {
      call.iom = IOM_INCOMING;
    } else if (option == "--missed") {
      call.iom = IOM_MISSED;
    } else {
      return CallsUsage();
    }
  }
  if (!platform::phone::AddCall(call)) {
    std::fprintf(stderr, "mmsform device: the call log cannot be written\n");
    return 1;
  }
  return 0;
}

int RunDevice(std::span<char* const> args) {
  if (!args.empty() && std::string_view(args[0]) == "calls") return Calls(args.subspan(1));
  const bool json = args.size() == 2 && std::string_view(args[1]) == "--json";
  if (args.empty() || std::string_view(args[0]) != "log" || (args.size() == 2 && !json) || args.size() > 2) {
    std::fprintf(stderr, "usage: mmsform device log [--json] | calls list | calls add NUMBER [--name NAME]\n");
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

const Command kDevice("device",
                      "device log [--json] | calls list|add NUMBER [--name N]   what links led to (addresses opened, calls, "
                      "programs started); the phone's call log",
                      RunDevice);

}  // namespace
}  // namespace mmsform_tool
