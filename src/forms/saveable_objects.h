// The objects of a message that a person can keep: every part with a file of its own in the part
// folder, in the order the message carries them, with what the save-objects window shows of each.
#pragma once

#include <vector>

#include "model/message_model.h"
#include "platform/text/cstring.h"

struct SaveableObject {
  const MediaPart* part = nullptr;
  CString name;  // the part's file name as the message carries it
  // Part folder + name; empty when the name is no plain file name (or the model has no part
  // folder), so that nothing is read from outside the part folder.
  CString path;
  MediaType type = media_type::kNone;
  DWORD size = 0;        // bytes of the file; 0 when it is missing
  bool present = false;  // the file exists in the part folder
  bool forwardLock = false;
};

// The texts the objects are shown with.
namespace object_text {
constexpr UINT kPicture = 41250;
constexpr UINT kSound = 41251;
constexpr UINT kVideo = 41252;
constexpr UINT kText = 41253;
constexpr UINT kCalendarEntry = 41254;
constexpr UINT kContactCard = 41255;
constexpr UINT kFile = 41256;
constexpr UINT kMissing = 41257;
constexpr UINT kProtected = 41258;
constexpr UINT kSortLabel = 41259;  // the sort key and its direction
}  // namespace object_text

// Parts given as inline text have no file and are left out.
std::vector<SaveableObject> SaveableObjects(const MessageModel& model);

// Whether the message has at least one object whose file is there to be saved.
bool HasSaveableObjects(const MessageModel& model);

// The object's type as a person reads it: "Picture", "Sound", "Video", "Text", "Contact card" ...
CString ObjectKindName(MediaType type);
