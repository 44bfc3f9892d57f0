// The composer's insert commands: each opens its picker (files, texts, the call history, the
// emoticons, the text editor, the camera or the recorder) with the busy flag set, and what the
// person obtains goes into the current slide as a device file or as text.
#include <algorithm>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "engines/camera_capture.h"
#include "engines/media_engine_adapter.h"
#include "forms/cdma_content.h"
#include "forms/composer_frame.h"
#include "forms/composer_recording.h"
#include "forms/emoticon_picker.h"
#include "forms/media_picker.h"
#include "forms/picture_insertion.h"
#include "forms/message_size.h"
#include "forms/recorder_dialog.h"
#include "forms/text_edit_window.h"
#include "forms/text_list_picker.h"
#include "model/device_file.h"
#include "model/drm_handling.h"
#include "platform/controls/control_messages.h"
#include "platform/kernel/file_api.h"
#include "platform/phone/call_log.h"
#include "platform/shell/camera_capture.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace {

constexpr UINT kVisualPickerTitle = 40409;
constexpr UINT kAudioPickerTitle = 40255;
constexpr UINT kCallHistoryTitle = 40410;
constexpr UINT kCapturePictureTitle = 40411;
constexpr UINT kCaptureVideoTitle = 40412;
constexpr UINT kFormattedTextText = 40000;
constexpr UINT kNoCameraText = 41290;
constexpr UINT kRecordRowText = 41291;
constexpr UINT kTextEditorTitle = 41292;
constexpr UINT kAttachmentPickerTitle = 41293;
constexpr UINT kSipInfo = 224;
constexpr DWORD kMarkupTextFormat = 9;

std::u16string FolderOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u'\\');
  return slash == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, slash + 1));
}

DWORD DeviceFileSize(const std::u16string& path) {
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  FindClose(find);
  return data.nFileSizeHigh != 0 ? 0xFFFFFFFF : data.nFileSizeLow;
}

void ShowMessage(HWND owner, UINT textId, UINT style) {
  if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(owner, textId, style);
}

// The calls that have a number, newest first, as the phone library hands them out.
std::vector<std::pair<CString, CString>> CallsWithNumbers() {
  std::vector<std::pair<CString, CString>> calls;
  HANDLE log = nullptr;
  if (FAILED(PhoneOpenCallLog(&log))) return calls;
  CALLLOGENTRY entry{};
  entry.cbSize = sizeof entry;
  while (calls.size() < platform::phone::kMaxCalls && PhoneGetCallLogEntry(log, &entry) == S_OK) {
    if (entry.pszNumber != nullptr && *entry.pszNumber != 0) {
      calls.emplace_back(CString(entry.pszName != nullptr ? entry.pszName : u""), CString(entry.pszNumber));
    }
    entry.cbSize = sizeof entry;
  }
  PhoneCloseCallLog(log);
  return calls;
}

}  // namespace

int CComposerFrame::CdmaMessageType() const { return m_cdmaType; }

template <typename Action>
void CComposerFrame::RunInsert(Action action) {
  // Insertions pump messages while their picker is open: a second one, a close or a send waits.
  if (!m_editor || m_busy) return;
  FlushSlideEdits();
  m_busy = true;
  action();
  m_busy = false;
  m_captureMarker = 0;
  RefreshSlide();
  SendMessage(WM_SETTINGCHANGE, kSipInfo, 0);
}

void CComposerFrame::AddObtained(LPCWSTR path, MediaType type) {
  AddDeviceFile(path, type);
  // The insertion clears the flag when it is done; the command that obtained the object is not.
  m_busy = true;
}

LRESULT CComposerFrame::OnInsertVisual(WPARAM, LPARAM) {
  RunInsert([this] {
    MediaPickerRequest request;
    request.title = transport::LoadResourceString(kVisualPickerTitle);
    request.startFolder = GetLastFolder(last_folder::kCurVisualPath);
    switch (CdmaMessageType()) {
      case cdma_message_type::kFlix:
        request.filter = GetConfigString(string_setting::kVideoFilter);
        request.filter += GetConfigString(string_setting::kMediaPlayerSupportFilter).View();
        break;
      case cdma_message_type::kMms: request.filter = GetConfigString(string_setting::kImageFilter); break;
      default:
        request.filter = GetConfigString(string_setting::kImageFilter);
        request.filter += GetConfigString(string_setting::kVideoFilter).View();
        break;
    }
    if (GetConfigMask(2, kCapturePictureMask) != 0) {
      request.captureText = transport::LoadResourceString(kCapturePictureTitle);
    }
    CMediaPickerDialog picker(std::move(request));
    const MediaPickerResult result = picker.Run(GetHandle());
    if (result.outcome == MediaPickerResult::Outcome::kCapture) {
      Capture(false);
      return;
    }
    if (result.outcome != MediaPickerResult::Outcome::kFile) return;
    AddObtained(result.path.GetString(), media_type::kNone);
    if (m_start.composeMode == 1) SetLastFolder(last_folder::kCurVisualPath, result.folder.GetString(), TRUE);
  });
  return 0;
}

LRESULT CComposerFrame::OnInsertAudio(WPARAM, LPARAM) {
  RunInsert([this] {
    MediaPickerRequest request;
    request.title = transport::LoadResourceString(kAudioPickerTitle);
    request.startFolder = GetLastFolder(last_folder::kCurSoundPath);
    request.filter = GetConfigString(string_setting::kAudioFilter);
    request.captureText = transport::LoadResourceString(kRecordRowText);
    CMediaPickerDialog picker(std::move(request));
    const MediaPickerResult result = picker.Run(GetHandle());
    if (result.outcome == MediaPickerResult::Outcome::kCapture) {
      RecordAudio();
      return;
    }
    if (result.outcome != MediaPickerResult::Outcome::kFile) return;
    AddObtained(result.path.GetString(), media_type::kNone);
    if (m_start.composeMode == 1) SetLastFolder(last_folder::kCurSoundPath, result.folder.GetString(), TRUE);
  });
  return 0;
}

LRESULT CComposerFrame::OnStartAction(WPARAM, LPARAM) {
  if (m_start.composeMode || !m_editor) return 0;
  switch (m_start.startAction) {
    case start_action::kPictureOrVideo: OnInsertVisual(0, 0); break;
    case start_action::kAudio: OnInsertAudio(0, 0); break;
    case start_action::kContactCard:
    case start_action::kCalendarEntry:
      PostMessage(composer_message::kInsertPersonalData, static_cast<WPARAM>(m_start.startAction), 0);
      break;
    case start_action::kAttachment: InsertAttachment(); break;
    default: break;
  }
  return 0;
}

// Any file of the device, added to the message's attachments rather than to a slide.
void CComposerFrame::InsertAttachment() {
  RunInsert([this] {
    MediaPickerRequest request;
    request.title = transport::LoadResourceString(kAttachmentPickerTitle);
    request.startFolder = GetLastFolder(last_folder::kCurGenericPath);
    request.filter = GetConfigString(string_setting::kFilterForGenericObjPickerShow);
    if (request.filter.IsEmpty()) request.filter = CString(u"*");
    CMediaPickerDialog picker(std::move(request));
    const MediaPickerResult result = picker.Run(GetHandle());
    if (result.outcome == MediaPickerResult::Outcome::kFile) {
      AddObtained(result.path.GetString(), media_type::kGenericByExtension);
    }
  });
}

RecordToolbarTarget CComposerFrame::RecordingTarget() const {
  const MessageModel& model = m_editor->Model();
  const Slide& slide = m_editor->CurrentSlide();
  DWORD currentAudio = 0;
  if (slide.audio && slide.audio->part != nullptr) {
    currentAudio = DeviceFileSize(std::u16string(model.partFolder.View()) + std::u16string(slide.audio->part->fileName.View()));
  }
  RecordToolbarTarget target;
  target.limit = InsertAudioBudget(MaxSendSize(), MessageSizeOf(model), currentAudio);
  const std::u16string folder(model.partFolder.View());
  const LONG recordType = GetConfigValue(numeric_setting::kRecordType);
  target.path = CString(m_voiceMailMode ? VoiceMessagePath(folder, recordType) : RecordingPath(folder, recordType));
  return target;
}

RecordToolbarTarget CComposerFrame::NewRecordingTarget() {
  RecordToolbarTarget target = RecordingTarget();
  if (m_voiceMailMode) {
    ReleaseOldVoiceMessage(target.path);
    // The old message no longer counts against the room for the new one.
    target = RecordingTarget();
  }
  return target;
}

void CComposerFrame::RecordAudio() {
  const RecordToolbarTarget target = NewRecordingTarget();
  if (target.path.IsEmpty()) return;
  if (std::optional<CString> recorded = RecordVoiceClip(GetHandle(), target.path, target.limit)) {
    AddObtained(recorded->GetString(), media_type::kNone);
  }
}

RecordToolbarTarget CComposerFrame::BeginRecording() {
  // A recording started while another insertion runs, or the form closes, would lose one of them.
  if (!m_editor || m_busy || m_closing) return {};
  FlushSlideEdits();
  m_busy = true;
  return NewRecordingTarget();
}

void CComposerFrame::RecordingEnded() { m_busy = false; }

void CComposerFrame::InsertRecording(const CString& path) {
  RunInsert([this, &path] { AddObtained(path.GetString(), media_type::kNone); });
}

RecordToolbarSound CComposerFrame::SlideSound() {
  RecordToolbarSound sound;
  if (!m_editor) return sound;
  const Slide& slide = m_editor->CurrentSlide();
  if (!slide.audio || slide.audio->part == nullptr) return sound;
  sound.path = m_editor->Model().partFolder + slide.audio->part->fileName.View();
  sound.protectedContent = DrmStatus(sound.path, 1, nullptr) != kDrmNotProtected;
  if (ULC_AudioEngine* engine = ULC_Global::GetGlobal()->InitAudioInstance()) {
    sound.duration = std::max<int32_t>(0, Audio_GetAudioFileDuration(engine, sound.path));
  }
  return sound;
}

void CComposerFrame::ShowSoundProgress(int position, int duration) {
  if (m_audioItem) m_audioItem->ShowProgress(position, duration);
  if (m_voiceMailItem) m_voiceMailItem->ShowProgress(position, duration);
}

void CComposerFrame::Capture(bool video) {
  const CString folder = GetFolderSetting(video ? folder_setting::kVideoPath : folder_setting::kPicturePath);
  const CString title = transport::LoadResourceString(video ? kCaptureVideoTitle : kCapturePictureTitle);
  DWORD timeLimit = 0;
  if (video) {
    const LONGLONG budget = PictureBudget(m_editor->Model(), m_editor->CurrentSlide());
    const std::optional<DWORD> seconds = VideoCaptureSeconds(budget);
    if (!seconds) {
      // The camera would record without a limit; what it took could not go into the message.
      ShowSizeAgainstLimit(GetHandle(), static_cast<DWORD>(std::clamp<LONGLONG>(MaxSendSize() - budget, 0, 0xFFFFFFFF)));
      return;
    }
    timeLimit = *seconds;
  }
  const CameraCaptureParameters parameters = video ? VideoCaptureParameters(timeLimit) : StillCaptureParameters();
  SHCAMERACAPTURE capture{};
  capture.cbSize = sizeof capture;
  capture.hwndOwner = GetHandle();
  capture.pszInitialDir = folder.GetString();
  capture.pszTitle = title.GetString();
  capture.StillQuality = parameters.stillQuality;
  capture.VideoTypes = parameters.videoType;
  capture.nResolutionWidth = static_cast<DWORD>(parameters.resolutionWidth);
  capture.nResolutionHeight = static_cast<DWORD>(parameters.resolutionHeight);
  capture.nVideoTimeLimit = parameters.videoTimeLimit;
  capture.Mode = parameters.mode;
  if (FAILED(SHCameraCapture(&capture)) || capture.szFile[0] == 0) {
    ShowMessage(GetHandle(), kNoCameraText, MB_ICONEXCLAMATION);
    return;
  }
  const MediaType type = TypeOfFile(capture.szFile, true);
  const DWORD kind = media_type::KindOf(type);
  if (!video && kind == media_type::kVideo) m_captureMarker = capture_marker::kVideoFromPictureCapture;
  if (video && kind == media_type::kImage) m_captureMarker = capture_marker::kPictureFromVideoCapture;
  AddObtained(capture.szFile, type);
  SetLastFolder(last_folder::kCurVisualPath, FolderOf(capture.szFile).c_str(), TRUE);
}

LRESULT CComposerFrame::OnCapture(WPARAM wParam, LPARAM) {
  const bool video = LOWORD(wParam) == composer_command::kCaptureVideo;
  RunInsert([this, video] { Capture(video); });
  return 0;
}

LRESULT CComposerFrame::OnEditText(WPARAM, LPARAM) {
  RunInsert([this] {
    const Slide& slide = m_editor->CurrentSlide();
    if (slide.text && slide.text->part != nullptr && media_type::FormatOf(slide.text->part->type) == kMarkupTextFormat) {
      ShowMessage(GetHandle(), kFormattedTextText, MB_ICONEXCLAMATION);
      return;
    }
    CTextEditWindow editor(transport::LoadResourceString(kTextEditorTitle), m_editor->SlideText());
    std::optional<CString> edited = editor.Run(GetHandle());
    if (!edited) return;
    // The edited text takes the place of the slide's text rather than adding to it.
    m_editor->SetSlideText(u"");
    if (!edited->IsEmpty()) AddObtained(edited->GetString(), media_type::kInlineText);
  });
  return 0;
}

LRESULT CComposerFrame::OnInsertEmoticon(WPARAM, LPARAM) {
  RunInsert([this] {
    CString text;
    if (RunEmoticonPicker(GetHandle(), &text) && !text.IsEmpty()) AddObtained(text.GetString(), media_type::kInlineText);
  });
  return 0;
}

LRESULT CComposerFrame::OnInsertListText(WPARAM, LPARAM) {
  RunInsert([this] {
    const std::vector<CString> texts = ListTexts();
    CTextListPickerDialog picker(transport::LoadResourceString(kListTextTitle), texts);
    if (const std::optional<std::size_t> chosen = picker.Run(GetHandle())) {
      AddObtained(texts[*chosen].GetString(), media_type::kInlineText);
    }
  });
  return 0;
}

LRESULT CComposerFrame::OnInsertCallNumber(WPARAM, LPARAM) {
  // A recipient field of the header with the focus takes the number as one more recipient, with
  // the checks a picked contact gets; the field is noted before the picker takes the focus.
  const int field = m_headerWindow ? m_headerWindow->FocusedAddressField() : 0;
  RunInsert([this, field] {
    const std::vector<std::pair<CString, CString>> calls = CallsWithNumbers();
    std::vector<CString> rows;
    for (const auto& [name, number] : calls) {
      CString row(name.IsEmpty() ? number : name);
      if (!name.IsEmpty()) row += u" " + std::u16string(number.View());
      rows.push_back(std::move(row));
    }
    CTextListPickerDialog picker(transport::LoadResourceString(kCallHistoryTitle), rows);
    const std::optional<std::size_t> chosen = picker.Run(GetHandle());
    if (!chosen) return;
    const auto& [name, number] = calls[*chosen];
    HWND edit = field != 0 ? m_headerWindow->GetDlgItem(field) : nullptr;
    if (edit != nullptr) {
      ::SetFocus(edit);
      m_headerWindow->InsertIntoFocusedField(number, name);
      return;
    }
    CString address;
    address.Format(u"\"%s\"<%s>", name.GetString(), number.GetString());
    AddObtained(address.GetString(), media_type::kInlineText);
  });
  return 0;
}
