// The slide list as the slide sorter changes it: the current slide, adding, deleting and moving
// slides, and the slide durations within their limits. Objects of a deleted slide are released
// through the model, so that no part stays behind unused or is left pointed at.
#pragma once

#include <optional>

#include "model/media_length.h"
#include "model/message_model.h"

// The whole seconds a duration is shown as: (ms + 500) / 1000.
int ShownSeconds(DWORD milliseconds);

class SlideSorting {
 public:
  // `signature`: the last slide is the signature slide. The lengths measure the natural durations.
  SlideSorting(MessageModel& model, int current, bool signature, const MediaLengthSource& lengths);

  int count() const { return static_cast<int>(m_model.slides.size()); }
  int current() const { return m_current; }
  const Slide& slide(int index) const;
  const MessageModel& model() const { return m_model; }
  // Something was changed since the sorter opened.
  bool changed() const { return m_changed; }
  // The signature slide is still there and still the last one.
  bool SignatureKept() const;

  // Makes the slide current; an index outside the list is ignored.
  void Select(int index);

  // The current slide can go: there is another slide, or it holds an object.
  bool CanDeleteCurrent() const;
  bool CanMoveLater() const { return m_current + 1 < count(); }
  bool CanMoveEarlier() const { return m_current > 0; }

  // A new slide of the default duration after the current one, which it becomes. With
  // SignatureInLastSlide, while the signature slide is current, the new slide goes before it.
  void AddAfterCurrent();
  // Removes the current slide; the only slide is emptied and its durations reset instead.
  void DeleteCurrent();
  // Moves the current slide to `index` (it stays current there); false when nothing moves.
  bool MoveCurrentTo(int index);

  // The slide's natural duration (measured once per slide and kept) and the longest offered.
  DWORD NaturalDuration(int index) const;
  DWORD LongestDuration(int index) const;
  // One second shorter (never below the slide's minimum) or longer (never above the longest
  // offered); false when the slide is already at that limit.
  bool StepDuration(int index, bool longer);
  // Back to the natural duration.
  void ResetDuration(int index);
  // Whether the duration may still go down and up.
  bool AtShortest(int index) const;
  bool AtLongest(int index) const;

 private:
  SlideList::iterator At(int index);
  SlideList::const_iterator At(int index) const;
  void ReleaseObjects(Slide& slide);
  void Forget(const Slide& slide) const;

  MessageModel& m_model;
  const MediaLengthSource& m_lengths;
  int m_current = 0;
  bool m_changed = false;
  std::optional<SlideList::iterator> m_signature;
  // Natural durations by slide, measured on first use; a slide's entry goes when its objects do.
  mutable std::vector<std::pair<const Slide*, DWORD>> m_natural;
};
