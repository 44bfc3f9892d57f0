#include "mm1/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <cerrno>
#include <cstring>
#include <string>

namespace mm1 {
namespace {

namespace fs = std::filesystem;

// A folder of more entries than this is not searched for leftovers to the end.
constexpr std::size_t kMaxSiblingsWalked = 10000;

Error SystemError(std::string_view what, const std::filesystem::path& path) {
  return Error{std::string(what) + " " + path.string() + ": " + std::strerror(errno)};
}

// Removes PATH.tmp-PID-N files of writers that no longer run: what a killed write of the same file
// left behind.
void RemoveStaleSiblings(const std::filesystem::path& path) {
  std::string prefix = path.filename().string() + ".tmp-";
  std::error_code error;
  fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
  std::size_t walked = 0;
  for (auto entry = fs::directory_iterator(folder, error); !error && entry != fs::directory_iterator() && walked < kMaxSiblingsWalked;
       entry.increment(error), ++walked) {
    std::string name = entry->path().filename().string();
    if (!name.starts_with(prefix)) continue;
    std::string_view rest = std::string_view(name).substr(prefix.size());
    std::size_t dash = rest.find('-');
    long pid = 0;
    auto [end, status] = std::from_chars(rest.data(), rest.data() + (dash == std::string_view::npos ? 0 : dash), pid);
    if (dash == std::string_view::npos || status != std::errc() || pid <= 0 || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      fs::remove(entry->path(), ignored);
    }
  }
}

}  // namespace

UniqueFd::~UniqueFd() {
  if (m_fd >= 0) ::close(m_fd);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = other.Release();
  }
  return *this;
}

int UniqueFd::Release() {
  int fd = m_fd;
  m_fd = -1;
  return fd;
}

bool UniqueFd::Close() {
  if (m_fd < 0) return false;
  return ::close(Release()) == 0;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

Result<std::vector<std::uint8_t>> ReadWholeFile(const std::filesystem::path& path, std::size_t maxSize) {
  // Without blocking, so that a FIFO is refused below instead of waiting for a writer for ever.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.Valid()) return SystemError("cannot open", path);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) return SystemError("cannot stat", path);
  if (!S_ISREG(info.st_mode)) return Error{"not a regular file: " + path.string()};
  if (::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK) != 0) return SystemError("cannot read", path);
  if (static_cast<std::uint64_t>(info.st_size) > maxSize) return Error{"file too large: " + path.string()};
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t got = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return SystemError("cannot read", path);
    if (got == 0) break;  // the file shrank meanwhile
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return bytes;
}

Status WriteFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  static std::atomic<unsigned> counter{0};
  RemoveStaleSiblings(path);
  std::filesystem::path temporary = path;
  temporary += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644));
  if (!fd.Valid()) return SystemError("cannot create", temporary);
  bool written = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
  written = fd.Close() && written;
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    Error error = SystemError("cannot write", path);
    ::unlink(temporary.c_str());
    return error;
  }
  return {};
}

}  // namespace mm1
