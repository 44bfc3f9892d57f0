#include "forms/object_file_name.h"

#include <string>

namespace {

constexpr std::u16string_view kForbidden = u"\\/:*?\"<>|";
constexpr std::u16string_view kFallbackName = u"object";
// Room for the folder, a numbered name's "_NNN" and the temporary suffix within a device path.
constexpr std::size_t kMaxNameLength = 128;
// An extension longer than this is no extension worth keeping whole when a name is cut.
constexpr std::size_t kMaxKeptExtension = 16;

bool IsControl(char16_t c) { return c < 0x20 || c == 0x7F; }

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 open a device instead of a file, whatever
// extension follows them.
bool IsDeviceName(std::u16string_view name) {
  const std::u16string_view stem = name.substr(0, name.find(u'.'));
  std::u16string upper;
  for (char16_t c : stem) upper += Upper(c);
  while (!upper.empty() && upper.back() == u' ') upper.pop_back();
  if (upper == u"CON" || upper == u"PRN" || upper == u"AUX" || upper == u"NUL") return true;
  return upper.size() == 4 && (upper.starts_with(u"COM") || upper.starts_with(u"LPT")) && upper[3] >= u'1' &&
         upper[3] <= u'9';
}

// The name cut to kMaxNameLength, its extension kept, never between the halves of a surrogate pair.
void Shorten(std::u16string* name) {
  if (name->size() <= kMaxNameLength) return;
  const std::size_t dot = name->rfind(u'.');
  std::u16string extension;
  if (dot != std::u16string::npos && dot > 0 && name->size() - dot <= kMaxKeptExtension) extension = name->substr(dot);
  std::size_t keep = kMaxNameLength - extension.size();
  if (keep > 0 && (*name)[keep - 1] >= 0xD800 && (*name)[keep - 1] <= 0xDBFF) --keep;
  name->resize(keep);
  while (!name->empty() && (name->back() == u'.' || name->back() == u' ')) name->pop_back();
  *name += extension;
}

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
  if (safe.empty()) return CString(kFallbackName);
  Shorten(&safe);
  if (IsDeviceName(safe)) safe.insert(0, 1, u'_');
  return CString(safe);
}
