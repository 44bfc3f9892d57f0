#include "forms/object_saving.h"

#include <optional>
#include <string>

#include "device/storage_check.h"
#include "forms/name_conflict_dialog.h"
#include "forms/object_file_name.h"
#include "forms/object_folder.h"
#include "model/device_file.h"
#include "model/text_charset.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/temporary_files.h"
#include "platform/text/text_conversion.h"
#include "platform/text/wide_format.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace {

constexpr int kMaxNumberedNames = 10000;
constexpr DWORD kErrorInvalidData = 13;
// Text parts of a message are a few kilobytes; anything far larger is no text to convert.
constexpr std::size_t kMaxTextObjectBytes = 4u << 20;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

struct SplitName {
  std::u16string_view stem;
  std::u16string_view extension;  // from the last "." on, empty when none
};

SplitName Split(std::u16string_view name) {
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos || dot == 0) return {name, {}};
  return {name.substr(0, dot), name.substr(dot)};
}

std::u16string_view FileNameOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

bool Exists(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

void Tell(HWND owner, UINT textId) { GetMMSGlobal()->MessageBoxW(owner, textId, MB_OK); }

// The text in UTF-8 after the byte order mark; nothing when it cannot be read or decoded.
std::optional<std::string> TextAsUtf8(LPCWSTR source) {
  const FileReadResult read = ReadDeviceFile(source, kMaxTextObjectBytes);
  if (read.status != FileReadStatus::kOk) return std::nullopt;
  std::string contentType = "text/plain";
  const int code = CharsetCodeOfText(contentType, std::string_view(read.bytes).substr(0, 4));
  const std::optional<std::string> utf16 = ConvertText(read.bytes, code);
  if (!utf16) return std::nullopt;
  std::u16string text;
  text.reserve(utf16->size() / 2);
  for (std::size_t i = 0; i + 1 < utf16->size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>((*utf16)[i]) |
                                  static_cast<unsigned char>((*utf16)[i + 1]) << 8);
  }
  if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);
  std::string bytes(kUtf8Mark);
  bytes += platform::Utf16ToUtf8(text);
  return bytes;
}

// Writes the object under a temporary name beside the target and renames it into place; the
// temporary file is gone again on every path. The last error tells why it failed.
bool WriteInPlace(const CString& target, LPCWSTR source, bool asUtf8Text) {
  const std::string suffix = platform::TemporarySuffix();
  CString temporary = target;
  temporary += std::u16string(suffix.begin(), suffix.end());
  bool written = false;
  if (asUtf8Text) {
    const std::optional<std::string> bytes = TextAsUtf8(source);
    if (!bytes) {
      SetLastError(kErrorInvalidData);
      return false;
    }
    written = WriteDeviceFile(temporary.View(), *bytes);
  } else {
    written = CopyFileW(source, temporary, TRUE) != FALSE;
  }
  if (written) {
    SetFileAttributesW(temporary, FILE_ATTRIBUTE_NORMAL);
    // A read-only file of the name would refuse its replacement.
    if (Exists(target)) SetFileAttributesW(target, FILE_ATTRIBUTE_NORMAL);
    written = MoveFileExW(temporary, target, MOVEFILE_REPLACE_EXISTING) != FALSE;
  }
  if (!written) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary);
    SetLastError(error);
  }
  return written;
}

// The name the object is saved under; nothing when the person declines the changed name.
std::optional<CString> ChooseName(LPCWSTR source, MediaType type, HWND owner) {
  CString name = SafeObjectName(FileNameOf(source));
  if (!NeedsTypeExtension(name.View(), type)) return name;
  name += ExtensionOfType(type, false).View();
  const std::u16string question =
      platform::FormatWide(transport::LoadResourceString(save_text::kNameChanged), name.GetString());
  if (GetMMSGlobal()->MessageBoxW(owner, question.c_str(), MB_OKCANCEL) != IDOK) return std::nullopt;
  return name;
}

}  // namespace

bool NeedsTypeExtension(std::u16string_view name, MediaType type) {
  return media_type::KindOf(type) != media_type::kGeneric && !HasExtensionOfType(name, type) &&
         !ExtensionOfType(type, false).IsEmpty();
}

CString FreeNumberedName(std::u16string_view folder, std::u16string_view name) {
  const SplitName parts = Split(name);
  for (int n = 0; n < kMaxNumberedNames; ++n) {
    CString candidate(folder);
    candidate.AppendFormat(u"%s_%d%s", std::u16string(parts.stem).c_str(), n, std::u16string(parts.extension).c_str());
    if (!Exists(candidate)) return candidate;
  }
  return CString();
}

bool SaveObjectToFile(LPCWSTR folder, LPCWSTR source, MediaType type, HWND owner) {
  if (folder == nullptr || *folder == 0 || source == nullptr || GetFileAttributesW(source) == INVALID_FILE_ATTRIBUTES) {
    Tell(owner, save_text::kNotCopied);
    return false;
  }
  const std::optional<CString> name = ChooseName(source, type, owner);
  if (!name) return false;
  const std::u16string folderText = WithTrailingSeparator(folder);
  CString target = CString(folderText) + name->View();
  if (Exists(target)) {
    const CString numbered = FreeNumberedName(folderText, name->View());
    CNameConflictDialog question;
    const int answer = question.Run(owner);
    if (answer == name_conflict::kCancel) return false;
    if (answer == name_conflict::kNumberedName) {
      if (numbered.IsEmpty()) {
        Tell(owner, save_text::kNotCopied);
        return false;
      }
      target = numbered;
    }
  }
  const bool asUtf8Text = media_type::KindOf(type) == media_type::kText && type != media_type::kMarkupText;
  if (!WriteInPlace(target, source, asUtf8Text)) {
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) {
      // A folder that takes no files is named, so that the person can choose another.
      const std::u16string refused =
          platform::FormatWide(transport::LoadResourceString(save_text::kFolderRefused), folderText.c_str());
      GetMMSGlobal()->MessageBoxW(owner, refused.c_str(), MB_OK);
    } else {
      Tell(owner, error == ERROR_DISK_FULL ? save_text::kStorageFull : save_text::kNotCopied);
    }
    return false;
  }
  const std::u16string saved = platform::FormatWide(transport::LoadResourceString(save_text::kSaved),
                                                    std::u16string(FileNameOf(target.View())).c_str(), folderText.c_str());
  GetMMSGlobal()->MessageBoxW(owner, saved.c_str(), MB_OK);
  CheckStorage();
  return true;
}

bool SaveCurrentObject(HWND owner, LPCWSTR path, bool html) {
  if (path == nullptr) return false;
  const MediaType type = html ? media_type::kMarkupText : TypeOfFile(path, false);
  return SaveObjectToFile(FolderForObject(type), path, SavedTypeOf(type), owner);
}
