#include "forms/content_check.h"

#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/image_info.h"
#include "model/drm_handling.h"
#include "platform/text_conversion.h"

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
