// The composer's last steps of bringing an object into the current slide: the content check,
// the rules of what may share a slide (with the user's say where one object replaces another),
// the copy into the message's part folder, and the object's place in the slide or the message.
#include <string>

#include "forms/composer_frame.h"
#include "forms/content_check.h"
#include "forms/object_file_name.h"
#include "model/device_file.h"
#include "platform/file_api.h"
#include "platform/temporary_files.h"
#include "platform/text_conversion.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"

namespace {

constexpr UINT kVideoReplacesAudioText = 40311;
constexpr UINT kAudioReplacesVideoText = 40312;
constexpr UINT kInsertCapturedPictureText = 40710;
constexpr UINT kInsertCapturedVideoText = 40711;
constexpr UINT kCapturedVideoReplacesAudioText = 40712;
constexpr UINT kPersonalDataCopyFailedText = 40447;
constexpr int kVideoFromPictureCapture = 1;
constexpr int kPictureFromVideoCapture = 2;
constexpr int kMaxNameTries = 1000;

std::u16string FileNameOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"\\/");
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::u16string UniqueName(const std::u16string& folder, std::u16string_view wanted) {
  const std::u16string name(SafeObjectName(wanted).View());
  const std::size_t dot = name.find_last_of(u'.');
  const std::u16string stem = dot == std::u16string::npos ? name : name.substr(0, dot);
  const std::u16string extension = dot == std::u16string::npos ? u"" : name.substr(dot);
  for (int n = 0; n < kMaxNameTries; ++n) {
    std::u16string candidate = n == 0 ? name : stem + u"_" + platform::Utf8ToUtf16(std::to_string(n)) + extension;
    if (!DevicePathExists(folder + candidate)) return candidate;
  }
  return {};
}

}  // namespace

CString CComposerFrame::CopyIntoPartFolder(LPCWSTR path, std::u16string_view name) {
  const std::u16string folder(m_editor->Model().partFolder.View());
  const std::u16string source(path);
  // A file of the part folder is the message's already.
  if (source.size() > folder.size() && platform::EqualsNoCase(std::u16string_view(source).substr(0, folder.size()), folder) &&
      source.find_first_of(u"\\/", folder.size()) == std::u16string::npos) {
    return CString(source.substr(folder.size()));
  }
  const std::u16string unique = UniqueName(folder, name);
  if (unique.empty()) return CString();
  const std::u16string target = folder + unique;
  const std::u16string temporary = target + platform::Utf8ToUtf16(platform::TemporarySuffix());
  if (!CopyFileW(path, temporary.c_str(), TRUE) || !MoveFileExW(temporary.c_str(), target.c_str(), 0)) {
    DeleteFileW(temporary.c_str());
    return CString();
  }
  return CString(unique);
}

bool CComposerFrame::ApplyContentRules(MediaType type) {
  Slide& slide = m_editor->CurrentSlide();
  const DWORD kind = media_type::KindOf(type);
  CMMSGlobal* global = GetMMSGlobal();
  auto ask = [&](UINT text) { return global != nullptr && global->MessageBoxW(GetHandle(), text, MB_YESNO) == IDYES; };
  if (kind == media_type::kVideo) {
    if (slide.audio) {
      if (!ask(m_captureMarker == kVideoFromPictureCapture ? kCapturedVideoReplacesAudioText : kVideoReplacesAudioText)) {
        return false;
      }
      m_editor->RemoveObject(m_editor->Current(), slide_slot::kAudio);
    } else if (m_captureMarker == kVideoFromPictureCapture && !ask(kInsertCapturedVideoText)) {
      return false;
    }
  } else if (kind == media_type::kImage) {
    if (m_captureMarker == kPictureFromVideoCapture && !ask(kInsertCapturedPictureText)) return false;
  } else if (kind == media_type::kAudio && slide.video) {
    if (!ask(kAudioReplacesVideoText)) return false;
    m_editor->RemoveObject(m_editor->Current(), slide_slot::kVideo);
  }
  return true;
}

bool CComposerFrame::InsertObject(LPCWSTR path, MediaType type) {
  if (type == media_type::kInlineText) {
    CString text = m_editor->SlideText();
    text += path;
    return m_editor->SetSlideText(text.View());
  }
  const DWORD kind = media_type::KindOf(type);
  Slide& slide = m_editor->CurrentSlide();
  // The same picture again changes nothing.
  const auto& visual = slide.image;
  if (kind == media_type::kImage && visual && visual->part != nullptr &&
      platform::EqualsNoCase(std::u16string(m_editor->Model().partFolder.View()) + std::u16string(visual->part->fileName.View()),
                             path)) {
    return true;
  }
  const bool replacing = kind == media_type::kImage || kind == media_type::kVideo || kind == media_type::kAudio;
  if (!CheckInsertion(path, type, &m_editor->Model(), &slide, GetHandle(), false)) return false;
  if (replacing && !ApplyContentRules(type)) return false;
  std::u16string wanted = FileNameOf(path);
  if (kind == media_type::kPersonalData) wanted = media_type::FormatOf(type) == 1 ? u"vCard.vcf" : u"vCalendar.vcs";
  const CString name = CopyIntoPartFolder(path, wanted);
  if (name.IsEmpty()) {
    if (kind == media_type::kPersonalData) {
      if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(GetHandle(), kPersonalDataCopyFailedText, MB_OK);
    }
    return false;
  }
  if (kind == media_type::kImage) m_editor->RemoveObject(m_editor->Current(), slide_slot::kVideo);
  if (kind == media_type::kVideo) m_editor->RemoveObject(m_editor->Current(), slide_slot::kPicture);
  if (kind == media_type::kPersonalData || kind == media_type::kGeneric) {
    AddPartOfType(m_editor->Model(), name.View(), type);
    CountAttachments(m_editor->Model());
    m_editor->SetChanged(true);
    return true;
  }
  return m_editor->AddObject(name.View(), type);
}
