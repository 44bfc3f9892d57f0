#include "composer_program.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "compose_session.h"
#include "forms/hand_over_file.h"
#include "model/device_file.h"
#include "platform/automation/automation.h"
#include "platform/kernel/activity_log.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/device.h"
#include "platform/kernel/temporary_files.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_api.h"
#include "platform/window/window_system.h"
#include "read_session.h"
#include "store_listing.h"

namespace mmsform_tool {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kTextMessageClass[] = u"IPM.SMStext";
// The hand-over file is a handful of short strings; anything near this size is not one.
constexpr std::size_t kMaxHandOverFileBytes = 16u << 20;

bool IsTextMessageClass(const CString& messageClass) {
  return messageClass.CompareNoCase(kTextMessageClass) == 0;
}

std::string Utf8(const CString& text) { return platform::Utf16ToUtf8(text.View()); }

// An empty record is a word the composer did not get: the opening tells a missing Bcc word from an
// empty one (a forward's send-option string is read only when that word is missing).
std::optional<std::u16string> WordOf(const CString& record) {
  if (record.IsEmpty()) return std::nullopt;
  return std::u16string(record.View());
}

void Report(const char* outcome, const std::string& detail) {
  std::printf("{\"composer\": \"%s\", \"detail\": \"%s\"}\n", outcome, detail.c_str());
  std::fflush(stdout);
}

// Opens the compose form on a new message in Drafts with the hand-over's strings and closes it
// keeping the message, as a person who leaves the composer at once would.
int ComposeFromHandOver(const HandOverStrings& strings) {
  OpenStore store;
  if (store.Get() == nullptr) {
    std::fprintf(stderr, "TyrMC.exe: %s\n", store.Error().c_str());
    return 1;
  }
  std::string error;
  ComPtr<IMessage> message = NewDraftMessage(store.Get(), &error);
  if (!message) {
    std::fprintf(stderr, "TyrMC.exe: %s\n", error.c_str());
    return 1;
  }
  ComposeRequest request;
  request.words[0] = WordOf(strings.to);
  request.words[2] = WordOf(strings.bcc);
  request.words[3] = WordOf(strings.subject);
  request.messageClass = strings.messageClass.View();

  platform::UseVirtualClock(true);
  HWND client = MakeClientWindow();
  int status = 1;
  {
    FormModule module;
    if (!module.Load()) {
      std::fprintf(stderr, "TyrMC.exe: the form module cannot be loaded\n");
      DestroyWindow(client);
      return 1;
    }
    ComposeSession session(module);
    const HRESULT hr = session.Open(message.Get(), request, {});
    if (FAILED(hr)) {
      std::fprintf(stderr, "TyrMC.exe: the compose form did not open (0x%08lx)\n", static_cast<unsigned long>(hr));
    } else {
      platform::automation::PumpUntilIdle();
      // A form that closed at once refused the hand-over and has said why.
      if (HWND frame = session.FrameWindow(); session.IsOpen() && frame != nullptr) {
        SendMessageW(frame, WM_COMMAND, IDOK, 0);
        platform::automation::PumpUntilIdle();
        status = session.IsOpen() ? 1 : 0;
      }
      session.Close();
    }
    platform::automation::PumpUntilIdle();
  }
  platform::automation::Reset();
  DestroyWindow(client);
  platform::window::ResetWindowSystem();
  const std::string detail = "to " + Utf8(strings.to) + ", subject " + Utf8(strings.subject) + ", class " +
                             Utf8(strings.messageClass) + (status == 0 ? ", kept in Drafts" : ", not kept");
  platform::RecordActivity("compose", detail);
  Report(status == 0 ? "kept" : "refused", detail);
  return status;
}

}  // namespace

void InstallComposerProgram() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) return;
  auto windows = platform::HostPath(u"\\windows");
  if (!windows || !fs::is_directory(*windows, error)) return;
  const fs::path target = *windows / std::string(kComposerProgramName);
  if (fs::read_symlink(target, error) == self) return;
  fs::path temporary = target;
  temporary += platform::TemporarySuffix();
  fs::create_symlink(self, temporary, error);
  if (!error) fs::rename(temporary, target, error);
  if (error) fs::remove(temporary, error);
}

int RunComposerProgram(std::span<char* const> args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: TyrMC.exe HAND_OVER_FILE\n");
    return 2;
  }
  const std::u16string path = platform::Utf8ToUtf16(args[0]);
  FileReadResult file = ReadDeviceFile(path, kMaxHandOverFileBytes);
  if (file.status != FileReadStatus::kOk) {
    std::fprintf(stderr, "TyrMC.exe: cannot read the hand-over file %s\n", args[0]);
    platform::RecordActivity("compose", std::string("unreadable hand-over file ") + args[0]);
    return 1;
  }
  const HandOverReading reading = ReadHandOverFile(file.bytes);
  if (!reading.strings) {
    std::fprintf(stderr, "TyrMC.exe: %s: %s at byte %zu\n", args[0], reading.error, reading.errorOffset);
    platform::RecordActivity("compose", std::string("damaged hand-over file ") + args[0]);
    return 1;
  }
  const HandOverStrings& strings = *reading.strings;
  if (IsTextMessageClass(strings.messageClass)) {
    const std::string detail = "text message to " + Utf8(strings.to) + ": " + Utf8(strings.body);
    platform::RecordActivity("compose", detail);
    Report("text message", detail);
    return 0;
  }
  return ComposeFromHandOver(strings);
}

}  // namespace mmsform_tool
