// The objects of a message that a person can keep: every part with a file of its own in the part
// folder, in the order the message carries them, with what the save-objects window shows of each.
#pragma once

#include <vector>

#include "model/message_model.h"
#include "platform/cstring.h"

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

// Parts given as inline text have no file and are left out.
std::vector<SaveableObject> SaveableObjects(const MessageModel& model);

// Whether the message has at least one object whose file is there to be saved.
bool HasSaveableObjects(const MessageModel& model);

// The object's type as a person reads it: "Picture", "Sound", "Video", "Text", "Contact card" ...
CString ObjectKindName(MediaType type);
