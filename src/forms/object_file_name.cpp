#include "forms/object_file_name.h"

#include <string>

namespace {

constexpr std::u16string_view kForbidden = u"\\/:*?\"<>|";
constexpr std::u16string_view kFallbackName = u"object";

bool IsControl(char16_t c) { return c < 0x20 || c == 0x7F; }

}  // namespace

bool IsPlainFileName(std::u16string_view name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (IsControl(c) || kForbidden.find(c) != std::u16string_view::npos) return false;
  }
  return true;
}

CString SafeObjectName(std::u16string_view name) {
  const std::size_t slash = name.find_last_of(u"\\/");
  if (slash != std::u16string_view::npos) name.remove_prefix(slash + 1);
  std::u16string safe;
  safe.reserve(name.size());
  for (char16_t c : name) safe += IsControl(c) || kForbidden.find(c) != std::u16string_view::npos ? u'_' : c;
  // A name of dots alone would be the folder itself or its parent; trailing dots and spaces are
  // dropped by the file system and would make two names one.
  const std::size_t first = safe.find_first_not_of(u'.');
  safe.erase(0, first == std::u16string::npos ? safe.size() : first);
  while (!safe.empty() && (safe.back() == u'.' || safe.back() == u' ')) safe.pop_back();
  return CString(safe.empty() ? kFallbackName : std::u16string_view(safe));
}
