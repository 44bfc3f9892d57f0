// mmsform device log [--json]: what the device handed outside itself, oldest first.
// mmsform device calls list | add NUMBER [--name NAME] [--incoming|--missed]: the phone's call log,
// newest first, which the call-history picker offers.
// mmsform device fdn add NUMBER | list | clear: the fixed-dialling list of the device's SIM card
// (clear takes the list off the card, so that dialling is no longer restricted).
// mmsform device wallpaper FILE [--transparency N]: a picture as the wallpaper (device_wallpaper.h).
#include <cstdio>
#include <ctime>
#include <string>

#include "command.h"
#include "device_wallpaper.h"
#include "json_writer.h"
#include "platform/kernel/activity_log.h"
#include "platform/kernel/clock.h"
#include "platform/phone/call_log.h"
#include "platform/phone/sim_phonebook.h"
#include "platform/text/cstring.h"
#include "platform/text/text_conversion.h"

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

// The card, opened for one command and closed with it.
class OpenCard {
 public:
  OpenCard() {
    if (FAILED(SimInitialize(0, nullptr, 0, &m_sim))) m_sim = nullptr;
  }
  OpenCard(const OpenCard&) = delete;
  OpenCard& operator=(const OpenCard&) = delete;
  ~OpenCard() {
    if (m_sim) SimDeinitialize(m_sim);
  }
  HSIM Get() const { return m_sim; }

 private:
  HSIM m_sim = nullptr;
};

int ListFixedDialling(HSIM sim) {
  DWORD used = 0;
  DWORD total = 0;
  if (FAILED(SimGetPhonebookStatus(sim, SIM_PBSTORAGE_FIXEDDIALING, &used, &total))) {
    std::printf("The SIM card has no fixed-dialling list.\n");
    return 0;
  }
  std::printf("Fixed dialling: %u of %u numbers\n", static_cast<unsigned>(used), static_cast<unsigned>(total));
  for (DWORD index = 1; index <= total; ++index) {
    SIMPHONEBOOKENTRY entry{};
    entry.cbSize = sizeof entry;
    if (SUCCEEDED(SimReadPhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, index, &entry))) {
      std::printf("%3u  %s\n", static_cast<unsigned>(index), CString(entry.lpszAddress).ToUtf8().c_str());
    }
  }
  return 0;
}

int AddFixedDialling(HSIM sim, std::string_view number) {
  const CString text = CString::FromUtf8(number);
  SIMPHONEBOOKENTRY entry{};
  entry.cbSize = sizeof entry;
  if (text.IsEmpty() || static_cast<DWORD>(text.GetLength()) >= MAX_LENGTH_ADDRESS) {
    std::fprintf(stderr, "mmsform device fdn add: a number of 1 to %u characters is needed\n",
                 static_cast<unsigned>(MAX_LENGTH_ADDRESS - 1));
    return 2;
  }
  text.View().copy(entry.lpszAddress, MAX_LENGTH_ADDRESS - 1);
  const HRESULT hr = SimWritePhonebookEntry(sim, SIM_PBSTORAGE_FIXEDDIALING, SIM_PBINDEX_FIRSTAVAILABLE, &entry);
  if (hr == SIM_E_PHONEBOOKFULL) {
    std::fprintf(stderr, "mmsform device fdn add: the list is full (%u numbers)\n",
                 static_cast<unsigned>(kSimFixedDialingCapacity));
    return 1;
  }
  if (FAILED(hr)) {
    std::fprintf(stderr, "mmsform device fdn add: the number could not be written\n");
    return 1;
  }
  return 0;
}

int RunFixedDialling(std::span<char* const> args) {
  const std::string_view action = args.size() >= 2 ? std::string_view(args[1]) : std::string_view();
  const bool valid =
      (action == "add" && args.size() == 3) || ((action == "list" || action == "clear") && args.size() == 2);
  if (!valid) {
    std::fprintf(stderr, "usage: mmsform device fdn add NUMBER | list | clear\n");
    return 2;
  }
  OpenCard card;
  if (!card.Get()) {
    std::fprintf(stderr, "mmsform device fdn: the device has no SIM card\n");
    return 1;
  }
  if (action == "list") return ListFixedDialling(card.Get());
  if (action == "add") return AddFixedDialling(card.Get(), args[2]);
  return SUCCEEDED(SimRemoveFixedDialing(card.Get())) ? 0 : 1;
}

int RunDevice(std::span<char* const> args) {
  if (!args.empty() && std::string_view(args[0]) == "calls") return Calls(args.subspan(1));
  if (!args.empty() && std::string_view(args[0]) == "fdn") return RunFixedDialling(args);
  if (!args.empty() && std::string_view(args[0]) == "wallpaper") return RunWallpaper(args.subspan(1));
  const bool json = args.size() == 2 && std::string_view(args[1]) == "--json";
  if (args.empty() || std::string_view(args[0]) != "log" || (args.size() == 2 && !json) || args.size() > 2) {
    std::fprintf(stderr,
                 "usage: mmsform device log [--json] | calls list | calls add NUMBER [--name NAME]\n"
                 "                          | fdn add NUMBER | fdn list | fdn clear\n"
                 "                          | wallpaper FILE [--transparency 0..255]\n");
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
                      "device log [--json] | calls list|add NUMBER [--name N] | fdn add NUMBER|list|clear | "
                      "wallpaper FILE [--transparency N]   what links led to (addresses opened, calls, programs "
                      "started); the phone's call log; the SIM card's fixed-dialling list; a picture as the "
                      "wallpaper",
                      RunDevice);

}  // namespace
}  // namespace mmsform_tool
