// The default builder (one slide per media part) and what both builders share.
#include <algorithm>
#include <limits>
#include <new>
#include <string>

#include "presentation/slide_builder.h"

namespace {

constexpr LONG kDefaultLayoutSize = 100;

// The slot of a slide that a part of this kind fills, and the role it plays there; nothing for
// kinds that get no slide (personal data, generic attachments).
std::optional<std::optional<MediaRef> Slide::*> SlotFor(DWORD kind, RegionKind& role) {
  role = RegionKind::kImage;
  switch (kind) {
    case media_type::kImage: return &Slide::image;
    case media_type::kAudio: return &Slide::audio;
    case media_type::kVideo: return &Slide::video;
    case media_type::kText: role = RegionKind::kText; return &Slide::text;
    default: return std::nullopt;
  }
}

void AppendPartSlides(std::u16string_view partFolder, SlideList& slides, PartList& parts,
                      const MediaLengthSource& lengths) {
  const DWORD defaultDuration = DefaultSlideDuration();
  for (MediaPart& part : parts) {
    RegionKind role = RegionKind::kImage;
    const auto slot = SlotFor(media_type::KindOf(part.type), role);
    if (!slot) {
      continue;
    }
    DWORD duration = defaultDuration;
    if (role == RegionKind::kImage) {
      const std::optional<DWORD> length = lengths.LengthOf(PartPath(partFolder, part), part.type);
      duration = std::max(duration, length.value_or(0));
    }
    duration = std::min<DWORD>(duration, std::numeric_limits<LONG>::max());
    Slide& slide = slides.emplace_back();
    slide.duration = duration;
    SetReference(slide.*(*slot), MediaRef{role, 0, static_cast<LONG>(duration), &part, nullptr});
  }
}

}  // namespace

void SetDefaultRegions(MessageLayout& layout) {
  const LONG split = layout.height * 2 / 3;
  layout.regions = {
      LayoutRegion{RegionKind::kImage, 0, 0, layout.width, split, RegionFit::kMeet},
      LayoutRegion{RegionKind::kText, 0, split, layout.width, layout.height, RegionFit::kMeet},
  };
}

bool BuildDefaultSlides(std::u16string_view partFolder, MessageLayout& layout, SlideList& slides, PartList& parts,
                        const MediaLengthSource& lengths) {
  const std::size_t kept = slides.size();
  try {
    layout = MessageLayout{};
    layout.width = kDefaultLayoutSize;
    layout.height = kDefaultLayoutSize;
    SetDefaultRegions(layout);
    AppendPartSlides(partFolder, slides, parts, lengths);
    return true;
  } catch (const std::bad_alloc&) {
    while (slides.size() > kept) {
      Slide& slide = slides.back();
      for (std::optional<MediaRef>* slot : {&slide.image, &slide.text, &slide.audio, &slide.video}) {
        ClearReference(*slot);
      }
      slides.pop_back();
    }
    layout = MessageLayout{};
    return false;
  }
}

std::u16string PartPath(std::u16string_view partFolder, const MediaPart& part) {
  std::u16string path(partFolder);
  if (!path.empty() && path.back() != u'\\' && path.back() != u'/') {
    path += u'\\';
  }
  path += part.fileName.View();
  return path;
}

std::string_view DescribeSlideBuildStatus(SlideBuildStatus status) {
  switch (status) {
    case SlideBuildStatus::kOk: return "built from the presentation";
    case SlideBuildStatus::kNoPresentation: return "the presentation is missing, too large or not XML";
    case SlideBuildStatus::kTooManyRegions: return "the presentation has more than two regions";
    case SlideBuildStatus::kRegionWithoutId: return "a region has no id";
    case SlideBuildStatus::kBodyNodeNotPar: return "a top-level body node is not a par";
    case SlideBuildStatus::kTooManyChildren: return "a par holds more than three elements";
    case SlideBuildStatus::kNestedContainer: return "a par holds a time container";
    case SlideBuildStatus::kSourceNotFound: return "a src names no part of the message";
    case SlideBuildStatus::kSlotTaken: return "a par holds two elements of one media kind";
    case SlideBuildStatus::kNoPartFolder: return "a par without dur and no part folder to measure media in";
    case SlideBuildStatus::kOutOfMemory: return "out of memory";
  }
  return "unknown";
}
