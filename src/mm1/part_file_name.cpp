#include "mm1/part_file_name.h"

#include "mm1/charsets.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mm1 {
namespace {

constexpr std::size_t kMaxExtensionBytes = 16;
constexpr unsigned kMaxNameAttempts = 10000;

bool IsReserved(unsigned char c) {
  return c < 0x20 || c == 0x7F || std::strchr("<>:\"|?*", c) != nullptr;
}

std::string LastComponent(std::string_view name) {
  std::size_t slash = name.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

std::string CleanCharacters(std::string_view name) {
  std::string clean;
  std::size_t i = 0;
  while (i < name.size()) {
    std::size_t length = Utf8SequenceLength(name, i);
    if (length == 0 || (length == 1 && IsReserved(static_cast<unsigned char>(name[i])))) {
      clean += '_';
      i += length == 0 ? 1 : length;
      continue;
    }
    clean.append(name.substr(i, length));
    i += length;
  }
  return clean;
}

// Cuts at a character boundary so that the result stays valid UTF-8.
std::string CutUtf8(std::string_view text, std::size_t maxBytes) {
  std::size_t end = std::min(maxBytes, text.size());
  while (end > 0 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end));
}

std::string BoundLength(const std::string& name) {
  if (name.size() <= kMaxPartNameBytes) return name;
  std::size_t dot = name.rfind('.');
  std::string extension;
  if (dot != std::string::npos && dot > 0 && name.size() - dot <= kMaxExtensionBytes) extension = name.substr(dot);
  return CutUtf8(name, kMaxPartNameBytes - extension.size()) + extension;
}

// Case folding for uniqueness: ASCII letters and the Latin-1 letters of UTF-8 (C3 80..9E), as the
// device compares names.
std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    auto c = static_cast<unsigned char>(folded[i]);
    if (c >= 'A' && c <= 'Z') folded[i] = static_cast<char>(c + 32);
    if (c == 0xC3 && i + 1 < folded.size()) {
      auto next = static_cast<unsigned char>(folded[i + 1]);
      if (next >= 0x80 && next <= 0x9E && next != 0x97) folded[i + 1] = static_cast<char>(next + 32);
      ++i;
    }
  }
  return folded;
}

std::string NumberedName(const std::string& name, unsigned number) {
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) dot = name.size();
  return name.substr(0, dot) + std::to_string(number) + name.substr(dot);
}

}  // namespace

std::string SafePartFileName(std::string_view name) {
  std::string clean = CleanCharacters(LastComponent(name));
  std::size_t first = clean.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  clean.erase(0, first);
  // Trailing blanks and dots go before and after the name is cut to length, since the cut can leave
  // new ones at the end: the result must come out the same when cleaned again.
  auto trimEnd = [](std::string& text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
  };
  trimEnd(clean);
  std::string bounded = BoundLength(clean);
  trimEnd(bounded);
  if (bounded.find_first_not_of('.') == std::string::npos) return {};
  return bounded;
}

Result<PartFolder> PartFolder::Open(const std::filesystem::path& folder) {
  UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.Valid()) return Error{"cannot open the part folder " + folder.string() + ": " + std::strerror(errno)};
  return PartFolder(folder, std::move(fd));
}

bool PartFolder::TryWrite(const std::string& name, std::span<const std::uint8_t> data, int* error) {
  UniqueFd file(::openat(m_fd.Get(), name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
  if (!file.Valid()) {
    *error = errno;
    return false;
  }
  bool written = WriteAll(file.Get(), data);
  *error = errno;
  if (!file.Close() || !written) {
    ::unlinkat(m_fd.Get(), name.c_str(), 0);
    *error = written ? EIO : *error;
    return false;
  }
  return true;
}

Result<std::string> PartFolder::WriteUnique(const std::string& safeName, std::span<const std::uint8_t> data) {
  if (safeName.empty() || safeName != SafePartFileName(safeName)) return Error{"unsafe part file name"};
  for (unsigned attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    std::string name = attempt == 0 ? safeName : NumberedName(safeName, attempt);
    if (name.size() > kMaxPartNameBytes + 8 || !m_taken.insert(FoldName(name)).second) continue;
    int error = 0;
    if (TryWrite(name, data, &error)) return name;
    // A link, a folder or another non-file of that name: leave it alone and take the next name.
    if (error != ELOOP && error != EISDIR && error != ETXTBSY && error != EACCES) {
      return Error{"cannot write part file " + name + ": " + std::strerror(error)};
    }
  }
  return Error{"no free name for part file " + safeName};
}

void PartFolder::Reserve(const std::string& name) { m_taken.insert(FoldName(name)); }

Status PartFolder::WriteExact(const std::string& safeName, std::span<const std::uint8_t> data) {
  if (safeName.empty() || safeName != SafePartFileName(safeName)) return Error{"unsafe part file name"};
  m_taken.insert(FoldName(safeName));
  int error = 0;
  if (!TryWrite(safeName, data, &error)) return Error{"cannot write " + safeName + ": " + std::strerror(error)};
  return {};
}

}  // namespace mm1
