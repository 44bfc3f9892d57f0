#include "model/message_model.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "config/setting_numbers.h"
#include "config/settings.h"

namespace {

constexpr DWORD kShortestDefaultDuration = 2000;
constexpr DWORD kLongestDefaultDuration = 600000;

void DropReferenceTo(std::optional<MediaRef>& slot, const MediaPart* part) {
  if (slot && slot->part == part) {
    ClearReference(slot);
  } else if (slot && slot->alternative == part) {
    slot->alternative = nullptr;
  }
}

}  // namespace

Slide NewSlide() {
  Slide slide;
  slide.duration = static_cast<DWORD>(GetConfigValue(numeric_setting::kSlideDuration));
  return slide;
}

PartList::iterator AddPart(MessageModel& model, std::u16string_view fileName, DWORD format) {
  return AddPartOfType(model, fileName, media_type::Make(media_type::kPersonalData, format));
}

PartList::iterator AddPartOfType(MessageModel& model, std::u16string_view fileName, MediaType type) {
  MediaPart part;
  part.type = type;
  part.fileName = CString(fileName);
  model.parts.push_back(std::move(part));
  ++model.attachmentCount;
  return std::prev(model.parts.end());
}

void RemovePart(MessageModel& model, PartList::iterator part) {
  const bool wasAttachment = part->inSlide == 0;
  for (Slide& slide : model.slides) {
    for (std::optional<MediaRef>* slot : {&slide.image, &slide.text, &slide.audio, &slide.video}) {
      DropReferenceTo(*slot, &*part);
    }
  }
  if (wasAttachment && model.attachmentCount > 0) {
    --model.attachmentCount;
  }
  model.parts.erase(part);
}

void ResetModel(MessageModel& model, bool dropParts) {
  model.layout = MessageLayout{};
  model.slides.clear();
  if (dropParts) {
    model.parts.clear();
    model.attachmentCount = 0;
    return;
  }
  for (MediaPart& part : model.parts) {
    part.inSlide = 0;
  }
}

DWORD TotalDuration(const MessageModel& model) {
  std::uint64_t total = 0;
  for (const Slide& slide : model.slides) {
    total += slide.duration;
  }
  return static_cast<DWORD>(std::min<std::uint64_t>(total, std::numeric_limits<DWORD>::max()));
}

DWORD DefaultSlideDuration() {
  const auto configured = static_cast<DWORD>(GetConfigValue(numeric_setting::kSlideDuration));
  const auto longest = std::min(static_cast<DWORD>(GetConfigValue(numeric_setting::kMaxDuration)),
                                kLongestDefaultDuration);
  return std::min(std::max(configured, kShortestDefaultDuration), longest);
}

int CountAttachments(MessageModel& model) {
  model.attachmentCount = static_cast<int>(
      std::count_if(model.parts.begin(), model.parts.end(), [](const MediaPart& part) { return part.inSlide == 0; }));
  return model.attachmentCount;
}

void SetReference(std::optional<MediaRef>& slot, MediaRef reference) {
  ClearReference(slot);
  if (reference.part != nullptr) {
    ++reference.part->inSlide;
  }
  slot = reference;
}

void ClearReference(std::optional<MediaRef>& slot) {
  if (slot && slot->part != nullptr && slot->part->inSlide > 0) {
    --slot->part->inSlide;
  }
  slot.reset();
}
