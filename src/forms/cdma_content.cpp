#include "forms/cdma_content.h"

#include <algorithm>

namespace {

// A slide's video leaves its image and audio references unused, so only a slide without one can
// carry a sound or a second visual.
bool SlideFitsFlix(const Slide& slide) {
  if (slide.video) return !slide.image;
  return !slide.audio;
}

bool SlideIsEmpty(const Slide& slide) { return !slide.image && !slide.text && !slide.audio && !slide.video; }

}  // namespace

int CdmaContentClass(const MessageModel& model, int flixSlideLimit) {
  const bool attachment =
      std::any_of(model.parts.begin(), model.parts.end(), [](const MediaPart& part) { return part.inSlide == 0; });
  if (!attachment && std::all_of(model.slides.begin(), model.slides.end(), SlideIsEmpty)) {
    return cdma_content::kEmpty;
  }
  if (attachment || static_cast<int>(model.slides.size()) > flixSlideLimit) return cdma_content::kNeedsMms;
  const bool fits = std::all_of(model.slides.begin(), model.slides.end(), SlideFitsFlix);
  return fits ? cdma_content::kFitsFlix : cdma_content::kNeedsMms;
}
