#include "forms/saveable_objects.h"

#include "forms/object_file_name.h"
#include "platform/file_api.h"

namespace {

DWORD FileSizeOf(LPCWSTR path, bool* present) {
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(path, &data);
  *present = find != INVALID_HANDLE_VALUE && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  // Objects above 4 GB cannot come in a message; the low word is enough.
  return *present ? data.nFileSizeLow : 0;
}

}  // namespace

std::vector<SaveableObject> SaveableObjects(const MessageModel& model) {
  std::vector<SaveableObject> objects;
  for (const MediaPart& part : model.parts) {
    if (part.type == media_type::kInlineText || part.fileName.IsEmpty()) continue;
    SaveableObject object;
    object.part = &part;
    object.name = part.fileName;
    object.type = part.type;
    object.forwardLock = part.forwardLock;
    if (!model.partFolder.IsEmpty() && IsPlainFileName(part.fileName.View())) {
      object.path = model.partFolder + part.fileName.View();
      object.size = FileSizeOf(object.path, &object.present);
    }
    objects.push_back(object);
  }
  return objects;
}

bool HasSaveableObjects(const MessageModel& model) {
  for (const SaveableObject& object : SaveableObjects(model)) {
    if (object.present) return true;
  }
  return false;
}

CString ObjectKindName(MediaType type) {
  switch (media_type::KindOf(type)) {
    case media_type::kImage: return CString(u"Picture");
    case media_type::kAudio: return CString(u"Sound");
    case media_type::kVideo: return CString(u"Video");
    case media_type::kText: return CString(u"Text");
    case media_type::kPersonalData:
      return CString(media_type::FormatOf(type) == 2 ? u"Calendar entry" : u"Contact card");
    default: return CString(u"File");
  }
}
