#include "platform/kernel/lent_files.h"

#include <atomic>
#include <map>
#include <mutex>

#include "platform/text/text_conversion.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

struct Loans {
  std::mutex lock;
  std::map<std::u16string, fs::path> hostByKey;
};

Loans& TheLoans() {
  static Loans loans;
  return loans;
}

// One spelling per path: "\" separators, no empty components, folded case.
std::u16string KeyOf(std::u16string_view devicePath) {
  std::u16string key;
  for (std::size_t start = 0; start <= devicePath.size();) {
    std::size_t end = devicePath.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = devicePath.size();
    if (end > start) key += u'\\' + FoldCase(devicePath.substr(start, end - start));
    start = end + 1;
  }
  return key;
}

}  // namespace

LentFile::LentFile(const fs::path& host) {
  static std::atomic<unsigned> next{0};
  std::error_code error;
  fs::path absolute = fs::absolute(host, error);
  if (error) absolute = host;
  m_devicePath = u"\\Host\\" + Utf8ToUtf16(std::to_string(++next)) + u"\\" + Utf8ToUtf16(absolute.filename().string());
  Loans& loans = TheLoans();
  std::lock_guard guard(loans.lock);
  loans.hostByKey[KeyOf(m_devicePath)] = absolute;
}

LentFile::~LentFile() {
  Loans& loans = TheLoans();
  std::lock_guard guard(loans.lock);
  loans.hostByKey.erase(KeyOf(m_devicePath));
}

std::optional<fs::path> LentHostPath(std::u16string_view devicePath) {
  Loans& loans = TheLoans();
  std::lock_guard guard(loans.lock);
  if (loans.hostByKey.empty()) return std::nullopt;
  auto found = loans.hostByKey.find(KeyOf(devicePath));
  if (found == loans.hostByKey.end()) return std::nullopt;
  return found->second;
}

}  // namespace platform
