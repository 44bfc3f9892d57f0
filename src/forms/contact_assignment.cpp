#include "forms/contact_assignment.h"

#include <string>

#include "device/storage_check.h"
#include "engines/image_convert.h"
#include "forms/object_file_name.h"
#include "forms/object_saving.h"
#include "forms/shell_open.h"
#include "model/drm_handling.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/temporary_files.h"
#include "platform/pim/contact_chooser.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"

namespace {

constexpr LONG kPhotoWidth = 72;
constexpr LONG kPhotoHeight = 96;
constexpr int kPhotoQuality = 90;
constexpr int kChosen = 1;
constexpr int kNotChosen = 0;

void Tell(HWND owner, UINT textId) { GetMMSGlobal()->MessageBoxW(owner, textId, MB_OK); }

void TellResult(HWND owner, int result) {
  if (result == kChosen) Tell(owner, assign_text::kAssigned);
  if (result == kNotChosen) Tell(owner, assign_text::kNotAssigned);
}

struct SplitPath {
  CString folder;  // up to and with the last separator
  CString name;
};

SplitPath Split(LPCWSTR path) {
  const std::u16string_view text(path);
  const std::size_t slash = text.find_last_of(u"\\/");
  if (slash == std::u16string_view::npos) return {CString(u"\\"), CString(text)};
  return {CString(text.substr(0, slash + 1)), CString(text.substr(slash + 1))};
}

int ChooseWithPhoto(HWND owner, LPCWSTR picture) {
  CONTACTCHOICE choice{};
  choice.cbSize = sizeof choice;
  choice.hwndOwner = owner;
  choice.dwFlags = CCF_ASSIGNPHOTO;
  choice.lpszPictureFile = picture;
  return ChooseContact(&choice);
}

// The reduced copy in the work folder; empty when the copy failed (the last error says why).
CString ReducedCopy(const SplitPath& source, LPCWSTR picture, const CString& work) {
  CreateDirectoryW(work.Left(work.GetLength() - 1), nullptr);
  const CString copy = work + SafeObjectName(source.name.View()).View();
  const std::string suffix = platform::TemporarySuffix();
  const CString temporary = copy + std::u16string(suffix.begin(), suffix.end());
  if (!CopyFileW(picture, temporary, TRUE) || !MoveFileExW(temporary, copy, MOVEFILE_REPLACE_EXISTING)) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary);
    SetLastError(error);
    return CString();
  }
  // A picture already inside the box is refused by the resize and goes as it came.
  ResizeImageInPlace(copy, kPhotoWidth, kPhotoHeight, kPhotoQuality);
  return copy;
}

}  // namespace

bool AssignContactPhoto(HWND owner, LPCWSTR picture) {
  if (picture == nullptr || GetFileAttributesW(picture) == INVALID_FILE_ATTRIBUTES) return false;
  int result = kNotChosen;
  if (DrmStatus(picture, 1, owner) != kDrmNotProtected) {
    result = ChooseWithPhoto(owner, picture);
  } else {
    const SplitPath source = Split(picture);
    const CString work = source.folder + u"phototemp\\";
    const CString copy = ReducedCopy(source, picture, work);
    if (copy.IsEmpty()) {
      const bool full = GetLastError() == ERROR_DISK_FULL;
      RemoveFolderTree(work);
      Tell(owner, full ? save_text::kStorageFull : assign_text::kNotAssigned);
      return false;
    }
    result = ChooseWithPhoto(owner, copy);
    RemoveFolderTree(work);
  }
  TellResult(owner, result);
  CheckStorage();
  return result == kChosen;
}

bool AssignContactRingTone(HWND owner, LPCWSTR sound) {
  if (sound == nullptr || GetFileAttributesW(sound) == INVALID_FILE_ATTRIBUTES) return false;
  CONTACTCHOICE choice{};
  choice.cbSize = sizeof choice;
  choice.hwndOwner = owner;
  int result = ChooseContact(&choice);
  if (result == kChosen && !GetMMSGlobal()->GetContactPoom()->SaveRingToneToContact(choice.lContactId, sound)) {
    if (GetLastError() == ERROR_DISK_FULL) {
      Tell(owner, save_text::kStorageFull);
      return false;
    }
    result = kNotChosen;
  }
  TellResult(owner, result);
  CheckStorage();
  return result == kChosen;
}
