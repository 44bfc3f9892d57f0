#include "platform/kernel/process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/internal/kernel_object.h"
#include "platform/kernel/device.h"
#include "platform/kernel/last_error.h"
#include "platform/text/text_conversion.h"

extern char** environ;

namespace {

// The handle of a started process. Closing it collects the process when it has ended, so that no
// finished child lingers.
class ProcessObject : public platform::internal::KernelObject {
 public:
  explicit ProcessObject(pid_t pid) : m_pid(pid) {}
  ~ProcessObject() override { waitpid(m_pid, nullptr, WNOHANG); }

 private:
  pid_t m_pid;
};

class ThreadObject : public platform::internal::KernelObject {};

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

std::vector<std::string> ChildEnvironment() {
  std::vector<std::string> variables;
  for (char** entry = environ; entry && *entry; ++entry) {
    if (std::string_view(*entry).starts_with("MMSFORM_DEVICE=")) continue;
    variables.emplace_back(*entry);
  }
  variables.push_back("MMSFORM_DEVICE=" + platform::DeviceRoot().string());
  return variables;
}

}  // namespace

BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, SECURITY_ATTRIBUTES*, SECURITY_ATTRIBUTES*, BOOL,
                    DWORD, LPVOID, LPCWSTR, LPVOID, PROCESS_INFORMATION* processInformation) {
  if (applicationName == nullptr || *applicationName == 0) return Fail(ERROR_INVALID_PARAMETER);
  auto program = platform::HostPath(applicationName);
  struct stat status {};
  if (!program || stat(program->c_str(), &status) != 0) return Fail(ERROR_FILE_NOT_FOUND);
  if (!S_ISREG(status.st_mode) || access(program->c_str(), X_OK) != 0) return Fail(ERROR_ACCESS_DENIED);

  std::string path = program->string();
  std::string argument = commandLine ? platform::Utf16ToUtf8(commandLine) : std::string();
  std::vector<char*> argv{path.data()};
  if (!argument.empty()) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::vector<std::string> variables = ChildEnvironment();
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);

  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) {
    return Fail(ERROR_ACCESS_DENIED);
  }
  if (processInformation != nullptr) {
    processInformation->hProcess = platform::internal::RegisterKernelObject(new ProcessObject(pid));
    processInformation->hThread = platform::internal::RegisterKernelObject(new ThreadObject());
    processInformation->dwProcessId = static_cast<DWORD>(pid);
    processInformation->dwThreadId = static_cast<DWORD>(pid);
  }
  return TRUE;
}
