#include "forms/picture_insertion.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engines/image_convert.h"
#include "engines/image_fit.h"
#include "engines/image_info.h"
#include "engines/picture_type.h"
#include "forms/message_size.h"
#include "model/drm_handling.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/temporary_files.h"
#include "platform/text/text_conversion.h"

namespace {

constexpr int kInsertionQuality = 90;
constexpr int kShrinkTries = 8;
// Each try takes at least this much off both sides, so that the tries end even when the encoder
// gains less than the sizes promise.
constexpr double kLargestShrinkStep = 0.9;

std::u16string TemporaryFor(LPCWSTR target) {
  return std::u16string(target) + platform::Utf8ToUtf16(platform::TemporarySuffix());
}

// Moves the finished temporary file to its name; the temporary file never outlives a failure.
bool Publish(const std::u16string& temporary, LPCWSTR target, bool written) {
  if (written && MoveFileExW(temporary.c_str(), target, MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(temporary.c_str());
  return false;
}

bool IsProtected(LPCWSTR path) { return DrmStatus(path, 1, nullptr) != kDrmNotProtected; }

}  // namespace

SIZE InsertionBox(SIZE box, SIZE picture) {
  const bool portrait = picture.cy > picture.cx;
  const bool boxPortrait = box.cy > box.cx;
  return portrait == boxPortrait ? box : SIZE{box.cy, box.cx};
}

bool WritePictureCopy(LPCWSTR source, LPCWSTR target, SIZE box) {
  const std::u16string temporary = TemporaryFor(target);
  // Protected content is never decoded into a file of the clear; it goes over as it came.
  if (IsProtected(source)) return Publish(temporary, target, CopyFileW(source, temporary.c_str(), TRUE) != FALSE);
  const MediaType type = ResolvePictureType(source, media_type::kNone);
  SIZE picture{};
  const bool sized = GetImageInfo(source, &picture, nullptr, type) && picture.cx > 0 && picture.cy > 0;
  const bool scaling = box.cx > 0 && box.cy > 0;
  // A picture nobody could show is not sent on.
  if (!sized && !scaling) return false;
  if (!scaling || (sized && !ExceedsBox(picture.cx, picture.cy, box.cx, box.cy))) {
    return Publish(temporary, target, CopyFileW(source, temporary.c_str(), TRUE) != FALSE);
  }
  const SIZE oriented = sized ? InsertionBox(box, picture) : box;
  return Publish(temporary, target,
                 ResizeImageFile(source, temporary.c_str(), oriented.cx, oriented.cy, kInsertionQuality) != FALSE);
}

LONGLONG PictureBudget(const MessageModel& model, const Slide& slide) {
  LONGLONG budget = static_cast<LONGLONG>(MaxSendSize()) - static_cast<LONGLONG>(MessageSizeOf(model));
  const auto& replaced = slide.image ? slide.image : slide.video;
  if (replaced && replaced->part != nullptr && replaced->part->inSlide == 1) {
    budget += FileSizeForCheck(model.partFolder + replaced->part->fileName.View());
  }
  return budget;
}

bool ShrinkPictureToFit(LPCWSTR source, LPCWSTR target, LONGLONG budget) {
  if (budget <= 0 || IsProtected(source)) return false;
  SIZE current{};
  if (!GetImageInfo(target, &current, nullptr, ResolvePictureType(target, media_type::kNone))) return false;
  LONGLONG size = FileSizeForCheck(target);
  const std::u16string temporary = TemporaryFor(target);
  for (int attempt = 0; attempt < kShrinkTries && size > budget; ++attempt) {
    // The encoded size follows the pixel count, so both sides shrink by the square root.
    const double step = std::min(kLargestShrinkStep, std::sqrt(static_cast<double>(budget) / static_cast<double>(size)));
    const SIZE smaller{std::max<LONG>(1, static_cast<LONG>(current.cx * step)),
                       std::max<LONG>(1, static_cast<LONG>(current.cy * step))};
    if (smaller.cx == current.cx && smaller.cy == current.cy) break;
    if (!ResizeImageFile(source, temporary.c_str(), smaller.cx, smaller.cy, kInsertionQuality)) break;
    const LONGLONG written = FileSizeForCheck(temporary.c_str());
    if (written <= budget) return Publish(temporary, target, true);
    current = smaller;
    size = written;
  }
  DeleteFileW(temporary.c_str());
  return false;
}
