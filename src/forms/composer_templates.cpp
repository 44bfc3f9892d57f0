// The composer frame's side of the templates: when a new message offers the chooser, the
// templates command that offers it again, and applying what the chooser gave: a stored template
// copied over the message's data file and loaded, or the custom entry's empty message. The
// recipients typed so far stay in every case.
#include <algorithm>

#include "config/setting_numbers.h"
#include "config/settings.h"
#include "device/wait_cursor.h"
#include "forms/composer_frame.h"
#include "model/message_model.h"
#include "platform/controls/control_messages.h"
#include "platform/kernel/file_api.h"
#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"

namespace {

constexpr UINT kReplaceWithTemplateText = 40358;
constexpr UINT kUnnamedTemplateText = 40272;
constexpr LONG kStatusSaved = 2;
constexpr LONG kStatusReloaded = 4;

// The header's texts, kept while the model and the header are made anew.
struct TypedHeader {
  CString to, cc, bcc, subject;
};

}  // namespace

bool CComposerFrame::OffersTemplates() {
  if (m_closing || m_binding == nullptr || !m_start.composeMode || m_openAction != 0) return false;
  if (m_chooser && m_chooser->IsOpen()) return false;
  StoreMessage& site = m_binding->Message();
  if (!site.ToList().IsEmpty() || !site.CcList().IsEmpty() || !site.BccList().IsEmpty() ||
      !site.Subject().IsEmpty()) {
    return false;
  }
  // A file another program handed over is what the message is for.
  if (!ULC_Global::GetGlobal()->importedFile.IsEmpty()) return false;
  if (GetConfigValue(numeric_setting::kAlwaysChooseCustom) != 0) return false;
  const CString mmsClass = GetConfigString(string_setting::kMMSClassName);
  if (mmsClass.IsEmpty() || !platform::EqualsNoCase(mmsClass.View(), m_start.messageClass.View())) return false;
  return GetConfigValue(numeric_setting::kIsSupportCDMA) == 0 || m_flixMode;
}

bool CComposerFrame::OpenTemplateChooser() {
  // The chooser lowers the input panel; a chosen template or a cancel gives the person's state back.
  SHSaveInputPanelState(GetHandle());
  if (!m_chooser) m_chooser = std::make_unique<CTemplateChooser>();
  if (!m_chooser->Open(GetHandle())) {
    m_chooser.reset();
    return false;
  }
  ::SetForegroundWindow(m_chooser->GetHandle());
  return true;
}

bool CComposerFrame::CloseTemplateChooser() {
  if (!m_chooser) return true;
  if (!m_chooser->Close()) return false;
  m_chooser.reset();
  return true;
}

void CComposerFrame::ShowLoaded() {
  CloseTemplateChooser();
  ShowWindow(SW_SHOW);
  ::SetForegroundWindow(GetHandle());
  if (!m_shownOnce) PostMessage(composer_message::kFirstShow, 0, 0);
}

LRESULT CComposerFrame::OnTemplates(WPARAM, LPARAM) {
  if (m_binding == nullptr || m_busy || (m_chooser && m_chooser->IsOpen())) return 0;
  if (Ask(kReplaceWithTemplateText, MB_OKCANCEL) != IDOK) return 0;
  DiscardModel();
  if (!OpenTemplateChooser()) ReloadFromSite(nullptr);
  return 0;
}

// The model and the header made anew from the message site; with `subject` the site's subject
// becomes it, and the recipients become what the header held.
bool CComposerFrame::ReloadFromSite(const CString* subject) {
  TypedHeader typed;
  if (m_header) {
    m_header->GetAddressTexts(typed.to, typed.cc, typed.bcc);
    m_header->GetSubject(typed.subject);
  }
  DestroyItems();
  m_editor.reset();
  m_binding->DropModel();
  StoreMessage& site = m_binding->Message();
  if (m_header) {
    site.SetRecipients(typed.to.View(), typed.cc.View(), typed.bcc.View());
    site.SetSubject(subject != nullptr ? subject->View() : typed.subject.View());
  } else if (subject != nullptr) {
    site.SetSubject(subject->View());
  }
  m_headerWindow.reset();
  m_header.reset();
  if (LoadModel()) return true;
  // A data file that does not load leaves the message empty rather than the form without one.
  const std::u16string dataFile(m_binding->DataFile().View());
  DeleteFileW(dataFile.c_str());
  m_binding->DropModel();
  return LoadModel();
}

LRESULT CComposerFrame::OnTemplateChosen(WPARAM, LPARAM lParam) {
  if (!m_chooser || !m_chooser->Chosen() || m_binding == nullptr) return 0;
  WaitCursorHold wait;
  const TemplateEntry chosen = *m_chooser->Chosen();
  // The custom entry stands for an empty message: its name is no subject.
  CString subject = chosen.flag == 1 ? CString() : chosen.name;
  const CString unnamed = transport::LoadResourceString(kUnnamedTemplateText);
  if (!unnamed.IsEmpty() && subject.View().ends_with(unnamed.View())) subject.Empty();
  const std::u16string dataFile(m_binding->DataFile().View());
  if (chosen.messageFile.IsEmpty()) {
    DeleteFileW(dataFile.c_str());
  } else {
    m_outcome.status = kStatusSaved;
    // A template whose file is gone gives an empty message, not the old one under its name.
    if (!CopyFileW(chosen.messageFile, dataFile.c_str(), FALSE)) {
      DeleteFileW(dataFile.c_str());
      subject.Empty();
    }
  }
  if (!CloseTemplateChooser()) {
    m_outcome.status = lParam != 0 ? kStatusSaved : kStatusReloaded;
    DeleteFileW(dataFile.c_str());
    return 0;
  }
  m_outcome.status = kStatusReloaded;
  if (!ReloadFromSite(&subject)) {
    SHRestoreInputPanelState(GetHandle());
    ShowLoaded();
    return 0;
  }
  const MessageModel& model = m_editor->Model();
  if (std::any_of(model.slides.begin(), model.slides.end(), SlideHasObject)) m_editor->SetChanged(true);
  if (m_headerWindow) {
    ::PostMessageW(m_headerWindow->GetHandle(), WM_HEADER_FOCUS_FIELD, 1,
                   reinterpret_cast<LPARAM>(m_headerWindow->GetDlgItem(header_field::kTo)));
  }
  // The header is made anew with the message: the frame's state stands for the whole form.
  SHRestoreInputPanelState(GetHandle());
  ShowLoaded();
  return 0;
}

LRESULT CComposerFrame::OnTemplateCancelled(WPARAM, LPARAM) {
  if (!m_chooser) return 0;
  CloseTemplateChooser();
  if (m_closing) return 0;
  // The templates command dropped the model before the chooser opened: the message comes back as
  // it was stored, with what the header held.
  if (!m_editor && m_binding != nullptr) ReloadFromSite(nullptr);
  // Cancelling gives the person the panel back as an applied template does.
  SHRestoreInputPanelState(GetHandle());
  ShowLoaded();
  return 0;
}
