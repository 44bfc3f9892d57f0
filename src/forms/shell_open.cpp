#include "forms/shell_open.h"

#include <string>

#include "forms/object_file_name.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/temporary_files.h"
#include "platform/shell/shell_execute.h"

namespace {

constexpr int kMaxFolderDepth = 8;
constexpr int kShowNormal = 1;

bool RemoveTree(const CString& folder, int depth) {
  if (depth > kMaxFolderDepth) return false;
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(folder + u"*", &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::u16string_view name(data.cFileName);
      if (name == u"." || name == u"..") continue;
      const CString path = folder + name;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveTree(path + u"\\", depth + 1);
      } else {
        SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path);
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  CString withoutSeparator = folder.Left(folder.GetLength() - 1);
  return RemoveDirectoryW(withoutSeparator) != FALSE || GetFileAttributesW(withoutSeparator) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

CString ShellTempFolder() {
  WCHAR buffer[MAX_PATH] = {};
  CString folder;
  if (GetTempPathW(MAX_PATH, buffer) > 0) folder = CString(buffer);
  if (folder.IsEmpty()) folder = CString(u"\\Temp");
  if (folder.View().back() != u'\\') folder += u'\\';
  folder += u"UATemp\\";
  return folder;
}

bool RemoveFolderTree(LPCWSTR folder) {
  if (folder == nullptr || *folder == 0) return false;
  CString path(folder);
  if (path.View().back() != u'\\') path += u'\\';
  return RemoveTree(path, 0);
}

bool OpenWithShell(LPCWSTR source, HWND owner) {
  if (source == nullptr) return false;
  const CString folder = ShellTempFolder();
  RemoveFolderTree(folder);
  if (!CreateDirectoryW(folder.Left(folder.GetLength() - 1), nullptr)) return false;
  std::u16string_view name(source);
  const std::size_t slash = name.find_last_of(u"\\/");
  if (slash != std::u16string_view::npos) name.remove_prefix(slash + 1);
  const CString copy = folder + SafeObjectName(name).View();
  const std::string suffix = platform::TemporarySuffix();
  const CString temporary = copy + std::u16string(suffix.begin(), suffix.end());
  if (!CopyFileW(source, temporary, TRUE) || !MoveFileExW(temporary, copy, MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temporary);
    return false;
  }
  SHELLEXECUTEINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = owner;
  info.lpVerb = u"open";
  info.lpFile = copy;
  info.nShow = kShowNormal;
  if (!ShellExecuteEx(&info)) return false;
  if (info.hProcess != nullptr) CloseHandle(info.hProcess);
  return true;
}
