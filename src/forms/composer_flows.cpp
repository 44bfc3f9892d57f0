// The composer frame's whole-message flows: closing with or without keeping the message, sending,
// previewing, saving as a template, sending as a text message, resetting from the message and the
// content policy's veto. Each flow runs its checks first and leaves the form open when one fails.
#include <algorithm>
#include <string>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/composer_frame.h"
#include "forms/content_check.h"
#include "forms/fixed_dialling.h"
#include "forms/hand_over.h"
#include "forms/message_size.h"
#include "forms/message_submission.h"
#include "forms/read_frame.h"
#include "forms/read_view.h"
#include "forms/template_store.h"
#include "model/device_file.h"
#include "model/drm_handling.h"
#include "platform/kernel/file_api.h"
#include "platform/window/window_styles.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace {

constexpr UINT kSaveChangesText = 40874;
constexpr UINT kSaveForOtherProgramText = 40875;
constexpr UINT kOnlyTextSendAsTextText = 40908;
constexpr UINT kSendAsTextText = 40754;
constexpr UINT kTooManySlidesForTypeText = 41124;
constexpr UINT kGotoneConfirmText = 41123;
constexpr UINT kLockedTemplateText = 40821;
constexpr UINT kTemplateExistsText = 40413;
constexpr UINT kTemplateSavedText = 40361;
constexpr UINT kUnnamedTemplateText = 40272;
constexpr UINT kTemplateTitleText = 40359;
constexpr UINT kPolicyText = 41134;
constexpr UINT kPolicyCaption = 41133;
constexpr LONG kStatusDiscarded = 4;
constexpr LONG kStatusSaved = 2;
constexpr LONG kStoredForSending = 6;
constexpr LPARAM kWithoutQuestion = -1;

bool IsReplyOrForward(DWORD openAction) { return openAction == 1 || openAction == 2 || openAction == 4; }

CString JoinPhoneEntries(const CString& to, const CString& cc, const CString& bcc) {
  CString joined;
  for (const CString* field : {&to, &cc, &bcc}) {
    std::u16string_view rest = field->View();
    while (!rest.empty()) {
      const std::size_t cut = rest.find(u';');
      const std::u16string_view entry = rest.substr(0, cut);
      rest = cut == std::u16string_view::npos ? std::u16string_view() : rest.substr(cut + 1);
      const CString normal = NormaliseRecipientEntry(entry);
      if (normal.IsEmpty() || normal.View().find(u'@') != std::u16string_view::npos) continue;
      if (!IsValidRecipientEntry(normal.View())) continue;
      if (!joined.IsEmpty()) joined += u";";
      joined += normal.View();
    }
  }
  return joined;
}

}  // namespace

int CComposerFrame::Ask(UINT textId, UINT style) {
  CMMSGlobal* global = GetMMSGlobal();
  return global != nullptr ? global->MessageBoxW(GetHandle(), textId, style) : IDCANCEL;
}

void CComposerFrame::DiscardModel() {
  DestroyItems();
  m_editor.reset();
  if (m_binding != nullptr) m_binding->DropModel();
}

LRESULT CComposerFrame::OnClose(WPARAM wParam, LPARAM) {
  Close(LOWORD(wParam));
  return 0;
}

LRESULT CComposerFrame::OnCloseMessage(WPARAM, LPARAM) {
  Close(composer_command::kCloseKeep);
  return 0;
}

bool CComposerFrame::SlideCountCheck() {
  if (GetConfigValue(numeric_setting::kDefineGotoneVersion) == 0 || !m_editor) return true;
  const LONG most = GetConfigValue(numeric_setting::kMaxSlides);
  if (m_editor->Count() <= most) return true;
  CString text;
  text.Format(transport::LoadResourceString(kTooManySlidesForTypeText), m_editor->Count(), static_cast<int>(most));
  if (CMMSGlobal* global = GetMMSGlobal()) global->MessageBoxW(GetHandle(), text.GetString(), MB_OK);
  return false;
}

bool CComposerFrame::KeepChecks() {
  if (!SlideCountCheck() || !VoiceMessageCheck(voice_message_check::kClose)) return false;
  FlushSlideEdits();
  if (m_header->IsChanged()) m_header->Commit();
  if (m_busy) return false;
  if (!m_header->ValidateRecipients(GetHandle())) return false;
  const MessageModel& model = m_editor->Model();
  if (GetConfigValue(numeric_setting::kNeedCheckMsgSize) != 0 && ShowSizeMessage(GetHandle(), MessageSizeOf(model))) {
    return false;
  }
  return CheckMessage(&model, GetHandle(), false, MessageOperation::kSave);
}

void CComposerFrame::Close(WORD command) {
  // An insertion that pumps messages must not find its model gone when it returns.
  if (m_busy) return;
  const bool keepCommand = command == composer_command::kCloseKeep;
  // The person has not started while the kind is still to be chosen: nothing to ask or check.
  if (ClassSelector() != nullptr) {
    WriteBack(false);
    FinishClose();
    return;
  }
  if (!m_header || !m_editor) {
    if (!keepCommand && !m_start.composeMode) m_discard = true;
    FinishClose();
    return;
  }
  bool keep = keepCommand;
  if (!keepCommand) {
    int answer = IDNO;
    if (HasChanges()) {
      const bool plain = m_openAction == 0 || IsReplyOrForward(m_openAction) || m_handedOver;
      answer = Ask(plain ? kSaveChangesText : kSaveForOtherProgramText, MB_YESNOCANCEL | MB_ICONQUESTION);
    }
    if (answer == IDCANCEL) return;
    keep = answer == IDYES;
    if (!keep) {
      if (IsReplyOrForward(m_openAction)) m_outcome.status = kStatusDiscarded;
      WriteBack(false);
      FinishClose();
      return;
    }
  }
  if (!KeepChecks()) return;
  WriteBack(true);
  FinishClose();
}

void CComposerFrame::WriteBack(bool keep) {
  if (GetConfigValue(numeric_setting::kIsSupportCDMA) != 0 && ClassSelector() != nullptr) {
    DiscardModel();
    return;
  }
  if (m_discard) {
    m_outcome.status = kStatusDiscarded;
    DiscardModel();
    return;
  }
  if (m_binding == nullptr || !m_editor || !m_header) return;
  if (keep) {
    m_header->Commit();
    if (m_header->WriteToSite(m_binding->Message(), false)) m_outcome.status = kStatusSaved;
  }
  FlushSlideEdits();
  const bool forwardingStored = (m_start.formKind == 3 || m_start.formKind == 6) && (m_openAction == 4 || m_openAction == 5);
  if (forwardingStored) {
    m_binding->Message().SetState(kStoredForSending);
  } else {
    if (m_header->IsChanged() && m_openAction <= 2) m_editor->SetChanged(true);
    if (keep && m_editor->IsChanged() && m_binding->SaveModel()) m_editor->SetChanged(false);
  }
  DiscardModel();
}

void CComposerFrame::FinishClose() {
  m_closing = true;
  CloseClassSelector();
  CloseTemplateChooser();
  if (m_hostParent != nullptr && ::IsWindow(m_hostParent)) ::PostMessageW(m_hostParent, WM_COMMAND, IDOK, 0);
}

LRESULT CComposerFrame::OnSend(WPARAM, LPARAM) {
  Send();
  return 0;
}

bool CComposerFrame::Send() {
  if (m_busy || !m_header || !m_editor || !VoiceMessageCheck(voice_message_check::kSend)) return false;
  if (m_header->IsChanged()) m_header->Commit();
  if (!m_header->ValidateRecipients(GetHandle())) return false;
  CString to, cc, bcc;
  m_header->GetAddressTexts(to, cc, bcc);
  if (!CheckFixedDialling(GetHandle(), to, cc, bcc)) return false;
  FlushSlideEdits();
  const bool forwardingStored = (m_start.formKind == 3 || m_start.formKind == 6) && (m_openAction == 4 || m_openAction == 5);
  MessageModel& model = m_editor->Model();
  if (!AnyMediaInSlides(model) && CountAttachments(model) == 0 && !forwardingStored) {
    if (Ask(kOnlyTextSendAsTextText, MB_YESNO) == IDYES) {
      PostMessage(WM_COMMAND, composer_command::kSendAsText, kWithoutQuestion);
      return false;
    }
  }
  if (m_binding == nullptr) return false;
  StoreMessage& site = m_binding->Message();
  if (m_start.formKind == 3) {
    site.SetState(kStoredForSending);
    m_header->WriteToSite(site, false);
  } else {
    if (!SlideCountCheck()) return false;
    if (m_openAction != 4 && !DevicePathExists(m_binding->DataFile().View())) m_editor->SetChanged(true);
    m_header->WriteToSite(site, false);
    if (!CheckMessage(&model, GetHandle(), false, MessageOperation::kSend)) return false;
    // A message that cannot be stored must not be handed to the transport as if it had been.
    if (m_editor->IsChanged()) {
      if (!m_binding->SaveModel()) return false;
      m_editor->SetChanged(false);
    }
    const DWORD size = MessageSizeOf(model);
    if (GetConfigValue(numeric_setting::kNeedCheckMsgSize) != 0 && ShowSizeMessage(GetHandle(), size)) return false;
    if (GetConfigValue(numeric_setting::kDefineGotoneVersion) != 0) {
      CString text;
      text.Format(transport::LoadResourceString(kGotoneConfirmText), static_cast<int>((size >> 10) + 1));
      CMMSGlobal* global = GetMMSGlobal();
      if (global == nullptr || global->MessageBoxW(GetHandle(), text.GetString(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return false;
      }
    }
  }
  if (std::unique_ptr<MessageSubmission> submission = CreateSubmission(*m_binding)) {
    DiscardModel();
    m_headerWindow.reset();
    m_header.reset();
    // Only a submission the transport took counts as sent.
    m_outcome.sent = SUCCEEDED(submission->Submit(0));
  }
  FinishClose();
  return m_outcome.sent;
}

LRESULT CComposerFrame::OnPreview(WPARAM, LPARAM) {
  if (!m_editor) return 0;
  HWND focus = ::GetFocus();
  FlushSlideEdits();
  if (m_header && m_header->IsChanged()) m_header->Commit();
  MessageModel& model = m_editor->Model();
  const DWORD size = MessageSizeOf(model);
  if (m_binding != nullptr) m_binding->Message().SetSize(static_cast<LONG>(size));
  if (!HasFreeStorage(0)) {
    Ask(kNoStorageText, MB_OK);
  } else {
    CReadView view(&model, m_binding);
    view.Run(GetHandle());
  }
  RefreshSlide();
  if (m_header && m_binding != nullptr && m_header->IsChanged()) m_header->WriteToSite(m_binding->Message(), true);
  if (focus != nullptr && ::IsWindow(focus)) ::SetFocus(focus);
  return 0;
}

LRESULT CComposerFrame::OnSaveAsTemplate(WPARAM, LPARAM) {
  if (!m_editor || m_binding == nullptr || !SlideCountCheck()) return 0;
  FlushSlideEdits();
  MessageModel& model = m_editor->Model();
  if (m_binding->HasLockedObjects() || std::any_of(model.parts.begin(), model.parts.end(), [](const MediaPart& part) { return part.forwardLock; })) {
    Ask(kLockedTemplateText, MB_ICONASTERISK);
    return 0;
  }
  if (GetConfigValue(numeric_setting::kNeedCheckMsgSize) != 0 && ShowSizeMessage(GetHandle(), MessageSizeOf(model))) {
    return 0;
  }
  if (!CheckMessage(&model, GetHandle(), false, MessageOperation::kTemplate)) return 0;
  TemplateStore store;
  const CString folder = GetFolderSetting(folder_setting::kTemplatePath);
  const CString customName = transport::LoadResourceString(kTemplateTitleText);
  if (!store.Open(folder.GetString(), customName.GetString(), TemplateIndexName(folder.View()).GetString())) return 0;
  CString name;
  if (m_header) {
    if (m_header->IsChanged()) m_header->Commit();
    m_header->GetSubject(name);
  }
  if (name.IsEmpty()) name = transport::LoadResourceString(kUnnamedTemplateText);
  if (store.Find(name.View()) != nullptr) {
    if (Ask(kTemplateExistsText, MB_YESNO) != IDYES) return 0;
    store.Remove(name.View());
  }
  CString preview;
  for (const Slide& slide : model.slides) {
    if (slide.image && slide.image->part != nullptr) {
      preview = model.partFolder + slide.image->part->fileName.View();
      break;
    }
  }
  if (!m_binding->SaveModel()) return 0;
  m_editor->SetChanged(false);
  if (store.Add(name.View(), m_binding->DataFile().GetString(), preview.IsEmpty() ? nullptr : preview.GetString(), 0)) {
    Ask(kTemplateSavedText, MB_OK);
  }
  return 0;
}

LRESULT CComposerFrame::OnSendAsText(WPARAM, LPARAM lParam) {
  if (!m_editor || !m_header) return 0;
  FlushSlideEdits();
  CString to, cc, bcc, subject;
  m_header->GetAddressTexts(to, cc, bcc);
  m_header->GetSubject(subject);
  CString body = subject;
  const int kept = m_editor->Current();
  for (int i = 0; i < m_editor->Count(); ++i) {
    m_editor->GoToSlide(i);
    const CString text = m_editor->SlideText();
    if (text.IsEmpty()) continue;
    if (!body.IsEmpty()) body += u" ";
    body += text.View();
  }
  m_editor->GoToSlide(kept);
  if (lParam != kWithoutQuestion && Ask(kSendAsTextText, MB_YESNO) != IDYES) return 0;
  HandOverStrings strings;
  strings.to = JoinPhoneEntries(to, cc, bcc);
  strings.body = body;
  strings.messageClass = CString(u"IPM.SMStext");
  DiscardModel();
  m_discard = true;
  m_outcome.status = kStatusDiscarded;
  HandOverToComposer(nullptr, strings);
  FinishClose();
  return 0;
}

LRESULT CComposerFrame::OnReset(WPARAM, LPARAM) {
  if (m_binding == nullptr || !m_header) return 0;
  CString to, cc, bcc;
  m_header->GetAddressTexts(to, cc, bcc);
  const std::u16string dataFile(m_binding->DataFile().View());
  DeleteFileW(dataFile.c_str());
  DiscardModel();
  m_binding->Message().SetRecipients(to.View(), cc.View(), bcc.View());
  m_openAction = 0;
  // The reloaded model starts from the message's part folder, emptied of the old objects.
  if (MessageModel* model = m_binding->ModelForComposing()) ResetModel(*model, true);
  m_headerWindow.reset();
  m_header.reset();
  if (!LoadModel()) return 0;
  if (m_headerWindow) {
    ::PostMessageW(m_headerWindow->GetHandle(), WM_HEADER_FOCUS_FIELD, 1,
                   reinterpret_cast<LPARAM>(m_headerWindow->GetDlgItem(header_field::kTo)));
  }
  m_editor->SetChanged(true);
  return 0;
}

LRESULT CComposerFrame::OnPolicyChanged(WPARAM, LPARAM) {
  m_policyChanged = true;
  if (::GetActiveWindow() == GetHandle()) PostMessage(WM_SETFOCUS, 0, 0);
  return 0;
}

LRESULT CComposerFrame::OnPolicyForbids(WPARAM, LPARAM) {
  CString caption = transport::LoadResourceString(kPolicyCaption);
  CString text = transport::LoadResourceString(kPolicyText);
  ::MessageBoxW(GetHandle(), text.GetString(), caption.GetString(), MB_ICONEXCLAMATION);
  WriteBack(true);
  FinishClose();
  return 0;
}
