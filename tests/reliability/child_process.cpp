#include "reliability/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace reliability {
namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> g_children{0};

ChildResult Finish(int status, bool timedOut, const fs::path& out, const fs::path& err) {
  ChildResult result;
  result.timedOut = timedOut;
  if (WIFEXITED(status) && !timedOut) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.out = ReadBytes(out);
  result.err = ReadBytes(err);
  return result;
}

}  // namespace

fs::path ToolPath() { return MMSFORM_TOOL; }

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Child::Child(const fs::path& device, const std::vector<std::string>& args, const fs::path& scratch)
    : Child(ToolPath(), device, args, scratch) {}

Child::Child(const fs::path& programPath, const fs::path& device, const std::vector<std::string>& args,
             const fs::path& scratch) {
  unsigned number = g_children++;
  m_out = scratch / ("child-" + std::to_string(::getpid()) + "-" + std::to_string(number) + ".out");
  m_err = m_out;
  m_err.replace_extension(".err");
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, "MMSFORM_DEVICE=", 15) != 0) environment.emplace_back(*entry);
  }
  environment.push_back("MMSFORM_DEVICE=" + device.string());
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::string program = programPath.string();
  std::vector<std::string> argStrings{program};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) m_pid = -1;
  posix_spawn_file_actions_destroy(&actions);
}

Child::~Child() {
  if (m_pid > 0 && !m_reaped) {
    Kill();
    ::waitpid(m_pid, &m_status, 0);
  }
  std::error_code ignored;
  fs::remove(m_out, ignored);
  fs::remove(m_err, ignored);
}

bool Child::Ended() {
  if (m_pid <= 0 || m_reaped) return true;
  if (::waitpid(m_pid, &m_status, WNOHANG) == m_pid) m_reaped = true;
  return m_reaped;
}

void Child::Kill() {
  if (m_pid > 0 && !m_reaped) ::kill(m_pid, SIGKILL);
}

ChildResult Child::Wait(std::chrono::milliseconds limit) {
  if (m_pid <= 0) return ChildResult{};
  auto deadline = std::chrono::steady_clock::now() + limit;
  bool timedOut = false;
  while (!Ended()) {
    if (std::chrono::steady_clock::now() > deadline) {
      timedOut = true;
      Kill();
      ::waitpid(m_pid, &m_status, 0);
      m_reaped = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return Finish(m_status, timedOut, m_out, m_err);
}

ChildResult RunTool(const fs::path& device, const std::vector<std::string>& args, std::chrono::milliseconds limit) {
  ScratchFolder scratch;
  Child child(device, args, scratch.path());
  return child.Wait(limit);
}

ScratchFolder::ScratchFolder() {
  std::string pattern = (fs::temp_directory_path() / "mmsform-reliability-XXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!m_path.empty()) fs::remove_all(m_path, ignored);
}

std::vector<std::string> ListedIds(const std::string& listJson) {
  std::vector<std::string> ids;
  const std::string key = "\"entry_id\":\"";
  for (std::size_t at = listJson.find(key); at != std::string::npos; at = listJson.find(key, at)) {
    at += key.size();
    std::size_t end = listJson.find('"', at);
    if (end == std::string::npos) break;
    ids.push_back(listJson.substr(at, end - at));
  }
  return ids;
}

}  // namespace reliability
