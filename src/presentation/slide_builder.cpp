#include "presentation/slide_builder.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>

#include "presentation/part_reference.h"
#include "presentation/smil_values.h"
#include "platform/text/text_conversion.h"

namespace {

constexpr std::size_t kMaxParChildren = 3;
constexpr std::size_t kMaxReferenceLength = MAX_PATH - 1;
constexpr LONG kDefaultLayoutSize = 100;

LONG ClampTime(long long value) {
  return static_cast<LONG>(std::clamp<long long>(value, 0, std::numeric_limits<LONG>::max()));
}

using platform::EqualsNoCase;

// Which role (Image or Text) the media elements give each region of the presentation.
class RegionRoleTable {
 public:
  void AddRegion(std::string_view id) { m_ids[m_count++] = std::string(id.substr(0, kMaxReferenceLength)); }

  // Without a region name the role takes the slot of its own number.
  void Assign(std::string_view region, RegionKind role) {
    if (region.empty()) {
      m_roles[static_cast<std::size_t>(role)] = role;
      return;
    }
    for (std::size_t i = 0; i < m_count; ++i) {
      if (EqualsNoCase(m_ids[i], region)) {
        m_roles[i] = role;
      }
    }
  }

  void ApplyTo(MessageLayout& layout) const {
    for (std::size_t i = 0; i < layout.regions.size() && i < m_roles.size(); ++i) {
      if (m_roles[i]) {
        layout.regions[i].kind = *m_roles[i];
      }
    }
  }

 private:
  std::array<std::string, kMaxLayoutRegions> m_ids;
  std::size_t m_count = 0;
  std::array<std::optional<RegionKind>, kMaxLayoutRegions> m_roles;
};

class SlideBuilder {
 public:
  SlideBuilder(PartList& parts, std::u16string_view partFolder, const MediaLengthSource& lengths)
      : m_parts(parts), m_folder(partFolder), m_lengths(lengths) {}

  SlideBuildStatus Layout(const SmilPresentation& presentation, MessageLayout& layout);
  SlideBuildStatus Slides(const SmilPresentation& presentation, SlideList& slides);
  void ApplyRoles(MessageLayout& layout) const { m_roles.ApplyTo(layout); }

 private:
  SlideBuildStatus Convert(const SmilMedia& media, Slide& slide);
  SlideBuildStatus SetDuration(const SmilNode& par, Slide& slide) const;
  void ApplyTextStyle(const SmilMedia& media, MediaPart& part) const;
  long long Played(const std::optional<MediaRef>& reference, bool measure) const;

  PartList& m_parts;
  std::u16string_view m_folder;
  const MediaLengthSource& m_lengths;
  RegionRoleTable m_roles;
  COLORREF m_background = kWhite;
  const Slide m_blankSlide = NewSlide();  // the configured duration, read once per presentation
};

SlideBuildStatus SlideBuilder::Layout(const SmilPresentation& presentation, MessageLayout& layout) {
  const SmilRootLayout root = presentation.rootLayout.value_or(SmilRootLayout{});
  layout.width = root.width != 0 ? root.width : kDefaultLayoutSize;
  layout.height = root.height != 0 ? root.height : kDefaultLayoutSize;
  layout.backgroundColor = m_background = ParseSmilColor(root.backgroundColor);
  if (presentation.regions.size() > kMaxLayoutRegions) {
    return SlideBuildStatus::kTooManyRegions;
  }
  if (presentation.regions.empty()) {
    SetDefaultRegions(layout);
    return SlideBuildStatus::kOk;
  }
  layout.regions.clear();
  for (std::size_t i = 0; i < presentation.regions.size(); ++i) {
    const SmilRegion& source = presentation.regions[i];
    if (source.id.empty()) {
      return SlideBuildStatus::kRegionWithoutId;
    }
    m_roles.AddRegion(source.id);
    LayoutRegion region;
    region.kind = static_cast<RegionKind>(i);
    region.left = ResolveLength(source.left, layout.width);
    region.top = ResolveLength(source.top, layout.height);
    // A region without a size reaches the edge of the root layout.
    const LONG width = ResolveLength(source.width, layout.width);
    const LONG height = ResolveLength(source.height, layout.height);
    region.right = width != 0 ? region.left + width : layout.width;
    region.bottom = height != 0 ? region.top + height : layout.height;
    region.fit = static_cast<RegionFit>(source.fit);
    layout.regions.push_back(region);
  }
  return SlideBuildStatus::kOk;
}

SlideBuildStatus SlideBuilder::Slides(const SmilPresentation& presentation, SlideList& slides) {
  for (const SmilNode& node : presentation.body) {
    if (node.nodeClass != SmilNodeClass::kContainer || node.containerKind != SmilContainerKind::kPar) {
      return SlideBuildStatus::kBodyNodeNotPar;
    }
    if (node.children.size() > kMaxParChildren) {
      return SlideBuildStatus::kTooManyChildren;
    }
    // The slide joins the list at once, so that a failure part-way leaves its references where the
    // caller's reset releases them.
    Slide& slide = slides.emplace_back(m_blankSlide);
    for (const SmilNode& child : node.children) {
      if (child.nodeClass != SmilNodeClass::kMedia) {
        return SlideBuildStatus::kNestedContainer;
      }
      if (const SlideBuildStatus status = Convert(child.media, slide); status != SlideBuildStatus::kOk) {
        return status;
      }
    }
    if (const SlideBuildStatus status = SetDuration(node, slide); status != SlideBuildStatus::kOk) {
      return status;
    }
  }
  return SlideBuildStatus::kOk;
}

SlideBuildStatus SlideBuilder::Convert(const SmilMedia& media, Slide& slide) {
  MediaPart* alternative = nullptr;
  if (!media.alt.empty() && media.alt.size() <= kMaxReferenceLength) {
    alternative = FindReferencedPart(m_parts, media.alt);
  }
  if (media.src.empty() || media.src.size() > kMaxReferenceLength) {
    return SlideBuildStatus::kOk;
  }
  MediaPart* part = FindReferencedPart(m_parts, media.src);
  if (part == nullptr) {
    return SlideBuildStatus::kSourceNotFound;
  }
  std::optional<MediaRef>* target = nullptr;
  RegionKind role = RegionKind::kImage;
  switch (media.kind) {
    case SmilMediaKind::kImage:
      if (slide.video) return SlideBuildStatus::kOk;
      m_roles.Assign(media.region, RegionKind::kImage);
      target = &slide.image;
      break;
    case SmilMediaKind::kText:
      m_roles.Assign(media.region, RegionKind::kText);
      target = &slide.text;
      role = RegionKind::kText;
      break;
    case SmilMediaKind::kAudio:
      if (slide.video) return SlideBuildStatus::kOk;
      target = &slide.audio;
      break;
    case SmilMediaKind::kVideo:
      ClearReference(slide.image);
      ClearReference(slide.audio);
      m_roles.Assign(media.region, RegionKind::kImage);
      target = &slide.video;
      break;
    default:
      return SlideBuildStatus::kOk;
  }
  if (target->has_value()) {
    return SlideBuildStatus::kSlotTaken;
  }
  const long long begin = media.begin;
  long long end = 0;
  if (media.end != 0 && media.dur != 0) {
    end = std::min<long long>(media.end, begin + media.dur);
  } else if (media.end != 0) {
    end = media.end;
  } else if (media.dur != 0) {
    end = begin + media.dur;
  }
  SetReference(*target, MediaRef{role, media.begin, ClampTime(end), part, alternative});
  if (media.kind == SmilMediaKind::kText) {
    ApplyTextStyle(media, *part);
  }
  return SlideBuildStatus::kOk;
}

void SlideBuilder::ApplyTextStyle(const SmilMedia& media, MediaPart& part) const {
  TextStyle style;
  style.textColorGiven = !media.fontColor.empty();
  style.textColor = style.textColorGiven ? ParseTextStyleColor(media.fontColor) : 0;
  style.backgroundColorGiven = !media.backgroundColor.empty();
  style.backgroundColor = style.backgroundColorGiven ? ParseTextStyleColor(media.backgroundColor) : m_background;
  style.fontSizeGiven = media.fontSize != 0;
  style.fontSize = style.fontSizeGiven ? media.fontSize : TextStyle{}.fontSize;
  part.style = style;
}

// How long a reference plays: its end when given, else its begin plus the length of its media.
long long SlideBuilder::Played(const std::optional<MediaRef>& reference, bool measure) const {
  if (!reference || reference->part == nullptr) {
    return 0;
  }
  if (reference->end != 0) {
    return reference->end;
  }
  const std::optional<DWORD> length =
      measure ? m_lengths.LengthOf(PartPath(m_folder, *reference->part), reference->part->type) : std::nullopt;
  return static_cast<long long>(reference->begin) + length.value_or(0);
}

SlideBuildStatus SlideBuilder::SetDuration(const SmilNode& par, Slide& slide) const {
  if (par.timing && par.timing->dur > 0) {
    slide.duration = static_cast<DWORD>(par.timing->dur);
    return SlideBuildStatus::kOk;
  }
  if (m_folder.empty()) {
    return SlideBuildStatus::kNoPartFolder;
  }
  const long long longest = std::max({static_cast<long long>(DefaultSlideDuration()), Played(slide.audio, true),
                                      Played(slide.image, true), Played(slide.video, true), Played(slide.text, false)});
  slide.duration = static_cast<DWORD>(ClampTime(longest));
  return SlideBuildStatus::kOk;
}

}  // namespace

SlideBuildStatus BuildSlidesFromPresentation(const SmilPresentation& presentation, MessageLayout& layout,
                                             SlideList& slides, PartList& parts, std::u16string_view partFolder,
                                             const MediaLengthSource& lengths) {
  try {
    SlideBuilder builder(parts, partFolder, lengths);
    SlideBuildStatus status = builder.Layout(presentation, layout);
    if (status == SlideBuildStatus::kOk) {
      status = builder.Slides(presentation, slides);
    }
    if (status == SlideBuildStatus::kOk) {
      builder.ApplyRoles(layout);
    }
    return status;
  } catch (const std::bad_alloc&) {
    return SlideBuildStatus::kOutOfMemory;
  }
}

SlideBuildStatus BuildSlides(std::u16string_view smilPath, MessageLayout& layout, SlideList& slides, PartList& parts,
                             std::u16string_view partFolder, const MediaLengthSource& lengths) {
  try {
    const std::optional<SmilPresentation> presentation = LoadPresentation(smilPath);
    if (!presentation) {
      return SlideBuildStatus::kNoPresentation;
    }
    return BuildSlidesFromPresentation(*presentation, layout, slides, parts, partFolder, lengths);
  } catch (const std::bad_alloc&) {
    return SlideBuildStatus::kOutOfMemory;
  }
}
