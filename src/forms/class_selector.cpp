#include "forms/class_selector.h"

#include "forms/composer_commands.h"
#include "forms/dialog_soft_keys.h"
#include "platform/dialog/dialog_api.h"
#include "platform/window/window_styles.h"
#include "transport/resource_module.h"
#include "ui/window_layout.h"

CClassSelector::~CClassSelector() { Close(); }

const MessageMap* CClassSelector::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_INITDIALOG, &CClassSelector::OnInitDialog),
      OnCommandId(class_selector::kFlixButton, &CClassSelector::OnChoice),
      OnCommandId(class_selector::kMmsButton, &CClassSelector::OnChoice),
      MapEnd(),
  };
  static const MessageMap kMap{CDialogBase::GetMessageMap(), kEntries};
  return &kMap;
}

bool CClassSelector::Open(HWND frame) {
  if (IsOpen()) return true;
  m_frame = frame;
  m_told = false;
  return CreateModeless(transport::ResourceInstance(), frame, class_selector::kDialog) != FALSE;
}

void CClassSelector::Close() {
  m_told = true;
  if (IsWindow()) ::DestroyWindow(GetHandle());
  if (!IsWindow()) ClearHandle();
}

void CClassSelector::Focus() {
  if (HWND mms = GetDlgItem(class_selector::kMmsButton)) ::SetFocus(mms);
}

LRESULT CClassSelector::OnInitDialog(WPARAM, LPARAM) {
  InitShellDialog(GetHandle(), SHIDIM_FLAGS, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN);
  // Its own keys, so that the frame's cannot act behind the question.
  CreateDialogSoftKeys(GetHandle(), kOkCancelSoftKeys);
  Focus();
  return FALSE;
}

void CClassSelector::Choose(WPARAM selection) {
  if (m_told) return;
  m_told = true;
  if (m_frame != nullptr && ::IsWindow(m_frame)) {
    ::PostMessageW(m_frame, composer_message::kClassSelected, selection, 0);
  }
}

LRESULT CClassSelector::OnChoice(WPARAM wParam, LPARAM) {
  Choose(LOWORD(wParam) == class_selector::kFlixButton ? class_selector::kFlix : class_selector::kMms);
  return 0;
}

LRESULT CClassSelector::OnOK(WPARAM, LPARAM) {
  const HWND flix = GetDlgItem(class_selector::kFlixButton);
  Choose(flix != nullptr && ::GetFocus() == flix ? class_selector::kFlix : class_selector::kMms);
  return 0;
}

LRESULT CClassSelector::OnCancel(WPARAM, LPARAM) {
  // Without a kind there is no message to write: the form closes as an untouched new message does.
  if (m_told) return 0;
  m_told = true;
  if (m_frame != nullptr && ::IsWindow(m_frame)) {
    ::PostMessageW(m_frame, WM_COMMAND, composer_command::kCloseAsk, 0);
  }
  return 0;
}
