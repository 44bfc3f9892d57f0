#include "device/internet_shortcut.h"

#include <cstdio>
#include <string>

#include "device/link_words.h"
#include "platform/kernel/activity_log.h"
#include "platform/kernel/file_api.h"
#include "platform/registry/registry.h"
#include "platform/text/wide_stdio.h"

namespace {

constexpr const WCHAR* kFavoritesKey = u"\\Software\\Microsoft\\Internet Explorer\\Main\\FavoritesEntries";
constexpr std::size_t kMaxShortcutBytes = 64 * 1024;

std::u16string TrimmedAddress(std::u16string_view address) {
  while (!address.empty() && link_words::IsWordDelimiter(address.front())) address.remove_prefix(1);
  while (!address.empty() && link_words::IsWordDelimiter(address.back())) address.remove_suffix(1);
  return std::u16string(address);
}

// The file's text: UTF-16LE when it starts with FF FE or has a zero second byte, else 8-bit.
std::u16string DecodeShortcut(const std::string& bytes) {
  std::u16string text;
  const bool mark = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                    static_cast<unsigned char>(bytes[1]) == 0xFE;
  if (mark || (bytes.size() >= 2 && bytes[1] == 0)) {
    for (std::size_t i = mark ? 2 : 0; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
  } else {
    for (char c : bytes) text.push_back(static_cast<unsigned char>(c));
  }
  return text;
}

bool IsSpace(char16_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

BOOL WriteInternetShortcut(LPCWSTR filePath, LPCWSTR address) {
  if (filePath == nullptr || *filePath == 0) return FALSE;
  const std::u16string temporary = std::u16string(filePath) + u".tmp";
  FILE* file = _wfopen(temporary.c_str(), u"w");
  if (file == nullptr) return FALSE;
  std::u16string text = u"[InternetShortcut]\r\n";
  const std::u16string trimmed = TrimmedAddress(address ? address : u"");
  if (trimmed.empty()) {
    text += u"URL=http:///\r\n";
  } else {
    // An address that names its own scheme keeps it: "http://" in front of "https://..." or
    // "rtsp://..." would make a shortcut that leads nowhere.
    const bool keep = link_words::MatchScheme(trimmed, 0, trimmed.size()) != 0;
    text += (keep ? u"URL=" : u"URL=http://") + trimmed + u"\r\n";
  }
  const bool written = fputws(text.c_str(), file) >= 0;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed || !MoveFileExW(temporary.c_str(), filePath, MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temporary.c_str());
    return FALSE;
  }
  return TRUE;
}

BOOL ReadInternetShortcut(LPCWSTR filePath, CString& address) {
  address.Empty();
  FILE* file = filePath ? _wfopen(filePath, u"rb") : nullptr;
  if (file == nullptr) return FALSE;
  std::string bytes;
  char buffer[4096];
  std::size_t got = 0;
  while (bytes.size() < kMaxShortcutBytes && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return FALSE;
  const std::u16string text = DecodeShortcut(bytes);
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !IsSpace(text[i])) ++i;
    const std::u16string_view word = std::u16string_view(text).substr(start, i - start);
    if (word.size() < 3) continue;
    std::u16string head(word.substr(0, 3));
    for (char16_t& c : head) c = (c >= 'a' && c <= 'z') ? static_cast<char16_t>(c - 32) : c;
    if (head != u"URL") continue;
    // The address runs to the end of its line: cut at the first space, as a word, an address
    // with spaces in it (a file path) would come back shorter than it was written.
    const std::size_t equals = word.find(u'=', 3);
    if (equals != std::u16string_view::npos) {
      std::size_t end = text.find_first_of(u"\r\n", start);
      if (end == std::u16string::npos) end = text.size();
      while (end > start + equals + 1 && IsSpace(text[end - 1])) --end;
      address = CString(std::u16string_view(text).substr(start + equals + 1, end - start - equals - 1));
    }
    return TRUE;
  }
  return TRUE;
}

std::vector<CString> ReadFavorites() {
  std::vector<CString> names;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kFavoritesKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return names;
  }
  DWORD subKeys = 0;
  DWORD longest = 0;
  if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &longest, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) == ERROR_SUCCESS) {
    std::u16string name(longest + 1, u'\0');
    for (DWORD index = subKeys; index-- > 0;) {
      DWORD length = longest + 1;
      if (RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      names.emplace_back(std::u16string_view(name.data(), length));
    }
  }
  RegCloseKey(key);
  return names;
}

BOOL AddFavorite(LPCWSTR name, LPCWSTR address) {
  if (name == nullptr || *name == 0 || address == nullptr) return FALSE;
  const std::u16string path = std::u16string(kFavoritesKey) + u"\\" + name;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return FALSE;
  }
  const std::u16string value(address);
  const LONG set = RegSetValueExW(key, u"URL", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
  RegFlushKey(key);
  RegCloseKey(key);
  if (set != ERROR_SUCCESS) return FALSE;
  platform::RecordActivity("favourite", CString(name).ToUtf8() + " " + CString(address).ToUtf8());
  return TRUE;
}

namespace {

// A favourite's name is its address cut to this many characters.
constexpr int kLongestFavoriteName = 100;

// The favourite's name: the address without its scheme, a key name's separator made harmless.
CString FavoriteName(const CString& address) {
  CString name = address;
  const int scheme = name.Find(u"://");
  if (scheme >= 0) name = name.Mid(scheme + 3);
  name.Replace(u"\\", u"/");
  name.Trim();
  if (name.GetLength() > kLongestFavoriteName) name = name.Left(kLongestFavoriteName);
  return name;
}

}  // namespace

BOOL AddLinkToFavorites(const CString& target) {
  CString address = target;
  if (address.Find(u"://") < 0) address = CString(u"http://") + address.View();
  const CString name = FavoriteName(address);
  return !name.IsEmpty() && AddFavorite(name, address);
}
