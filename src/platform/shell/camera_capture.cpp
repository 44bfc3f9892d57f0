#include "platform/shell/camera_capture.h"

#include <algorithm>
#include <string>

#include "platform/kernel/activity_log.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "platform/registry/registry.h"
#include "platform/text/text_conversion.h"

namespace {

constexpr HRESULT kInvalidArgument = static_cast<HRESULT>(0x80070057);
constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005);
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80070002);
constexpr const char16_t* kDefaultFolder = u"\\My Documents\\My Pictures\\";
constexpr int kMostNames = 1000;

std::u16string SourceFor(bool still) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform\\Camera", 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  WCHAR path[MAX_PATH + 1] = {};
  DWORD size = sizeof path - sizeof(WCHAR);
  DWORD type = REG_NONE;
  const LONG read = RegQueryValueExW(key, still ? u"StillSource" : u"VideoSource", nullptr, &type,
                                     reinterpret_cast<BYTE*>(path), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS && type == REG_SZ ? std::u16string(path) : std::u16string();
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::u16string ExtensionOf(const std::u16string& path) {
  const std::size_t dot = path.find_last_of(u".\\");
  return dot == std::u16string::npos || path[dot] != u'.' ? std::u16string() : path.substr(dot);
}

// A plain file name: no folder part, nothing that leaves the folder.
bool IsPlainName(const std::u16string& name) {
  return !name.empty() && name != u"." && name != u".." && name.find_first_of(u"\\/:") == std::u16string::npos;
}

std::u16string Destination(const SHCAMERACAPTURE& capture, bool still, const std::u16string& extension) {
  std::u16string folder = capture.pszInitialDir != nullptr && *capture.pszInitialDir != 0 ? capture.pszInitialDir
                                                                                          : kDefaultFolder;
  if (folder.back() != u'\\') folder += u'\\';
  if (capture.pszDefaultFileName != nullptr && IsPlainName(capture.pszDefaultFileName)) {
    std::u16string name = capture.pszDefaultFileName;
    if (ExtensionOf(name).empty()) name += extension;
    return folder + name;
  }
  for (int number = 1; number < kMostNames; ++number) {
    const std::string digits = std::to_string(number);
    std::u16string name = still ? u"IMAGE" : u"VIDEO";
    name.append(3 - std::min<std::size_t>(3, digits.size()), u'0');
    name.append(digits.begin(), digits.end());
    if (!Exists(folder + name + extension)) return folder + name + extension;
  }
  return {};
}

void MakeFolders(const std::u16string& path) {
  for (std::size_t slash = path.find(u'\\', 1); slash != std::u16string::npos; slash = path.find(u'\\', slash + 1)) {
    CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
  }
}

}  // namespace

HRESULT SHCameraCapture(SHCAMERACAPTURE* capture) {
  if (capture == nullptr || capture->cbSize != sizeof(SHCAMERACAPTURE) || capture->Mode > 2) return kInvalidArgument;
  const bool still = capture->Mode == 0;
  const std::u16string source = SourceFor(still);
  if (source.empty() || !Exists(source)) {
    platform::RecordActivity("camera", std::string(still ? "no picture" : "no video") +
                                           " to take: HKEY_LOCAL_MACHINE\\Platform\\Camera\\" +
                                           (still ? "StillSource" : "VideoSource") +
                                           (source.empty() ? " is not set" : " names a missing file " +
                                                                                 platform::Utf16ToUtf8(source)));
    SetLastError(ERROR_FILE_NOT_FOUND);
    return kNotFound;
  }
  const std::u16string target = Destination(*capture, still, ExtensionOf(source));
  if (target.empty() || target.size() >= MAX_PATH) return kFail;
  MakeFolders(target);
  const std::u16string temporary = target + u".new";
  if (!CopyFileW(source.c_str(), temporary.c_str(), FALSE) ||
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temporary.c_str());
    return kFail;
  }
  std::fill(std::begin(capture->szFile), std::end(capture->szFile), u'\0');
  std::copy(target.begin(), target.end(), capture->szFile);
  std::string detail = std::string(still ? "picture " : "video ") + platform::Utf16ToUtf8(target);
  // A real camera stops at the time limit; this one says what it was given.
  if (!still && capture->nVideoTimeLimit != 0) detail += ", at most " + std::to_string(capture->nVideoTimeLimit) + " s";
  platform::RecordActivity("camera", detail);
  return S_OK;
}
