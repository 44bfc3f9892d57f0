#include "platform/kernel/file_api.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/internal/file_object.h"
#include "platform/internal/kernel_object.h"
#include "platform/kernel/device.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/lent_files.h"
#include "platform/kernel/write_limit.h"
#include "platform/text/text_conversion.h"

namespace {

namespace fs = std::filesystem;
using platform::internal::FileObject;
using platform::internal::KernelObject;

std::atomic<long long> g_reportedFreeSpace{-1};

// A file of the host's file system.
class OpenFile : public platform::internal::FileObject {
 public:
  explicit OpenFile(int fd) : m_fd(fd) {}
  ~OpenFile() override { ::close(m_fd); }

  bool Read(void* buffer, DWORD size, DWORD* read, DWORD* error) override {
    DWORD total = 0;
    while (total < size) {
      ssize_t count = ::read(m_fd, static_cast<char*>(buffer) + total, size - total);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) {
        *read = total;
        *error = errno == EBADF ? ERROR_ACCESS_DENIED : ERROR_READ_FAULT;
        return false;
      }
      if (count == 0) break;
      total += static_cast<DWORD>(count);
    }
    *read = total;
    return true;
  }

  bool Write(const void* buffer, DWORD size, DWORD* written, DWORD* error) override {
    DWORD total = 0;
    while (total < size) {
      ssize_t count = ::write(m_fd, static_cast<const char*>(buffer) + total, size - total);
      if (count < 0 && errno == EINTR) continue;
      if (count <= 0) {
        *written = total;
        *error = errno == ENOSPC || errno == EDQUOT ? ERROR_DISK_FULL
                 : errno == EBADF                   ? ERROR_ACCESS_DENIED
                                                    : ERROR_WRITE_FAULT;
        return false;
      }
      total += static_cast<DWORD>(count);
    }
    *written = total;
    return true;
  }

  long long Seek(long long offset, int origin) override { return ::lseek(m_fd, offset, origin); }

  long long Size() override {
    struct stat info {};
    return ::fstat(m_fd, &info) == 0 ? static_cast<long long>(info.st_size) : -1;
  }

  bool Truncate() override {
    off_t position = ::lseek(m_fd, 0, SEEK_CUR);
    return position >= 0 && ::ftruncate(m_fd, position) == 0;
  }

  bool Flush() override { return ::fsync(m_fd) == 0; }

 private:
  int m_fd;
};

class FindSearch : public KernelObject {
 public:
  std::vector<WIN32_FIND_DATAW> matches;
  std::size_t next = 0;
};

DWORD ErrorFromErrno(int error, const fs::path& path) {
  switch (error) {
    case ENOENT: {
      std::error_code ignored;
      return fs::is_directory(path.parent_path(), ignored) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG: return ERROR_INVALID_NAME;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_INVALID_FUNCTION;
  }
}

// The host path of a device path, or nothing with the last error set.
std::optional<fs::path> Host(LPCWSTR path) {
  if (path == nullptr || *path == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return std::nullopt;
  }
  auto host = platform::HostPath(path);
  if (!host) SetLastError(ERROR_BAD_PATHNAME);
  return host;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// The host path of a device path that is about to be created, changed, moved or deleted: a host file
// lent to the device is only read.
std::optional<fs::path> Changeable(LPCWSTR path) {
  if (path != nullptr && platform::LentHostPath(path)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return std::nullopt;
  }
  return Host(path);
}

// The device refuses a new entry in a folder marked read-only, whoever runs the process; the host
// would let its superuser write there, so the mark (the folder's owner write bit) is checked here.
bool InReadOnlyFolder(const fs::path& host) {
  struct stat info {};
  const fs::path folder = host.parent_path();
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_IWUSR) == 0;
}

bool Absent(const fs::path& host) {
  struct stat info {};
  return ::lstat(host.c_str(), &info) != 0 && errno == ENOENT;
}

FILETIME FileTimeOf(const struct timespec& time) {
  // 100-nanosecond intervals since 1601-01-01.
  constexpr std::uint64_t kEpochDifference = 116444736000000000ULL;
  std::uint64_t ticks = kEpochDifference + static_cast<std::uint64_t>(time.tv_sec) * 10000000ULL +
                        static_cast<std::uint64_t>(time.tv_nsec) / 100;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

DWORD AttributesOf(const struct stat& info) {
  DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if ((info.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

// "*" any run, "?" one character, letters without regard to case.
bool MatchesPattern(std::u16string_view name, std::u16string_view pattern) {
  std::size_t n = 0, p = 0, starP = std::u16string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || platform::FoldCase(pattern[p]) == platform::FoldCase(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

bool FillFindData(const fs::path& path, WIN32_FIND_DATAW* data) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return false;
  std::u16string name = platform::Utf8ToUtf16(path.filename().string());
  if (name.size() >= MAX_PATH) return false;
  std::memset(data, 0, sizeof *data);
  data->dwFileAttributes = AttributesOf(info);
  data->ftCreationTime = FileTimeOf(info.st_ctim);
  data->ftLastAccessTime = FileTimeOf(info.st_atim);
  data->ftLastWriteTime = FileTimeOf(info.st_mtim);
  std::uint64_t size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
  data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(size);
  data->dwOID = static_cast<DWORD>(info.st_ino);
  std::copy(name.begin(), name.end(), data->cFileName);
  return true;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD, SECURITY_ATTRIBUTES*, DWORD creationDisposition, DWORD,
                   HANDLE) {
  bool changes = (access & GENERIC_WRITE) != 0 || creationDisposition != OPEN_EXISTING;
  auto host = changes ? Changeable(path) : Host(path);
  if (!host) return INVALID_HANDLE_VALUE;
  int flags = O_CLOEXEC;
  bool reads = access & GENERIC_READ, writes = access & GENERIC_WRITE;
  flags |= reads && writes ? O_RDWR : (writes ? O_WRONLY : O_RDONLY);
  switch (creationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_HANDLE_VALUE;
  }
  std::error_code ignored;
  bool existed = fs::exists(*host, ignored);
  bool creates = creationDisposition == CREATE_NEW || creationDisposition == CREATE_ALWAYS ||
                 creationDisposition == OPEN_ALWAYS;
  if (fs::is_directory(*host, ignored) || (creates && Absent(*host) && InReadOnlyFolder(*host))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  // Without blocking: opening a FIFO or a device for reading would wait for ever for a writer.
  int fd = ::open(host->c_str(), flags | O_NONBLOCK, 0644);
  if (fd < 0) {
    DWORD error = ErrorFromErrno(errno, *host);
    SetLastError(error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : error);
    return INVALID_HANDLE_VALUE;
  }
  // Only plain files are files here; the rest (FIFOs, sockets, devices) is refused.
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  bool reportsExisting = existed && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
  SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return platform::internal::RegisterKernelObject(new OpenFile(fd));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, DWORD* bytesRead, OVERLAPPED*) {
  auto* open = platform::internal::LookUp<FileObject>(file);
  if (bytesRead) *bytesRead = 0;
  if (open == nullptr) return Fail(ERROR_INVALID_HANDLE);
  if (buffer == nullptr && bytesToRead != 0) return Fail(ERROR_INVALID_PARAMETER);
  DWORD read = 0, error = ERROR_SUCCESS;
  bool ok = open->Read(buffer, bytesToRead, &read, &error);
  if (bytesRead) *bytesRead = read;
  return ok ? TRUE : Fail(error);
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, DWORD* bytesWritten, OVERLAPPED*) {
  auto* open = platform::internal::LookUp<FileObject>(file);
  if (bytesWritten) *bytesWritten = 0;
  if (open == nullptr) return Fail(ERROR_INVALID_HANDLE);
  if (buffer == nullptr && bytesToWrite != 0) return Fail(ERROR_INVALID_PARAMETER);
  DWORD written = 0, error = ERROR_SUCCESS;
  // Under the test switch for full storage only what fits is written, and the rest fails.
  const auto allowed = static_cast<DWORD>(platform::internal::TakeWriteBudget(bytesToWrite));
  bool ok = open->Write(buffer, allowed, &written, &error);
  if (ok && allowed < bytesToWrite) {
    ok = false;
    error = ERROR_DISK_FULL;
  }
  if (bytesWritten) *bytesWritten = written;
  return ok ? TRUE : Fail(error);
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD moveMethod) {
  auto* open = platform::internal::LookUp<FileObject>(file);
  if (open == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
  }
  long long offset = distanceHigh ? static_cast<long long>((static_cast<std::uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                                           static_cast<DWORD>(distance))
                                  : static_cast<long long>(distance);
  int whence = moveMethod == FILE_CURRENT ? SEEK_CUR : moveMethod == FILE_END ? SEEK_END : SEEK_SET;
  long long position = open->Seek(offset, whence);
  if (position < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(position) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(position);
}

BOOL SetEndOfFile(HANDLE file) {
  auto* open = platform::internal::LookUp<FileObject>(file);
  if (open == nullptr) return Fail(ERROR_INVALID_HANDLE);
  return open->Truncate() ? TRUE : Fail(ERROR_ACCESS_DENIED);
}

BOOL FlushFileBuffers(HANDLE file) {
  auto* open = platform::internal::LookUp<FileObject>(file);
  if (open == nullptr) return Fail(ERROR_INVALID_HANDLE);
  return open->Flush() ? TRUE : Fail(ERROR_WRITE_FAULT);
}

DWORD GetFileSize(HANDLE file, DWORD* sizeHigh) {
  auto* open = platform::internal::LookUp<FileObject>(file);
  long long size = open ? open->Size() : -1;
  if (size < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(size) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

BOOL CloseHandle(HANDLE handle) {
  if (platform::internal::LookUp<FindSearch>(handle) != nullptr) return Fail(ERROR_INVALID_HANDLE);
  return platform::internal::CloseKernelObject(handle) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* data) {
  if (pattern == nullptr || data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::u16string_view full(pattern);
  std::size_t split = full.find_last_of(u"\\/");
  std::u16string folder(split == std::u16string_view::npos ? u"" : full.substr(0, split));
  std::u16string_view namePattern = split == std::u16string_view::npos ? full : full.substr(split + 1);
  auto host = platform::HostPath(folder);
  std::error_code error;
  if (!host || !fs::is_directory(*host, error)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto search = std::make_unique<FindSearch>();
  for (const auto& entry : fs::directory_iterator(*host, error)) {
    std::u16string name = platform::Utf8ToUtf16(entry.path().filename().string());
    WIN32_FIND_DATAW found;
    if (MatchesPattern(name, namePattern) && FillFindData(entry.path(), &found)) search->matches.push_back(found);
  }
  if (search->matches.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::sort(search->matches.begin(), search->matches.end(), [](const auto& a, const auto& b) {
    return std::u16string_view(a.cFileName) < std::u16string_view(b.cFileName);
  });
  *data = search->matches[0];
  search->next = 1;
  return platform::internal::RegisterKernelObject(search.release());
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* data) {
  auto* search = platform::internal::LookUp<FindSearch>(find);
  if (search == nullptr || data == nullptr) return Fail(ERROR_INVALID_HANDLE);
  if (search->next >= search->matches.size()) return Fail(ERROR_NO_MORE_FILES);
  *data = search->matches[search->next++];
  return TRUE;
}

BOOL FindClose(HANDLE find) {
  if (platform::internal::LookUp<FindSearch>(find) == nullptr) return Fail(ERROR_INVALID_HANDLE);
  platform::internal::CloseKernelObject(find);
  return TRUE;
}

BOOL CopyFileW(LPCWSTR existing, LPCWSTR newPath, BOOL failIfExists) {
  auto from = Host(existing);
  auto to = Changeable(newPath);
  if (!from || !to) return FALSE;
  std::error_code error;
  if (!fs::is_regular_file(*from, error)) return Fail(ErrorFromErrno(ENOENT, *from));
  if (fs::exists(*to, error) && failIfExists) return Fail(ERROR_FILE_EXISTS);
  if (fs::is_directory(*to, error) || (Absent(*to) && InReadOnlyFolder(*to))) return Fail(ERROR_ACCESS_DENIED);
  // Under the test switch for full storage a copy that does not fit fails whole, as the device's
  // copy removes what it had written; the bytes that fitted are used up.
  const std::uintmax_t size = fs::file_size(*from, error);
  if (!error && platform::internal::TakeWriteBudget(size) < size) return Fail(ERROR_DISK_FULL);
  fs::copy_file(*from, *to, fs::copy_options::overwrite_existing, error);
  if (error) return Fail(ErrorFromErrno(error.value(), *to));
  return TRUE;
}

BOOL MoveFileW(LPCWSTR existing, LPCWSTR newPath) { return MoveFileExW(existing, newPath, 0); }

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR newPath, DWORD flags) {
  auto from = Changeable(existing);
  auto to = Changeable(newPath);
  if (!from || !to) return FALSE;
  std::error_code error;
  if (!fs::exists(*from, error)) return Fail(ErrorFromErrno(ENOENT, *from));
  bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
  if (fs::exists(*to, error) && (!replace || fs::is_directory(*to, error))) return Fail(ERROR_ALREADY_EXISTS);
  // A rename within one folder or into another writes the folder that receives the name.
  if (InReadOnlyFolder(*to)) return Fail(ERROR_ACCESS_DENIED);
  if (::rename(from->c_str(), to->c_str()) != 0) return Fail(ErrorFromErrno(errno, *to));
  return TRUE;
}

BOOL DeleteFileW(LPCWSTR path) {
  auto host = Changeable(path);
  if (!host) return FALSE;
  std::error_code error;
  if (fs::is_directory(*host, error)) return Fail(ERROR_ACCESS_DENIED);
  if (::unlink(host->c_str()) != 0) return Fail(ErrorFromErrno(errno, *host));
  return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR path, SECURITY_ATTRIBUTES*) {
  auto host = Changeable(path);
  if (!host) return FALSE;
  if (Absent(*host) && InReadOnlyFolder(*host)) return Fail(ERROR_ACCESS_DENIED);
  if (::mkdir(host->c_str(), 0755) != 0) return Fail(ErrorFromErrno(errno, *host));
  return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR path) {
  auto host = Changeable(path);
  if (!host) return FALSE;
  if (::rmdir(host->c_str()) != 0) return Fail(ErrorFromErrno(errno, *host));
  return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR path) {
  auto host = Host(path);
  struct stat info {};
  if (!host) return INVALID_FILE_ATTRIBUTES;
  if (::stat(host->c_str(), &info) != 0) {
    SetLastError(ErrorFromErrno(errno, *host));
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesOf(info);
}

BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes) {
  auto host = Changeable(path);
  struct stat info {};
  if (!host) return FALSE;
  if (::stat(host->c_str(), &info) != 0) return Fail(ErrorFromErrno(errno, *host));
  // Only the read-only mark has a meaning on the host's file system; the others are accepted.
  mode_t mode = info.st_mode & 07777;
  mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~0222) : (mode | S_IWUSR);
  if (::chmod(host->c_str(), mode) != 0) return Fail(ErrorFromErrno(errno, *host));
  return TRUE;
}

BOOL GetDiskFreeSpaceExW(LPCWSTR path, ULARGE_INTEGER* freeToCaller, ULARGE_INTEGER* total,
                         ULARGE_INTEGER* totalFree) {
  fs::path host = platform::DeviceRoot();
  if (path != nullptr && *path != 0) {
    auto mapped = Host(path);
    if (!mapped) return FALSE;
    host = *mapped;
  }
  std::error_code error;
  while (!fs::exists(host, error) && host.has_parent_path() && host != host.parent_path()) host = host.parent_path();
  struct statvfs info {};
  if (::statvfs(host.c_str(), &info) != 0) return Fail(ERROR_PATH_NOT_FOUND);
  std::uint64_t available = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  std::uint64_t free = static_cast<std::uint64_t>(info.f_bfree) * info.f_frsize;
  std::uint64_t size = static_cast<std::uint64_t>(info.f_blocks) * info.f_frsize;
  if (long long reported = g_reportedFreeSpace.load(); reported >= 0) {
    available = free = static_cast<std::uint64_t>(reported);
  } else if (long long budget = platform::DeviceWriteBudget(); budget >= 0) {
    available = free = std::min(available, static_cast<std::uint64_t>(budget));
  }
  if (freeToCaller) freeToCaller->QuadPart = available;
  if (total) total->QuadPart = size;
  if (totalFree) totalFree->QuadPart = free;
  return TRUE;
}

DWORD GetTempPathW(DWORD bufferLength, LPWSTR buffer) {
  static constexpr std::u16string_view kTemp = u"\\Temp\\";
  CreateDirectoryW(u"\\Temp", nullptr);
  if (buffer == nullptr || bufferLength <= kTemp.size()) return static_cast<DWORD>(kTemp.size() + 1);
  std::copy(kTemp.begin(), kTemp.end(), buffer);
  buffer[kTemp.size()] = 0;
  return static_cast<DWORD>(kTemp.size());
}

namespace platform {

void SetReportedFreeSpace(long long bytes) { g_reportedFreeSpace = bytes; }

}  // namespace platform
