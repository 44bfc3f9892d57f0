#include "forms/read_form.h"

#include <new>

#include "platform/window/window_api.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/dialog_base.h"
#include "ui/window_layout.h"

CReadForm::CReadForm(IFormHost* host, IMessage* message, HWND parentWindow)
    : m_host(host), m_parent(parentWindow) {
  if (message != nullptr) {
    message->AddRef();
    m_message = ComPtr<IMessage>(message);
  }
}

HRESULT CReadForm::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_INVALIDARG;
  if (iid == IID_IUnknown || iid == IID_IMMSForm) {
    AddRef();
    *object = static_cast<IMMSForm*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CReadForm::AddRef() { return m_references.fetch_add(1) + 1; }

ULONG CReadForm::Release() {
  ULONG left = m_references.fetch_sub(1) - 1;
  if (left == 0) Destroy(1);
  return left;
}

void CReadForm::Destroy(UINT flags) {
  // Without bit 0 the object is only taken apart, as a form embedded in another would be.
  m_frame.reset();
  m_message.Reset();
  if (flags & 1) delete this;
}

HRESULT CReadForm::SetMessage(DWORD verb, IMessage* message) {
  if (message == nullptr) return 87;
  if (!m_frame) return S_OK;
  ULC_Global::GetGlobal()->transientFlag = 0;
  m_frame->LoadMessage(verb, message);
  return S_OK;
}

HRESULT CReadForm::Activate(DWORD* argument) {
  (void)argument;
  if (!m_frame) {
    m_frame.reset(new (std::nothrow) CReadFrame);
    if (!m_frame) return E_OUTOFMEMORY;
  }
  return m_frame->Create(m_parent) != nullptr ? S_OK : E_FAIL;
}

HRESULT CReadForm::DoAction(DWORD code) {
  if (code == 1 && m_host != nullptr && m_message) {
    m_host->FormAction(this, m_message.Get(), kFormActionHandBack, 0);
    Close();
  }
  return S_OK;
}

HRESULT CReadForm::GetFormFlags(DWORD*) { return S_OK; }

HRESULT CReadForm::Close() {
  // DoAction closes the form and the host closes it again before its release: it hears once.
  if (m_closed) return S_OK;
  m_closed = true;
  if (m_host != nullptr) m_host->FormClosed(this, m_message.Get(), 0);
  if (m_frame) {
    // A message box the read form left open goes first; its caption is the messages title.
    CString title = transport::LoadResourceString(40269) + u" ";
    if (HWND box = ::FindWindowW(u"Dialog", title.GetString())) ::SendMessageW(box, WM_CLOSE, 0, 0);
    CloseProcessDialogs(0);
    m_frame->SendMessage(WM_CLOSEDIALOG, 0, 0);
    m_frame.reset();
  }
  if (m_parent != nullptr && ::IsWindow(m_parent)) ::PostMessageW(m_parent, WM_CLOSE, 0, 0);
  m_parent = nullptr;
  return S_OK;
}
