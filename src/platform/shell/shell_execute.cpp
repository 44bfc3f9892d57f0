#include "platform/shell/shell_execute.h"

#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <thread>

#include "platform/kernel/activity_log.h"
#include "platform/kernel/device.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/process.h"
#include "platform/pim/pim_import.h"
#include "platform/text/text_conversion.h"

extern char** environ;

namespace platform::shell {
namespace {

std::atomic<bool> g_desktopOpening{false};

constexpr DWORD kErrorBadFormat = 11;  // ERROR_BAD_FORMAT: a file the store cannot read

char16_t Fold(char16_t c) { return (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c + 32) : c; }

bool StartsWithNoCase(std::u16string_view text, std::u16string_view start) {
  if (text.size() < start.size()) return false;
  for (std::size_t i = 0; i < start.size(); ++i) {
    if (Fold(text[i]) != start[i]) return false;
  }
  return true;
}

bool EndsWithNoCase(std::u16string_view text, std::u16string_view end) {
  return text.size() >= end.size() && StartsWithNoCase(text.substr(text.size() - end.size()), end);
}

// A program of the device's "\windows\" folder, by its device path.
bool IsDeviceProgram(std::u16string_view file) {
  if (!EndsWithNoCase(file, u".exe")) return false;
  const std::size_t slash = file.find_last_of(u"\\/");
  if (slash == std::u16string_view::npos) return false;
  std::u16string folder(file.substr(0, slash + 1));
  for (char16_t& c : folder) c = c == '/' ? '\\' : Fold(c);
  return folder == u"\\windows\\";
}

void OpenOnDesktop(const std::string& address) {
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(address.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return;
  // A desktop opener may take its time; it is reaped off the UI thread so that it leaves no zombie.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

}  // namespace

void AllowDesktopOpening(bool allowed) { g_desktopOpening = allowed; }

}  // namespace platform::shell

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) {
  using namespace platform::shell;
  if (info == nullptr || info->cbSize != sizeof(SHELLEXECUTEINFO) || info->lpFile == nullptr || *info->lpFile == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    if (info != nullptr) info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0));
    return FALSE;
  }
  const std::u16string_view file(info->lpFile);
  const std::string fileUtf8 = platform::Utf16ToUtf8(file);
  const std::string verb = info->lpVerb ? platform::Utf16ToUtf8(info->lpVerb) : std::string("open");
  info->hProcess = nullptr;
  if (IsDeviceProgram(file)) {
    std::u16string parameters = info->lpParameters ? std::u16string(info->lpParameters) : std::u16string();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(info->lpFile, parameters.empty() ? nullptr : parameters.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, nullptr, &process)) {
      platform::RecordActivity("start failed", fileUtf8);
      return FALSE;
    }
    platform::RecordActivity("start", parameters.empty() ? fileUtf8 : fileUtf8 + " " + platform::Utf16ToUtf8(parameters));
    CloseHandle(process.hThread);
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS) {
      info->hProcess = process.hProcess;
    } else {
      CloseHandle(process.hProcess);
    }
  } else if (EndsWithNoCase(file, u".vcf") || EndsWithNoCase(file, u".vcs")) {
    // The contact store imports the file; a file it cannot read is refused with a clear line in
    // the log and a failure the caller can see.
    const platform::pim::PimImport import = platform::pim::ImportPimDeviceFile(file);
    if (!import.ok()) {
      platform::RecordActivity("import failed", fileUtf8 + ": " + import.error);
      SetLastError(kErrorBadFormat);
      info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0));
      return FALSE;
    }
    const std::size_t added = import.contacts.size() + import.appointments.size() + import.tasks.size();
    platform::RecordActivity("import", fileUtf8 + " (" + std::to_string(added) + (added == 1 ? " item)" : " items)"));
  } else {
    platform::RecordActivity(verb, fileUtf8);
    const bool web = StartsWithNoCase(file, u"http://") || StartsWithNoCase(file, u"https://") ||
                     StartsWithNoCase(file, u"mailto:");
    if (web && g_desktopOpening) OpenOnDesktop(fileUtf8);
  }
  info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(42));
  return TRUE;
}
