// The composer frame in voice-mail mode: the voice-mail item shows the slide's recording, a new
// recording replaces the old voice message, and closing or sending needs a recorded message.
#include <algorithm>
#include <vector>

#include "engines/media_engine_adapter.h"
#include "forms/composer_frame.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace {

constexpr UINT kNotRecordedOnCloseText = 40249;
constexpr UINT kNotRecordedOnSendText = 40250;

}  // namespace

void CComposerFrame::RefreshVoiceMailItem() {
  const Slide& slide = m_editor->CurrentSlide();
  if (!slide.audio || slide.audio->part == nullptr) {
    m_voiceMailItem->ShowRecording(CString(), 0);
    return;
  }
  const CString path = m_editor->Model().partFolder + slide.audio->part->fileName.View();
  int duration = 0;
  if (ULC_AudioEngine* engine = ULC_Global::GetGlobal()->InitAudioInstance()) {
    duration = std::max<int32_t>(0, Audio_GetAudioFileDuration(engine, path));
  }
  m_voiceMailItem->ShowRecording(slide.audio->part->fileName, duration);
  m_voiceMailItem->Toolbar().StopUnless(path);
}

void CComposerFrame::ReleaseOldVoiceMessage(const CString& path) {
  if (path.IsEmpty() || !m_editor) return;
  // A slide must not keep a sound whose file is about to go: the message would name a part it
  // no longer has.
  const std::u16string folder(m_editor->Model().partFolder.View());
  std::vector<int> holding;
  int index = 0;
  for (const Slide& slide : m_editor->Model().slides) {
    if (slide.audio && slide.audio->part != nullptr &&
        platform::EqualsNoCase(folder + std::u16string(slide.audio->part->fileName.View()), path.View())) {
      holding.push_back(index);
    }
    ++index;
  }
  for (int slideIndex : holding) m_editor->RemoveObject(slideIndex, slide_slot::kAudio);
  DeleteFileW(path.GetString());
  RefreshSlide();
}

bool CComposerFrame::VoiceMessageCheck(int operation) {
  if (!m_voiceMailItem || !m_editor || m_editor->Count() == 0) return true;
  if (m_voiceMailItem->HoldsRecording() || !m_voiceMailItem->RecordingName().IsEmpty()) return true;
  if (operation == voice_message_check::kClose && m_header && !m_header->IsChanged()) {
    bool empty = true;
    for (int field : {header_field::kTo, header_field::kCc, header_field::kBcc, header_field::kSubject}) {
      empty = empty && m_header->FieldText(field).IsEmpty();
    }
    if (empty) return true;
  }
  CString text;
  text.Format(transport::LoadResourceString(operation == voice_message_check::kClose ? kNotRecordedOnCloseText
                                                                                     : kNotRecordedOnSendText),
              m_voiceMailItem->TimeText().GetString());
  if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(GetHandle(), text.GetString(), MB_ICONEXCLAMATION);
  return false;
}
