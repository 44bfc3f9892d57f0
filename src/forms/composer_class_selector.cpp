// The composer frame's message-class selector of a CDMA device: the message being composed becomes
// a Flix message (one visual a slide, few slides) or an MMS message, and the frame takes the
// items, slide limit, menus and capture flags of that kind.
#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/cdma_content.h"
#include "forms/composer_frame.h"
#include "transport/mms_global.h"

namespace {

constexpr WPARAM kSelectFlix = 0;
constexpr WPARAM kSelectMms = 1;
constexpr LONG kStatusReclassified = 4;
constexpr DWORD kForwardAction = 4;
constexpr UINT kTypeMismatchText = 40630;

bool SupportsCdma() { return GetConfigValue(numeric_setting::kIsSupportCDMA) != 0; }

int FlixSlideLimit() { return std::max(1, static_cast<int>(GetConfigValue(numeric_setting::kFlixSlideCountLimit))); }

}  // namespace

void CComposerFrame::EvaluateCdmaType() {
  m_cdmaType = cdma_message_type::kUndecided;
  if (!SupportsCdma() || m_start.messageClass.IsEmpty()) return;
  if (m_flixMode) {
    m_cdmaType = cdma_message_type::kFlix;
  } else if (m_start.messageClass == GetConfigString(string_setting::kMMSClassName)) {
    m_cdmaType = cdma_message_type::kMms;
  }
}

// Only a Flix forward can be too much for its kind: an MMS message takes whatever a Flix message
// holds, so an MMS forward of one picture goes ahead. A refused forward writes nothing and closes
// the form the way an opening that cannot go on closes it.
bool CComposerFrame::RefusesForwardedContent() {
  if (!SupportsCdma() || m_openAction != kForwardAction || m_cdmaType != cdma_message_type::kFlix ||
      m_binding == nullptr) {
    return false;
  }
  // A form that closes at once for the opening's own reason has told the person already.
  if (CMMSGlobal* global = GetMMSGlobal(); global != nullptr && global->composeAbort != 0) return false;
  const MessageModel* model = m_binding->ModelForComposing();
  if (model == nullptr || CdmaContentClass(*model, FlixSlideLimit()) == cdma_content::kFitsFlix) return false;
  m_loadRefused = true;
  Ask(kTypeMismatchText, MB_OK | MB_ICONEXCLAMATION);
  m_discard = true;
  m_outcome.status = kStatusReclassified;
  m_binding->DropModel();
  FinishClose();
  return true;
}

void CComposerFrame::OpenClassSelector() {
  if (!SupportsCdma() || m_closing || m_openAction != 0 || !m_start.composeMode || m_voiceMailMode) return;
  if (!m_classSelector) m_classSelector = std::make_unique<CClassSelector>();
  if (!m_classSelector->Open(GetHandle())) {
    m_classSelector.reset();
    return;
  }
  ::SetForegroundWindow(m_classSelector->GetHandle());
  m_classSelector->Focus();
}

void CComposerFrame::CloseClassSelector() {
  if (!m_classSelector) return;
  m_classSelector->Close();
  m_classSelector.reset();
}

LRESULT CComposerFrame::OnClassSelected(WPARAM wParam, LPARAM) {
  if (!SupportsCdma() || (wParam != kSelectFlix && wParam != kSelectMms) || m_binding == nullptr || !m_editor) {
    return 0;
  }
  if (ClassSelector() != nullptr) {
    CloseClassSelector();
    ::SetForegroundWindow(GetHandle());
    PostMessage(WM_SETFOCUS, 0, 0);
  }
  const bool flix = wParam == kSelectFlix;
  FlushSlideEdits();
  m_flixMode = flix;
  m_start.messageClass = GetConfigString(flix ? string_setting::kFlixClassName : string_setting::kMMSClassName);
  StoreMessage& site = m_binding->Message();
  site.SetMessageClassText(m_start.messageClass.View());
  // The account goes with the class: the transport sends a Flix message through the Flix account.
  site.SetAccountName(
      GetConfigString(flix ? string_setting::kFlixAccountName : string_setting::kMMSAccountName).View());
  m_outcome.status = kStatusReclassified;

  // The model stays as the person made it (reading it back from the store would lose what was
  // not saved yet); it only has to fit the new kind, which may take fewer slides.
  SlideEditor& editor = *m_editor;
  const int limit = FlixSlideLimit();
  editor.SetExtraSlideLimit(flix ? limit : 0);
  while (flix && editor.Count() > limit) {
    const int before = editor.Count();
    if (!editor.DeleteSlide(before - 1) || editor.Count() >= before) break;
  }
  EvaluateCdmaType();
  ULC_Global* global = ULC_Global::GetGlobal();
  global->flixFlag = m_cdmaType == cdma_message_type::kFlix ? 1 : 0;
  global->mmsFlag = m_cdmaType == cdma_message_type::kMms ? 1 : 0;

  editor.GoToSlide(0);
  CreateItems();
  LayOut();
  RefreshSlide();
  return 0;
}
