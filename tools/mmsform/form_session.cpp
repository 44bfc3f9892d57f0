#include "form_session.h"

#include <cstdio>
#include <utility>

namespace mmsform_tool {

HWND MakeHiddenWindow(LPCWSTR className, WNDPROC procedure) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.lpszClassName = className;
  // A second session registers the class again; the first registration stands.
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, className, u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

HRESULT FormSession::PrintingHost::FormClosed(IMMSForm*, IMessage*, DWORD flags) {
  closedFlags = flags;
  std::printf("{\"callback\": \"FormClosed\", \"flags\": %lu}\n", static_cast<unsigned long>(flags));
  std::fflush(stdout);
  return S_OK;
}

HRESULT FormSession::PrintingHost::FormAction(IMMSForm*, IMessage*, DWORD action, DWORD) {
  if (action == kFormActionHandBack) handedBack = true;
  std::printf("{\"callback\": \"FormAction\", \"action\": %lu}\n", static_cast<unsigned long>(action));
  std::fflush(stdout);
  return S_OK;
}

LRESULT FormSession::ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* session = reinterpret_cast<FormSession*>(GetWindowLongW(hwnd, GWL_USERDATA));
  // IDOK: the form has read, saved, sent, discarded or refused the message, and is done.
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK && session != nullptr) {
    session->Close();
    return 0;
  }
  // The form asks its parent to close; the session closes it when it releases the form.
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HRESULT FormSession::OpenForm(const CreateForm& create, std::function<void()> closed) {
  if (m_form != nullptr) return E_FAIL;
  m_parent = MakeHiddenWindow(m_parentClass, &ParentProcedure);
  if (m_parent == nullptr) return E_FAIL;
  SetWindowLongW(m_parent, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_closed = std::move(closed);
  const HRESULT hr = create(&m_callbacks, m_parent, &m_form);
  if (FAILED(hr) || m_form == nullptr) {
    m_form = nullptr;
    m_closed = nullptr;
    DestroyWindow(std::exchange(m_parent, nullptr));
    return FAILED(hr) ? hr : E_FAIL;
  }
  return S_OK;
}

void FormSession::Close() {
  if (m_form == nullptr) return;
  IMMSForm* form = std::exchange(m_form, nullptr);
  form->Close();
  form->Release();
  HWND parent = std::exchange(m_parent, nullptr);
  if (IsWindow(parent)) DestroyWindow(parent);
  if (auto closed = std::exchange(m_closed, nullptr)) closed();
}

}  // namespace mmsform_tool
