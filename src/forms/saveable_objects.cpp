#include "forms/saveable_objects.h"

#include "forms/object_file_name.h"
#include "platform/kernel/file_api.h"
#include "transport/resource_module.h"

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
    case media_type::kImage: return transport::LoadResourceString(object_text::kPicture);
    case media_type::kAudio: return transport::LoadResourceString(object_text::kSound);
    case media_type::kVideo: return transport::LoadResourceString(object_text::kVideo);
    case media_type::kText: return transport::LoadResourceString(object_text::kText);
    case media_type::kPersonalData:
      return transport::LoadResourceString(media_type::FormatOf(type) == 2 ? object_text::kCalendarEntry
                                                                            : object_text::kContactCard);
    default: return transport::LoadResourceString(object_text::kFile);
  }
}
