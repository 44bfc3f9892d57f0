#include "forms/forward_lock_check.h"

#include <algorithm>
#include <vector>

#include "model/drm_handling.h"
#include "platform/window/window_api.h"
#include "transport/mms_global.h"

namespace {

constexpr UINT kYesNo = 4;
constexpr int kYes = 6;

bool AskYes(UINT textId) { return GetMMSGlobal()->MessageBoxW(GetForegroundWindow(), textId, kYesNo) == kYes; }

int StatusOf(const MessageModel& model, const MediaPart& part) {
  CString path = model.partFolder + part.fileName.View();
  return DrmStatus(path, 1, nullptr);
}

bool IsLocked(int status) { return status == kDrmForwardRefused || status == kDrmLocked; }

void DropIfLocked(std::optional<MediaRef>& slot, const std::vector<const MediaPart*>& locked) {
  if (!slot || slot->part == nullptr) return;
  for (const MediaPart* part : locked) {
    if (slot->part == part) {
      ClearReference(slot);
      return;
    }
  }
}

}  // namespace

bool CheckForwardLock(MessageBinding& binding, bool* changed) {
  *changed = false;
  MessageModel* model = binding.Model();
  if (model == nullptr) return false;
  if (model->parts.empty()) return true;
  std::vector<const MediaPart*> locked;
  bool forwardable = false;
  for (const MediaPart& part : model->parts) {
    int status = StatusOf(*model, part);
    if (IsLocked(status)) locked.push_back(&part);
    forwardable = forwardable || status == kDrmForwardGranted;
  }
  if (forwardable && !AskYes(kAskRightsExpired)) return false;
  if (locked.size() == model->parts.size()) {
    if (!AskYes(kAskAllObjectsLocked)) return false;
  } else if (!locked.empty()) {
    if (!AskYes(kAskSomeObjectsLocked)) return false;
  } else if (!forwardable) {
    return true;
  }
  // Only objects whose forwarding is refused outright leave the message.
  std::vector<const MediaPart*> refused;
  for (const MediaPart* part : locked) {
    if (StatusOf(*model, *part) == kDrmForwardRefused) refused.push_back(part);
  }
  for (Slide& slide : model->slides) {
    DropIfLocked(slide.image, refused);
    DropIfLocked(slide.text, refused);
    DropIfLocked(slide.audio, refused);
    DropIfLocked(slide.video, refused);
  }
  for (auto part = model->parts.begin(); part != model->parts.end();) {
    auto next = std::next(part);
    // The part is looked at no more once it is removed.
    if (std::find(refused.begin(), refused.end(), &*part) != refused.end()) RemovePart(*model, part);
    part = next;
  }
  *changed = true;
  return true;
}
