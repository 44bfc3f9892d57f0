#include "forms/slide_sorting.h"

#include <algorithm>
#include <iterator>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/slide_durations.h"

namespace {

constexpr DWORD kSecond = 1000;

bool HoldsObject(const Slide& slide) { return slide.image || slide.text || slide.audio || slide.video; }

}  // namespace

int ShownSeconds(DWORD milliseconds) { return static_cast<int>((static_cast<unsigned long long>(milliseconds) + 500) / 1000); }

SlideSorting::SlideSorting(MessageModel& model, int current, bool signature, const MediaLengthSource& lengths)
    : m_model(model), m_lengths(lengths) {
  m_current = count() == 0 ? 0 : std::clamp(current, 0, count() - 1);
  if (signature && count() > 0) m_signature = std::prev(m_model.slides.end());
}

SlideList::iterator SlideSorting::At(int index) { return std::next(m_model.slides.begin(), index); }

SlideList::const_iterator SlideSorting::At(int index) const { return std::next(m_model.slides.begin(), index); }

const Slide& SlideSorting::slide(int index) const { return *At(std::clamp(index, 0, count() - 1)); }

bool SlideSorting::SignatureKept() const {
  return m_signature.has_value() && *m_signature == std::prev(m_model.slides.end());
}

void SlideSorting::Select(int index) {
  if (index >= 0 && index < count()) m_current = index;
}

bool SlideSorting::CanDeleteCurrent() const { return count() > 1 || (count() == 1 && HoldsObject(slide(0))); }

void SlideSorting::AddAfterCurrent() {
  Slide added = NewSlide();
  added.duration = DefaultSlideDuration();
  if (count() == 0) {
    m_model.slides.push_back(added);
    m_current = 0;
  } else {
    const bool beforeSignature = GetConfigValue(numeric_setting::kSignatureInLastSlide) != 0 && m_signature &&
                                 *m_signature == At(m_current) && SignatureKept();
    if (beforeSignature) {
      m_model.slides.insert(At(m_current), added);
    } else {
      m_model.slides.insert(std::next(At(m_current)), added);
      ++m_current;
    }
  }
  m_changed = true;
}

// Each object goes through the model: a part that no other slide uses is removed with it, one
// that another slide still shows only loses this use.
void SlideSorting::ReleaseObjects(Slide& slide) {
  for (std::optional<MediaRef>* slot : {&slide.image, &slide.text, &slide.audio, &slide.video}) {
    if (!*slot) continue;
    MediaPart* part = (*slot)->part;
    auto owned = std::find_if(m_model.parts.begin(), m_model.parts.end(),
                              [part](const MediaPart& candidate) { return &candidate == part; });
    if (owned == m_model.parts.end()) {
      // A reference to no part of this model counts no use here to give back.
      slot->reset();
    } else if (owned->inSlide <= 1) {
      RemovePart(m_model, owned);
    } else {
      ClearReference(*slot);
    }
  }
  CountAttachments(m_model);
}

void SlideSorting::Forget(const Slide& slide) const {
  std::erase_if(m_natural, [&slide](const auto& entry) { return entry.first == &slide; });
}

void SlideSorting::DeleteCurrent() {
  if (count() == 0) return;
  const SlideList::iterator doomed = At(m_current);
  ReleaseObjects(*doomed);
  Forget(*doomed);
  if (m_signature && *m_signature == doomed) m_signature.reset();
  if (count() > 1) {
    m_model.slides.erase(doomed);
    if (m_current >= count()) m_current = count() - 1;
  } else {
    doomed->duration = DefaultSlideDuration();
    doomed->minimumDuration = Slide{}.minimumDuration;
  }
  m_changed = true;
}

bool SlideSorting::MoveCurrentTo(int index) {
  if (count() < 2 || index < 0 || index >= count() || index == m_current) return false;
  const SlideList::iterator moving = At(m_current);
  // Past the target when moving down, so that the slide ends up at `index` once it has left its place.
  const SlideList::iterator before = index > m_current ? std::next(At(index)) : At(index);
  m_model.slides.splice(before, m_model.slides, moving);
  m_current = index;
  m_changed = true;
  return true;
}

DWORD SlideSorting::NaturalDuration(int index) const {
  const Slide& shown = slide(index);
  for (const auto& [known, natural] : m_natural) {
    if (known == &shown) return natural;
  }
  const DWORD natural = NaturalSlideDuration(shown, m_model.partFolder, m_lengths);
  m_natural.emplace_back(&shown, natural);
  return natural;
}

DWORD SlideSorting::LongestDuration(int index) const { return LongestOfferedDuration(NaturalDuration(index)); }

bool SlideSorting::AtShortest(int index) const { return slide(index).duration <= slide(index).minimumDuration; }

bool SlideSorting::AtLongest(int index) const { return slide(index).duration >= LongestDuration(index); }

bool SlideSorting::StepDuration(int index, bool longer) {
  if (index < 0 || index >= count()) return false;
  Slide& changing = *At(index);
  const auto seconds = static_cast<DWORD>(ShownSeconds(changing.duration));
  if (longer) {
    if (AtLongest(index)) return false;
    changing.duration = std::min((seconds + 1) * kSecond, LongestDuration(index));
  } else {
    if (AtShortest(index)) return false;
    changing.duration = std::max(seconds > 0 ? (seconds - 1) * kSecond : 0, changing.minimumDuration);
  }
  m_changed = true;
  return true;
}

void SlideSorting::ResetDuration(int index) {
  if (index < 0 || index >= count()) return;
  Slide& changing = *At(index);
  const DWORD natural = NaturalDuration(index);
  if (changing.duration == natural) return;
  changing.duration = natural;
  m_changed = true;
}
