#include "ui/dialog_base.h"

#include <utility>
#include <vector>

#include "platform/controls/control_messages.h"
#include "platform/dialog/dialog_api.h"
#include "platform/pim/contact_chooser.h"
#include "platform/resources/resource_api.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_api.h"
#include "ui/window_layout.h"

CDialogBase::CDialogBase() : m_portrait(IsPortrait()) {}

CDialogBase::~CDialogBase() = default;

LRESULT CDialogBase::DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

const MessageMap* CDialogBase::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnCommandId(IDOK, &CDialogBase::OnOK),
      OnCommandId(IDCANCEL, &CDialogBase::OnCancel),
      OnMessage(WM_CTLCOLORBTN, &CDialogBase::CtlColorBtnEntry),
      OnMessage(WM_SETTINGCHANGE, &CDialogBase::OnSettingChange),
      OnMessage(WM_CLOSEDIALOG, &CDialogBase::OnCloseDialog),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

void CDialogBase::EndDialog(int result) { ::EndDialog(GetHandle(), result); }

LRESULT CDialogBase::OnOK(WPARAM, LPARAM) {
  EndDialog(IDOK);
  return 0;
}

LRESULT CDialogBase::OnCancel(WPARAM, LPARAM) {
  EndDialog(IDCANCEL);
  return 0;
}

HBRUSH CDialogBase::OnCtlColorBtn(HDC hdc, HWND button) {
  if (::SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED) ::SetTextColor(hdc, RGB(255, 255, 255));
  return m_buttonBrush.Get();
}

LRESULT CDialogBase::CtlColorBtnEntry(WPARAM wParam, LPARAM lParam) {
  return reinterpret_cast<LRESULT>(OnCtlColorBtn(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
}

LRESULT CDialogBase::OnSettingChange(WPARAM, LPARAM) { return 0; }

namespace {

struct PickerSearch {
  HWND dialog;
  std::vector<std::pair<HWND, WPARAM>> found;  // each picker with the command that closes it
};

// The system pickers a dialog may have open: the contact chooser (closed with IDCANCEL) and the
// "Properties" dialog (closed with IDOK).
BOOL CollectPicker(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<PickerSearch*>(lParam);
  if (::GetParent(hwnd) != search->dialog) return TRUE;
  WCHAR className[32] = {};
  ::GetClassNameW(hwnd, className, 32);
  WCHAR title[16] = {};
  ::GetWindowTextW(hwnd, title, 16);
  if (platform::EqualsNoCase(className, platform::pim::kContactChooserClass)) {
    search->found.emplace_back(hwnd, IDCANCEL);
  } else if (platform::EqualsNoCase(className, u"Dialog") && std::u16string_view(title) == u"Properties") {
    search->found.emplace_back(hwnd, IDOK);
  }
  return TRUE;
}

}  // namespace

LRESULT CDialogBase::OnCloseDialog(WPARAM, LPARAM) {
  if (!IsWindow()) return 0;
  PickerSearch search{GetHandle(), {}};
  ::EnumWindows(CollectPicker, reinterpret_cast<LPARAM>(&search));
  for (const auto& [picker, command] : search.found) {
    if (::IsWindow(picker)) ::SendMessageW(picker, WM_COMMAND, command, 0);
  }
  if (m_modal) {
    EndDialog(IDCANCEL);
    return 0;
  }
  ::DestroyWindow(GetHandle());
  ClearHandle();
  return 0;
}

const DLGTEMPLATE* CDialogBase::Prepare(HINSTANCE instance, DWORD templateId, DialogInitBlock* block) {
  if (!m_buttonBrush) m_buttonBrush.Reset(::CreateSolidBrush(RGB(255, 255, 255)));
  *block = DialogInitBlock{this, templateId};
  HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(templateId & 0xFFFF), RT_DIALOG);
  return resource ? static_cast<const DLGTEMPLATE*>(::LockResource(::LoadResource(instance, resource))) : nullptr;
}

INT_PTR CDialogBase::DoModal(HINSTANCE instance, DWORD templateId, HWND parent) {
  DialogInitBlock block{};
  const DLGTEMPLATE* dialogTemplate = Prepare(instance, templateId, &block);
  m_modal = true;
  const INT_PTR result = ::DialogBoxIndirectParamW(instance, dialogTemplate, parent, &CWndBase::WindowProcedure,
                                                   reinterpret_cast<LPARAM>(&block));
  m_modal = false;
  return result;
}

BOOL CDialogBase::CreateModeless(HINSTANCE instance, HWND parent, DWORD templateId) {
  DialogInitBlock block{};
  const DLGTEMPLATE* dialogTemplate = Prepare(instance, templateId, &block);
  HWND hwnd = ::CreateDialogIndirectParamW(instance, dialogTemplate, parent, &CWndBase::WindowProcedure,
                                           reinterpret_cast<LPARAM>(&block));
  if (!hwnd) return FALSE;
  Attach(hwnd);
  return OnCreated();
}
