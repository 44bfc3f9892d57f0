// SlideEditor: the composer's changes to the slide list of a message model. It keeps the current
// slide, the changed flag and the signature flag beside the borrowed model, moves between slides,
// adds and deletes them under the slide limits, removes objects, and writes the slide text as a
// text part of the message. It draws nothing: the frame refreshes its windows after each change.
#pragma once

#include <string_view>

#include "model/message_model.h"
#include "platform/text/cstring.h"
#include "platform/win_types.h"

// The object slots of a slide as the frame's commands address them.
namespace slide_slot {
constexpr int kPicture = 1;
constexpr int kAudio = 2;
constexpr int kText = 3;
constexpr int kVideo = 4;
}  // namespace slide_slot

// Bit 0: a slide before the current one; bit 1: a slide after it. 3 without a model.
constexpr int kNavigationPrevious = 1;
constexpr int kNavigationNext = 2;

// The most characters a slide text may hold, -1 for no limit: with EnableSlideCharsLimit, the
// MaxCharsInSlide setting but never fewer than 5000.
int SlideTextLimit();
// The bytes the text weighs in the message: its UTF-8 length, plus 3 with EnableInsertUTF8BOM.
DWORD SlideTextSize(std::u16string_view text);
bool SlideHasObject(const Slide& slide);
// Whether any slide of the model holds a picture, audio or video (text does not count).
bool AnyMediaInSlides(const MessageModel& model);

class SlideEditor {
 public:
  // The model is borrowed; an empty one gets its first slide with the default duration.
  explicit SlideEditor(MessageModel& model);

  MessageModel& Model() { return m_model; }
  const MessageModel& Model() const { return m_model; }
  int Current() const { return m_current; }
  int Count() const { return static_cast<int>(m_model.slides.size()); }
  Slide& CurrentSlide();
  const Slide& CurrentSlide() const;
  Slide* SlideAt(int index);
  bool IsChanged() const { return m_changed; }
  void SetChanged(bool changed) { m_changed = changed; }
  bool SignatureFlag() const { return m_signature; }
  void SetSignatureFlag(bool signature) { m_signature = signature; }
  // A second ceiling on the slide count (a Flix message's), 0 for none.
  void SetExtraSlideLimit(int limit) { m_extraLimit = limit; }
  int NavigationState() const;

  // Whether the slide count leaves room for one more slide.
  bool HasRoomForSlide() const;
  // Whether a slide may follow the current one: room, and the current slide holds an object or
  // is not the last.
  bool MayAppendAfterCurrent() const;

  // false when the index is current or beyond the last slide.
  bool GoToSlide(int index);
  // Leaving an empty last slide backwards drops it and the empty slides before it.
  bool PreviousSlide();
  // The next slide, or a new one appended after the last when one may follow.
  bool NextSlide();
  // A slide after the current one (before it when the current one is the signature slide); false
  // when the slide count is at its limit.
  bool AddSlide();
  // Empties the slide, and removes it while the message has more than one slide.
  bool DeleteSlide(int index);
  // Removes the object of one slot; the part and its file go when no slide uses them any more.
  bool RemoveObject(int slideIndex, int slot);
  // The background of the model and of the current slide.
  void SetBackgroundColor(COLORREF color);

  // The current slide's text; empty when it has none or its file cannot be read.
  CString SlideText() const;
  // Stores the text as the current slide's text object (UTF-16LE with a byte-order mark); an
  // empty text removes it. false when the file cannot be written.
  bool SetSlideText(std::u16string_view text);
  // Adds a part of the part folder to the current slide in the slot its type asks for.
  bool AddObject(std::u16string_view fileName, MediaType type);
  // Appends the signature slide with the text; false when the text is empty or there is no room.
  bool AddSignatureSlide(std::u16string_view text, bool markAsSignature);

 private:
  std::optional<MediaRef>& Slot(Slide& slide, int slot);
  void ReleaseUnusedPart(MediaPart* part);
  SlideList::iterator IteratorAt(int index);
  bool WriteTextFile(const std::u16string& name, std::u16string_view text);
  CString NewPartName(std::u16string_view stem, std::u16string_view extension) const;

  MessageModel& m_model;
  int m_current = 0;
  bool m_changed = false;
  bool m_signature = false;
  int m_extraLimit = 0;
};
