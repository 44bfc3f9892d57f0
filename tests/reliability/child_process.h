// The host program run as a real child process on a device folder, for the tests of several
// processes on one device, kills, full and read-only devices.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace reliability {

struct ChildResult {
  int exitCode = -1;  // -1 when it ended by a signal or was stopped at its time limit
  int signal = 0;
  bool timedOut = false;
  std::string out;
  std::string err;
};

// A running `mmsform ARGS` with MMSFORM_DEVICE set to the device; its output goes to files of the
// scratch folder. Killed (SIGKILL) and reaped when it goes out of scope still running.
class Child {
 public:
  Child(const std::filesystem::path& device, const std::vector<std::string>& args,
        const std::filesystem::path& scratch);
  // The same for another program than the host program.
  Child(const std::filesystem::path& program, const std::filesystem::path& device,
        const std::vector<std::string>& args, const std::filesystem::path& scratch);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool Started() const { return m_pid > 0; }
  pid_t Pid() const { return m_pid; }
  // Whether it has ended (without waiting).
  bool Ended();
  void Kill();
  // Waits for the end, at most `limit`; kills it past the limit.
  ChildResult Wait(std::chrono::milliseconds limit);

 private:
  pid_t m_pid = -1;
  bool m_reaped = false;
  int m_status = 0;
  std::filesystem::path m_out;
  std::filesystem::path m_err;
};

// Runs `mmsform ARGS` to its end (at most `limit`).
ChildResult RunTool(const std::filesystem::path& device, const std::vector<std::string>& args,
                    std::chrono::milliseconds limit = std::chrono::seconds(60));

// The host program under test.
std::filesystem::path ToolPath();

// A fresh scratch folder of the test, removed with it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

std::string ReadBytes(const std::filesystem::path& file);

// The entry identifiers listed by `mmsform store list --json` output, in order.
std::vector<std::string> ListedIds(const std::string& listJson);

}  // namespace reliability
