#include "forms/content_check.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "config/setting_numbers.h"
#include "forms/message_size.h"
#include "config/settings.h"
#include "engines/image_info.h"
#include "model/drm_handling.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"

namespace {

constexpr LONG kMaxLongSide = 640;
constexpr LONG kMaxShortSide = 480;

bool FitsMessagePicture(LONG width, LONG height) {
  return (width <= kMaxLongSide && height <= kMaxShortSide) || (width <= kMaxShortSide && height <= kMaxLongSide);
}

// Whether ".ext" is one of the ";"-separated items of the filter, compared without regard to case.
bool InFilter(std::u16string_view path, std::u16string_view filter) {
  std::size_t dot = path.find_last_of(u".\\/");
  if (dot == std::u16string_view::npos || path[dot] != u'.') return false;
  std::u16string extension = platform::FoldCase(path.substr(dot));
  std::u16string items = platform::FoldCase(filter);
  std::u16string_view rest(items);
  while (!rest.empty()) {
    std::size_t end = rest.find(u';');
    if (rest.substr(0, end) == extension) return true;
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace

CreationMode CurrentCreationMode() {
  switch (GetConfigValue(numeric_setting::kDefaultCreationMode)) {
    case 0:
      return CreationMode::kRestricted;
    case 1:
      return CreationMode::kWarning;
    default:
      return CreationMode::kFree;
  }
}

int ContentClassOf(MediaType type) {
  switch (media_type::KindOf(type)) {
    case media_type::kImage:
      return 2;
    case media_type::kText:
      return 1;
    default:
      return 3;
  }
}

LONG ContentClassSizeLimit(int contentClass) {
  return GetConfigValue(numeric_setting::kMMContentClassTextSizeLimit - 1 + contentClass);
}

bool PassesContentCheck(LPCWSTR path, MediaType type) {
  if (CurrentCreationMode() == CreationMode::kFree) return true;
  if (GetConfigValue(numeric_setting::kIsSupportDrm) != 0 && DrmStatus(path, 1, nullptr) == kDrmForwardRefused) {
    return false;
  }
  if (!InFilter(path, GetConfigString(string_setting::kCreationFilter).View())) return false;
  if (media_type::KindOf(type) != media_type::kImage) return true;
  SIZE size{};
  return GetImageInfo(path, &size, nullptr, type) && FitsMessagePicture(size.cx, size.cy);
}

namespace {

enum class Refusal { kNone, kSize, kContent };

constexpr LONG kHideContentDetail = 8;

bool ContentDetailHidden() { return (GetConfigValue(numeric_setting::kHideDlgControl) & kHideContentDetail) != 0; }

int Ask(HWND owner, UINT textId, UINT style) {
  CMMSGlobal* global = GetMMSGlobal();
  return global != nullptr ? global->MessageBoxW(owner, textId, style) : IDNO;
}

CString PartPath(const MessageModel& model, const MediaPart& part) { return model.partFolder + part.fileName.View(); }

const MediaPart* PartOf(const std::optional<MediaRef>& slot) { return slot ? slot->part : nullptr; }

// The objects of `slide` that an object of `type` takes the place of.
std::vector<const MediaPart*> ReplacedBy(MediaType type, const Slide& slide) {
  std::vector<const MediaPart*> replaced;
  auto add = [&](const std::optional<MediaRef>& slot) {
    if (const MediaPart* part = PartOf(slot)) replaced.push_back(part);
  };
  switch (media_type::KindOf(type)) {
    case media_type::kImage:
      add(slide.image ? slide.image : slide.video);
      break;
    case media_type::kAudio:
      add(slide.audio);
      add(slide.video);
      break;
    case media_type::kText:
      add(slide.text);
      break;
    case media_type::kVideo:
      add(slide.video ? slide.video : slide.image);
      add(slide.audio);
      break;
    default:
      break;
  }
  return replaced;
}

bool SameFile(const MessageModel& model, const MediaPart& part, LPCWSTR path, MediaType type) {
  return part.type == type && PartPath(model, part).CompareNoCase(path) == 0;
}

Refusal InsertionRefusal(LPCWSTR path, MediaType type, const MessageModel& model, const Slide* slide,
                         bool replacing) {
  std::vector<const MediaPart*> replaced;
  if (!replacing && slide != nullptr) replaced = ReplacedBy(type, *slide);
  auto isReplaced = [&](const MediaPart& part) {
    return std::find(replaced.begin(), replaced.end(), &part) != replaced.end();
  };
  std::uint64_t size = MessageSizeOf(model);
  bool alreadyIn = false;
  for (const MediaPart& part : model.parts) alreadyIn = alreadyIn || SameFile(model, part, path, type);
  if (!alreadyIn) size += FileSizeForCheck(path);
  for (const MediaPart* part : replaced) {
    const DWORD partSize = FileSizeForCheck(PartPath(model, *part));
    size = size >= partSize ? size - partSize : 0;
  }
  if (!PassesContentCheck(path, type)) return Refusal::kContent;
  int contentClass = ContentClassOf(type);
  for (const MediaPart& part : model.parts) {
    if (!isReplaced(part)) contentClass = std::max(contentClass, ContentClassOf(part.type));
  }
  return size > static_cast<std::uint64_t>(ContentClassSizeLimit(contentClass)) ? Refusal::kSize : Refusal::kNone;
}

Refusal MessageRefusal(const MessageModel& model) {
  int contentClass = 1;
  for (const MediaPart& part : model.parts) contentClass = std::max(contentClass, ContentClassOf(part.type));
  if (MessageSizeOf(model) > static_cast<DWORD>(ContentClassSizeLimit(contentClass))) return Refusal::kSize;
  for (const MediaPart& part : model.parts) {
    if (!PassesContentCheck(PartPath(model, part), part.type)) return Refusal::kContent;
  }
  return Refusal::kNone;
}

// The refusal texts of each operation: size, content with the detail hidden, content.
struct OperationTexts {
  UINT size;
  UINT contentHidden;
  UINT content;
};

OperationTexts TextsFor(MessageOperation operation) {
  switch (operation) {
    case MessageOperation::kTemplate:
      return {40898, 40897, 40896};
    case MessageOperation::kSecondCaller:
      return {40895, 40894, 40893};
    case MessageOperation::kSend:
      return {40886, 40885, 40884};
    case MessageOperation::kSave:
      return {40883, 40882, 40881};
    default:
      return {40892, 40891, 40890};
  }
}

}  // namespace

bool CheckInsertion(LPCWSTR path, MediaType type, const MessageModel* model, const Slide* slide, HWND owner,
                    bool replacing) {
  const CreationMode mode = CurrentCreationMode();
  if (mode == CreationMode::kFree || path == nullptr || *path == 0 || model == nullptr) return true;
  const Refusal refusal = InsertionRefusal(path, type, *model, slide, replacing);
  if (refusal == Refusal::kNone) return true;
  if (mode == CreationMode::kRestricted) {
    const UINT text = refusal == Refusal::kSize ? 40889 : (ContentDetailHidden() ? 40888 : 40887);
    Ask(owner, text, MB_OK);
    return false;
  }
  return Ask(owner, refusal == Refusal::kSize ? 40948 : 40947, MB_YESNO) == IDYES;
}

bool CheckMessage(const MessageModel* model, HWND owner, bool askedBefore, MessageOperation operation) {
  const CreationMode mode = CurrentCreationMode();
  if (mode == CreationMode::kFree || (mode == CreationMode::kWarning && askedBefore) || model == nullptr) return true;
  const Refusal refusal = MessageRefusal(*model);
  if (refusal == Refusal::kNone) return true;
  if (mode == CreationMode::kRestricted) {
    const OperationTexts texts = TextsFor(operation);
    const UINT text = refusal == Refusal::kSize ? texts.size : (ContentDetailHidden() ? texts.contentHidden : texts.content);
    Ask(owner, text, MB_OK);
    return false;
  }
  Ask(owner, refusal == Refusal::kSize ? 40900 : 40899, MB_OK);
  return true;
}
