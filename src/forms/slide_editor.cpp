#include "forms/slide_editor.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "model/device_file.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/temporary_files.h"
#include "platform/text/text_conversion.h"
#include "forms/slide_layout_chooser.h"

namespace {

constexpr int kFewestSlideChars = 5000;
constexpr DWORD kUtf8MarkBytes = 3;
constexpr LONG kComposedLayoutSize = 100;
// A slide text is at most a few thousand characters; a larger file is not one the editor wrote.
constexpr std::size_t kMaxSlideTextBytes = 1 << 20;
constexpr int kMaxNameTries = 10000;

}  // namespace

int SlideTextLimit() {
  if (GetConfigValue(numeric_setting::kEnableSlideCharsLimit) == 0) return -1;
  return std::max<int>(GetConfigValue(numeric_setting::kMaxCharsInSlide), kFewestSlideChars);
}

DWORD SlideTextSize(std::u16string_view text) {
  if (text.empty()) return 0;
  const int bytes = WideCharToMultiByte(65001, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                                  nullptr, nullptr);
  const DWORD mark = GetConfigValue(numeric_setting::kEnableInsertUTF8BOM) != 0 ? kUtf8MarkBytes : 0;
  return static_cast<DWORD>(std::max(bytes, 0)) + mark;
}

bool SlideHasObject(const Slide& slide) { return slide.image || slide.audio || slide.text || slide.video; }

bool AnyMediaInSlides(const MessageModel& model) {
  return std::any_of(model.slides.begin(), model.slides.end(),
                     [](const Slide& slide) { return slide.image || slide.audio || slide.video; });
}

SlideEditor::SlideEditor(MessageModel& model) : m_model(model) {
  if (m_model.layout.regions.empty()) {
    m_model.layout.width = kComposedLayoutSize;
    m_model.layout.height = kComposedLayoutSize;
    ApplyLayoutCode(m_model.layout, slide_layout::kPictureOnTop);
  }
  if (m_model.slides.empty()) {
    Slide slide = NewSlide();
    slide.duration = DefaultSlideDuration();
    m_model.slides.push_back(slide);
  }
}

SlideList::iterator SlideEditor::IteratorAt(int index) {
  return std::next(m_model.slides.begin(), std::clamp(index, 0, Count()));
}

Slide* SlideEditor::SlideAt(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  return &*IteratorAt(index);
}

Slide& SlideEditor::CurrentSlide() { return *IteratorAt(m_current); }
const Slide& SlideEditor::CurrentSlide() const { return *std::next(m_model.slides.begin(), m_current); }

int SlideEditor::NavigationState() const {
  int state = 0;
  if (m_current > 0) state |= kNavigationPrevious;
  if (m_current + 1 < Count()) state |= kNavigationNext;
  return state;
}

bool SlideEditor::HasRoomForSlide() const {
  if (Count() >= GetConfigValue(numeric_setting::kMaxSlides)) return false;
  return m_extraLimit <= 0 || Count() < m_extraLimit;
}

bool SlideEditor::MayAppendAfterCurrent() const {
  const bool last = m_current + 1 >= Count();
  return HasRoomForSlide() && (SlideHasObject(CurrentSlide()) || !last);
}

bool SlideEditor::GoToSlide(int index) {
  if (index < 0 || index >= Count() || index == m_current) return false;
  m_current = index;
  return true;
}

bool SlideEditor::PreviousSlide() {
  if (m_current <= 0) return false;
  if (m_current + 1 < Count()) {
    --m_current;
    return true;
  }
  bool deleted = false;
  while (m_current > 0 && !SlideHasObject(CurrentSlide())) {
    m_model.slides.erase(IteratorAt(m_current));
    --m_current;
    deleted = true;
  }
  if (deleted) {
    m_changed = true;
  } else {
    --m_current;
  }
  return true;
}

bool SlideEditor::NextSlide() {
  if (m_current + 1 < Count()) {
    ++m_current;
    return true;
  }
  if (!MayAppendAfterCurrent()) return false;
  Slide slide = NewSlide();
  slide.duration = DefaultSlideDuration();
  m_model.slides.push_back(slide);
  ++m_current;
  m_changed = true;
  return true;
}

bool SlideEditor::AddSlide() {
  if (!HasRoomForSlide()) return false;
  Slide slide = NewSlide();
  slide.duration = DefaultSlideDuration();
  const bool beforeSignature = GetConfigValue(numeric_setting::kSignatureInLastSlide) != 0 && m_signature &&
                               m_current + 1 == Count();
  if (beforeSignature) {
    m_model.slides.insert(IteratorAt(m_current), slide);
  } else {
    m_model.slides.insert(IteratorAt(m_current + 1), slide);
    ++m_current;
  }
  m_changed = true;
  return true;
}

bool SlideEditor::DeleteSlide(int index) {
  Slide* slide = SlideAt(index);
  if (slide == nullptr) return false;
  for (int slot : {slide_slot::kPicture, slide_slot::kAudio, slide_slot::kText, slide_slot::kVideo}) {
    if (Slot(*slide, slot) && !RemoveObject(index, slot)) return false;
  }
  if (GetConfigValue(numeric_setting::kSignatureInLastSlide) != 0 && m_signature && index + 1 == Count()) {
    m_signature = false;
  }
  if (Count() > 1) m_model.slides.erase(IteratorAt(index));
  m_changed = true;
  if (m_current >= Count()) m_current = Count() - 1;
  return true;
}

std::optional<MediaRef>& SlideEditor::Slot(Slide& slide, int slot) {
  switch (slot) {
    case slide_slot::kPicture: return slide.image;
    case slide_slot::kAudio: return slide.audio;
    case slide_slot::kText: return slide.text;
    default: return slide.video;
  }
}

void SlideEditor::ReleaseUnusedPart(MediaPart* part) {
  if (part == nullptr || part->inSlide > 0) return;
  auto found = std::find_if(m_model.parts.begin(), m_model.parts.end(),
                            [part](const MediaPart& candidate) { return &candidate == part; });
  if (found == m_model.parts.end()) return;
  // A part no slide uses would otherwise go out as an attachment the user removed.
  const std::u16string path = std::u16string(m_model.partFolder.View()) + std::u16string(found->fileName.View());
  RemovePart(m_model, found);
  DeleteFileW(path.c_str());
  CountAttachments(m_model);
}

bool SlideEditor::RemoveObject(int slideIndex, int slot) {
  Slide* slide = SlideAt(slideIndex);
  if (slide == nullptr || slot < slide_slot::kPicture || slot > slide_slot::kVideo) return false;
  std::optional<MediaRef>& reference = Slot(*slide, slot);
  if (!reference) return true;
  MediaPart* part = reference->part;
  ClearReference(reference);
  ReleaseUnusedPart(part);
  m_changed = true;
  return true;
}

void SlideEditor::SetBackgroundColor(COLORREF color) {
  m_model.layout.backgroundColor = color;
  CurrentSlide().style.backgroundColor = color;
  CurrentSlide().style.backgroundColorGiven = true;
  m_changed = true;
}

CString SlideEditor::SlideText() const {
  const Slide& slide = CurrentSlide();
  if (!slide.text || slide.text->part == nullptr) return CString();
  const std::u16string path = std::u16string(m_model.partFolder.View()) + std::u16string(slide.text->part->fileName.View());
  const FileReadResult read = ReadDeviceFile(path, kMaxSlideTextBytes);
  if (read.status != FileReadStatus::kOk) return CString();
  std::string_view bytes = read.bytes;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return CString(text);
  }
  return CString(platform::Utf8ToUtf16(bytes));
}

CString SlideEditor::NewPartName(std::u16string_view stem, std::u16string_view extension) const {
  for (int n = 0; n < kMaxNameTries; ++n) {
    std::u16string name(stem);
    if (n > 0) name += platform::Utf8ToUtf16(std::to_string(n));
    name += extension;
    const bool taken = std::any_of(m_model.parts.begin(), m_model.parts.end(), [&](const MediaPart& part) {
      return platform::EqualsNoCase(part.fileName.View(), name);
    });
    if (!taken && !DevicePathExists(std::u16string(m_model.partFolder.View()) + name)) return CString(name);
  }
  return CString();
}

bool SlideEditor::WriteTextFile(const std::u16string& name, std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  const std::u16string path = std::u16string(m_model.partFolder.View()) + name;
  const std::u16string temporary = path + platform::Utf8ToUtf16(platform::TemporarySuffix());
  if (!WriteDeviceFile(temporary, bytes)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

bool SlideEditor::SetSlideText(std::u16string_view text) {
  Slide& slide = CurrentSlide();
  if (text.empty()) return RemoveObject(m_current, slide_slot::kText);
  const int limit = SlideTextLimit();
  if (limit >= 0 && text.size() > static_cast<std::size_t>(limit)) text = text.substr(0, static_cast<std::size_t>(limit));
  if (slide.text && slide.text->part != nullptr && SlideText().View() == text) return true;
  MediaPart* old = slide.text ? slide.text->part : nullptr;
  // Markup text stays the file the message brought, rewritten in place; plain text gets a new file
  // so that a part another slide still uses keeps its words.
  const bool inPlace = old != nullptr && old->type == media_type::kMarkupText;
  const CString name = inPlace ? old->fileName : NewPartName(u"text", u".txt");
  if (name.IsEmpty() || !WriteTextFile(std::u16string(name.View()), text)) return false;
  if (inPlace) {
    old->receivedSize = SlideTextSize(text);
  } else {
    auto part = AddPartOfType(m_model, name.View(), media_type::kPlainText);
    part->receivedSize = SlideTextSize(text);
    ClearReference(slide.text);
    ReleaseUnusedPart(old);
    SetReference(slide.text, MediaRef{RegionKind::kText, 0, 0, &*part, nullptr});
    CountAttachments(m_model);
  }
  m_changed = true;
  return true;
}

bool SlideEditor::AddObject(std::u16string_view fileName, MediaType type) {
  const DWORD kind = media_type::KindOf(type);
  Slide& slide = CurrentSlide();
  std::optional<MediaRef>* slot = nullptr;
  switch (kind) {
    case media_type::kImage: slot = &slide.image; break;
    case media_type::kAudio: slot = &slide.audio; break;
    case media_type::kText: slot = &slide.text; break;
    case media_type::kVideo: slot = &slide.video; break;
    default: break;
  }
  auto existing = std::find_if(m_model.parts.begin(), m_model.parts.end(), [&](const MediaPart& part) {
    return platform::EqualsNoCase(part.fileName.View(), fileName);
  });
  auto part = existing != m_model.parts.end() ? existing : AddPartOfType(m_model, fileName, type);
  if (slot != nullptr) {
    MediaPart* old = *slot ? (*slot)->part : nullptr;
    const RegionKind role = kind == media_type::kText ? RegionKind::kText : RegionKind::kImage;
    SetReference(*slot, MediaRef{role, 0, 0, &*part, nullptr});
    if (old != &*part) ReleaseUnusedPart(old);
  }
  CountAttachments(m_model);
  m_changed = true;
  return true;
}

bool SlideEditor::AddSignatureSlide(std::u16string_view text, bool markAsSignature) {
  if (text.empty() || !HasRoomForSlide()) return false;
  const int kept = m_current;
  Slide slide = NewSlide();
  slide.duration = DefaultSlideDuration();
  m_model.slides.push_back(slide);
  m_current = Count() - 1;
  if (!SetSlideText(text)) {
    m_model.slides.pop_back();
    m_current = kept;
    return false;
  }
  m_current = kept;
  if (markAsSignature) m_signature = true;
  return true;
}
