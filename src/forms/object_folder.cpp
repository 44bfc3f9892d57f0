#include "forms/object_folder.h"

#include <iterator>

#include "config/setting_numbers.h"
#include "config/settings.h"

namespace {

constexpr DWORD kFirstAudioOfVideo = 11;
constexpr MediaType kVideoOfAudio[] = {0x40005, 0x40001, 0x40004, 0x40006};

}  // namespace

MediaType SavedTypeOf(MediaType type) {
  const DWORD format = media_type::FormatOf(type);
  if (media_type::KindOf(type) == media_type::kAudio && format >= kFirstAudioOfVideo &&
      format < kFirstAudioOfVideo + std::size(kVideoOfAudio)) {
    return kVideoOfAudio[format - kFirstAudioOfVideo];
  }
  return type;
}

CString FolderForObject(MediaType type) {
  int setting = folder_setting::kUnknownPath;
  switch (media_type::KindOf(SavedTypeOf(type))) {
    case media_type::kImage: setting = folder_setting::kPicturePath; break;
    case media_type::kAudio: setting = folder_setting::kSoundPath; break;
    case media_type::kVideo: setting = folder_setting::kVideoPath; break;
    case media_type::kText: setting = folder_setting::kGenericPath; break;
    default: break;
  }
  CString folder = GetFolderSetting(setting);
  if (folder.IsEmpty() || (folder.View().back() != u'\\' && folder.View().back() != u'/')) folder += u'\\';
  return folder;
}
