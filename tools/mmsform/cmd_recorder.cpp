// mmsform recorder OUT.amr --from IN.wav --seconds N [--limit BYTES] [--png OUT.png] [--screen WxH@DPI]
// The voice recorder dialog, headless on the virtual clock with a WAV file as the microphone: it
// records for N seconds (or until the limit stops it), stops, and inserts the clip, as a person
// pressing its buttons would. --png keeps the screen while it records.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "cmd_window_options.h"
#include "command.h"
#include "device_file.h"
#include "forms/recorder_dialog.h"
#include "json_writer.h"
#include "platform/automation/automation.h"
#include "platform/dialog/dialog_api.h"
#include "platform/kernel/clock.h"
#include "platform/registry/registry.h"
#include "platform/window/window_api.h"
#include "transport/mms_global.h"

namespace mmsform_tool {
namespace {

constexpr int kUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: mmsform recorder OUT.amr --from IN.wav --seconds N [--limit BYTES] [--png OUT.png] "
               "[--screen WxH@DPI]\n");
  return kUsage;
}

void SetMicrophone(const std::u16string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Audio", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (path.empty()) {
    RegDeleteValueW(key, u"Microphone");
  } else {
    RegSetValueExW(key, u"Microphone", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(char16_t)));
  }
  RegCloseKey(key);
}

int RunRecorderCommand(std::span<char* const> args) {
  if (args.empty()) return Usage();
  WindowDemoOptions options;
  std::filesystem::path from;
  int seconds = 0;
  int limit = 300 * 1024;
  for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
    const std::string option = args[i];
    if (option == "--from") {
      from = args[i + 1];
    } else if (option == "--seconds") {
      seconds = std::atoi(args[i + 1]);
    } else if (option == "--limit") {
      limit = std::atoi(args[i + 1]);
    } else if (option == "--png") {
      options.png = args[i + 1];
    } else if (option == "--screen") {
      options.screen = args[i + 1];
    } else {
      return Usage();
    }
  }
  if (args.size() % 2 == 0 || from.empty() || seconds < 1 || seconds > 3600) return Usage();
  std::error_code error;
  if (!std::filesystem::is_regular_file(from, error)) {
    std::fprintf(stderr, "mmsform recorder: %s: no such file\n", from.c_str());
    return 1;
  }
  if (!ApplyScreenOption(options)) {
    std::fprintf(stderr, "mmsform recorder: unsupported screen '%s'\n", options.screen.c_str());
    return kUsage;
  }
  platform::UseVirtualClock(true);
  DeviceInput microphone(from);
  SetMicrophone(microphone.path());
  DeviceOutput output(args[0], u"recorder");
  std::string shotError;
  bool shot = true;
  platform::automation::OnWindowAppears(u"Dialog", u"", [&](HWND dialog) {
    platform::automation::SendCommand(dialog, recorder::kCycle);
    for (int step = 0; step < seconds * 10 && IsWindow(dialog); ++step) platform::automation::AdvanceClock(100);
    if (!options.png.empty()) shot = platform::automation::Screenshot(options.png, &shotError);
    // The limit may have stopped the recording already; only a recording still running is stopped.
    if (!IsWindowEnabled(GetDlgItem(dialog, recorder::kInsert))) platform::automation::SendCommand(dialog, recorder::kCycle);
    // Nothing recorded (no engine for the record type, or no room in the limit): nothing to insert.
    const bool recorded = IsWindowEnabled(GetDlgItem(dialog, recorder::kInsert)) != FALSE;
    platform::automation::SendCommand(dialog, recorded ? recorder::kInsert : static_cast<WORD>(IDCANCEL));
  });
  const std::optional<CString> clip = RecordVoiceClip(nullptr, CString(output.path()), limit);
  platform::automation::Reset();
  SetMicrophone(u"");
  ULC_AudioEngine* audio = ULC_Global::GetGlobal()->InitAudioInstance();
  const int32_t duration = clip && audio ? Audio_GetAudioFileDuration(audio, clip->GetString()) : -1;
  ULC_Global::GetGlobal()->UnloadEngineModule();
  const bool moved = clip && output.MoveTo(args[0]);
  JsonWriter json;
  json.BeginObject().Key("file").String(args[0]).Key("inserted").Bool(clip.has_value()).Key("duration_ms").Int(duration);
  json.EndObject();
  std::printf("%s\n", json.Text().c_str());
  if (!shot) std::fprintf(stderr, "mmsform recorder: %s\n", shotError.c_str());
  return moved && shot ? 0 : 1;
}

const Command kRecorder("recorder",
                        "recorder OUT.amr --from IN.wav --seconds N [--limit BYTES] [--png OUT.png] [--screen WxH@DPI]   "
                        "the voice recorder, headless",
                        RunRecorderCommand);

}  // namespace
}  // namespace mmsform_tool
