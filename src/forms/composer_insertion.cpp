// The composer's steps of bringing an object into the current slide: a sound-only video offered as
// a sound, pictures scaled and held to the room left in the message, the content check, the rules
// of what may share a slide (with the user's say where one object replaces another), the copy into
// the message's part folder, and the object's place in the slide or the message.
#include <cstdint>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/image_fit.h"
#include "engines/media_engine_adapter.h"
#include "forms/audio_only_dialog.h"
#include "forms/composer_frame.h"
#include "forms/content_check.h"
#include "forms/message_size.h"
#include "forms/picture_insertion.h"
#include "forms/shrink_offer_dialog.h"
#include "forms/object_file_name.h"
#include "model/device_file.h"
#include "model/drm_handling.h"
#include "platform/kernel/file_api.h"
#include "platform/kernel/temporary_files.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"

namespace {

constexpr UINT kVideoReplacesAudioText = 40311;
constexpr UINT kAudioReplacesVideoText = 40312;
constexpr UINT kInsertCapturedPictureText = 40710;
constexpr UINT kInsertCapturedVideoText = 40711;
constexpr UINT kCapturedVideoReplacesAudioText = 40712;
constexpr UINT kPersonalDataCopyFailedText = 40447;
constexpr UINT kUnreadablePictureText = 41260;
constexpr UINT kCannotShrinkText = 41262;
constexpr int kMaxNameTries = 1000;
constexpr DWORD kSvgFormat = 6;

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

// The sound format of the same container: MP4, MPEG-4, 3GPP and 3GPP2 videos; 0 for the others.
DWORD SoundFormatOfVideo(DWORD videoFormat) {
  switch (videoFormat) {
    case 1: return 12;
    case 4: return 13;
    case 5: return 11;
    case 6: return 14;
    default: return 0;
  }
}

// The engine answers a first-frame request for a file that plays but shows nothing with its
// no-still marker.
bool HoldsOnlySound(LPCWSTR path) {
  ULC_Global* global = ULC_Global::GetGlobal();
  // An engine made only for this question is not kept.
  const bool madeHere = !global->videoEngine;
  ULC_VideoEngine* engine = global->InitVideoInstance();
  if (engine == nullptr) return false;
  SIZE box{1, 1};
  DibImage* frame = Video_LoadFirstFrame(engine, path, &box);
  const bool soundOnly = frame == reinterpret_cast<DibImage*>(static_cast<intptr_t>(-1));
  FreeDibImage(frame);
  if (madeHere) global->UninitVideoInstance();
  return soundOnly;
}

bool IsFileOfPart(const MessageModel& model, const MediaPart& part, std::u16string_view path) {
  return platform::EqualsNoCase(std::u16string(model.partFolder.View()) + std::u16string(part.fileName.View()), path) ||
         (!part.sourcePath.IsEmpty() && platform::EqualsNoCase(part.sourcePath.View(), path));
}

const MediaPart* FindPartOfFile(const MessageModel& model, std::u16string_view path) {
  for (const MediaPart& part : model.parts) {
    if (IsFileOfPart(model, part, path)) return &part;
  }
  return nullptr;
}

MediaPart* FindPartNamed(MessageModel& model, std::u16string_view name) {
  for (MediaPart& part : model.parts) {
    if (platform::EqualsNoCase(part.fileName.View(), name)) return &part;
  }
  return nullptr;
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
      if (!ask(m_captureMarker == capture_marker::kVideoFromPictureCapture ? kCapturedVideoReplacesAudioText : kVideoReplacesAudioText)) {
        return false;
      }
      m_editor->RemoveObject(m_editor->Current(), slide_slot::kAudio);
    } else if (m_captureMarker == capture_marker::kVideoFromPictureCapture && !ask(kInsertCapturedVideoText)) {
      return false;
    }
  } else if (kind == media_type::kImage) {
    if (m_captureMarker == capture_marker::kPictureFromVideoCapture && !ask(kInsertCapturedPictureText)) return false;
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
  const std::optional<MediaType> offered = OfferVideoAsSound(path, type);
  if (!offered) return false;
  type = *offered;
  const DWORD kind = media_type::KindOf(type);
  if (kind == media_type::kImage && media_type::FormatOf(type) != kSvgFormat) return InsertPicture(path, type);
  Slide& slide = m_editor->CurrentSlide();
  const bool replacing = kind == media_type::kVideo || kind == media_type::kAudio;
  if (!CheckInsertion(path, type, &m_editor->Model(), &slide, GetHandle(), false)) return false;
  if (replacing && !ApplyContentRules(type)) return false;
  std::u16string wanted = FileNameOf(path);
  if (kind == media_type::kPersonalData) wanted = media_type::FormatOf(type) == 1 ? u"vCard.vcf" : u"vCalendar.vcs";
  const CString name = CopyIntoPartFolder(path, wanted);
  if (name.IsEmpty()) {
    if (kind == media_type::kPersonalData) Tell(kPersonalDataCopyFailedText);
    return false;
  }
  // The new sound takes the slot only once the old one is gone, file and all when unused.
  if (kind == media_type::kAudio && slide.audio && slide.audio->part != nullptr &&
      !platform::EqualsNoCase(slide.audio->part->fileName.View(), name.View())) {
    m_editor->RemoveObject(m_editor->Current(), slide_slot::kAudio);
  }
  if (kind == media_type::kVideo) m_editor->RemoveObject(m_editor->Current(), slide_slot::kPicture);
  if (kind == media_type::kPersonalData || kind == media_type::kGeneric) {
    AddPartOfType(m_editor->Model(), name.View(), type);
    CountAttachments(m_editor->Model());
    m_editor->SetChanged(true);
    return true;
  }
  return m_editor->AddObject(name.View(), type);
}

bool CComposerFrame::InsertPicture(LPCWSTR path, MediaType type) {
  if (!m_editor || path == nullptr || *path == 0) return false;
  MessageModel& model = m_editor->Model();
  Slide& slide = m_editor->CurrentSlide();
  if (slide.image && slide.image->part != nullptr && IsFileOfPart(model, *slide.image->part, path)) return true;
  if (const MediaPart* used = FindPartOfFile(model, path)) {
    const CString name = used->fileName;
    const CString partPath = model.partFolder + name.View();
    if (!CheckInsertion(partPath, type, &model, &slide, GetHandle(), false) || !ApplyContentRules(type)) return false;
    m_editor->RemoveObject(m_editor->Current(), slide_slot::kVideo);
    return m_editor->AddObject(name.View(), type);
  }
  const std::u16string folder(model.partFolder.View());
  const std::u16string name = UniqueName(folder, FileNameOf(path));
  if (name.empty()) {
    Tell(kPersonalDataCopyFailedText);
    return false;
  }
  const std::u16string copy = folder + name;
  if (!WritePictureCopy(path, copy.c_str(), GetDefaultResolution())) {
    Tell(kUnreadablePictureText);
    return false;
  }
  auto discard = [&copy] {
    DeleteFileW(copy.c_str());
    return false;
  };
  if (DrmStatus(path, 1, nullptr) == kDrmNotProtected && !FitBudget(path, copy.c_str())) return discard();
  if (!CheckInsertion(copy.c_str(), type, &model, &slide, GetHandle(), false) || !ApplyContentRules(type)) return discard();
  m_editor->RemoveObject(m_editor->Current(), slide_slot::kVideo);
  if (!m_editor->AddObject(name, type)) return discard();
  if (MediaPart* part = FindPartNamed(model, name)) part->sourcePath = CString(path);
  return true;
}

bool CComposerFrame::FitBudget(LPCWSTR source, LPCWSTR copy) {
  const LONGLONG budget = PictureBudget(m_editor->Model(), m_editor->CurrentSlide());
  const DWORD size = FileSizeForCheck(copy);
  if (budget <= 0 || size <= budget) return true;
  CShrinkOfferDialog offer(size, static_cast<DWORD>(budget));
  if (offer.Run(GetHandle()) != IDOK) return false;
  if (ShrinkPictureToFit(source, copy, budget)) return true;
  Tell(kCannotShrinkText);
  return false;
}

std::optional<MediaType> CComposerFrame::OfferVideoAsSound(LPCWSTR path, MediaType type) {
  if (media_type::KindOf(type) != media_type::kVideo || GetConfigValue(numeric_setting::kIsSupportCDMA) != 0) return type;
  const DWORD soundFormat = SoundFormatOfVideo(media_type::FormatOf(type));
  if (soundFormat == 0 || !HoldsOnlySound(path)) return type;
  CAudioOnlyDialog dialog;
  switch (dialog.Run(GetHandle())) {
    case kSendAsSoundButton: return media_type::Make(media_type::kAudio, soundFormat);
    case kKeepAsVideoButton: return type;
    // Backing out of the question inserts neither.
    default: return std::nullopt;
  }
}

std::u16string CComposerFrame::UniquePartName(std::u16string_view wanted) const {
  return UniqueName(std::u16string(m_editor->Model().partFolder.View()), wanted);
}

void CComposerFrame::Tell(UINT textId) {
  if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(GetHandle(), textId, MB_OK);
}
