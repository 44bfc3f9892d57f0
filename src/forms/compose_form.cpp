#include "forms/compose_form.h"

#include <new>

#include "config/settings.h"
#include "platform/kernel/debug_output.h"
#include "platform/window/window_api.h"
#include "transport/mms_global.h"
#include "ui/dialog_base.h"
#include "ui/window_layout.h"

namespace {

constexpr HRESULT kNullMessage = 87;
constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001u);
constexpr DWORD kFormFlags = 2;
constexpr LONG kHandedOver = 5;
constexpr int kUAContentsFolder = 6;

}  // namespace

HRESULT CComposeForm::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_INVALIDARG;
  if (iid == IID_IUnknown || iid == IID_IMMSForm) {
    AddRef();
    *object = static_cast<IMMSForm*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CComposeForm::AddRef() { return m_references.fetch_add(1) + 1; }

ULONG CComposeForm::Release() {
  const ULONG left = m_references.fetch_sub(1) - 1;
  if (left == 0) Destroy(1);
  return left;
}

void CComposeForm::Destroy(UINT flags) {
  // The frame borrows the binding: it goes first.
  m_frame.reset();
  m_binding.reset();
  if (CMMSGlobal* global = GetMMSGlobal(); global != nullptr && global->composeAbortForm == this) {
    // A form released without its close must not leave the next compose form marked.
    global->composeAbort = 0;
    global->composeAbortForm = nullptr;
  }
  if (flags & 1) delete this;
}

HRESULT CComposeForm::SetMessage(DWORD verb, IMessage* message) {
  if (message == nullptr) return kNullMessage;
  if (m_frame) m_frame->Attach(verb, nullptr);
  m_binding.reset();
  auto binding = std::unique_ptr<MessageBinding>(new (std::nothrow) MessageBinding);
  if (!binding || !LoadBinding(*binding, message, GetFolderSetting(kUAContentsFolder).GetString(), verb)) {
    return E_OUTOFMEMORY;
  }
  return Attach(verb, std::move(binding));
}

HRESULT CComposeForm::Attach(DWORD verb, std::unique_ptr<MessageBinding> binding) {
  m_binding = std::move(binding);
  if (!m_binding) {
    if (m_frame) m_frame->Attach(verb, nullptr);
    return kNullMessage;
  }
  if (m_frame) m_frame->Attach(verb, m_binding.get());
  return S_OK;
}

HRESULT CComposeForm::Activate(DWORD*) { return kNotImplemented; }

HRESULT CComposeForm::ForwardAction(IMMSForm* form, IMessage* message, DWORD action, DWORD reserved) {
  if (m_host == nullptr) return E_FAIL;
  return m_host->FormAction(form, message, action, reserved);
}

HRESULT CComposeForm::Init(HWND parentWindow, DWORD, const ComposeWords& words, LONG messageState,
                           BOOL creationFlag, LONG creationMode, LPCWSTR messageClass, BOOL lockedObjectsRemoved) {
  m_closeFlag = (words.flags & 1) != 0 ? kComposeCloseFlag : 0;
  if (!m_frame) {
    m_frame.reset(new (std::nothrow) CComposerFrame);
    if (!m_frame) {
      platform::ReportOutOfMemory(kComposeFormSource, __LINE__);
      return E_OUTOFMEMORY;
    }
  }
  ComposerStart start;
  start.formKind = messageState;
  start.composeMode = creationFlag;
  start.startAction = creationMode;
  start.messageClass = CString(messageClass != nullptr ? messageClass : u"");
  start.creationMarker = words.Text(data_word::kMarker);
  start.lockedObjectsRemoved = lockedObjectsRemoved != FALSE;
  HWND frame = m_frame->Create(parentWindow, start);
  if (frame == nullptr) {
    platform::DebugPrint("CMsgForm::Init - View Create failed\n");
    return E_FAIL;
  }
  ULC_Global::GetGlobal()->composerWindow = frame;
  return S_OK;
}

HRESULT CComposeForm::DoAction(DWORD code) {
  if (code != 1 || m_host == nullptr) return S_OK;
  if (m_binding) {
    if (ComPtr<IMessage> message = m_binding->ReopenMessage()) {
      m_host->FormAction(this, message.Get(), kFormActionHandBack, 0);
    }
  }
  Close();
  return S_OK;
}

HRESULT CComposeForm::GetFormFlags(DWORD* flags) {
  if (flags != nullptr) *flags = kFormFlags;
  return S_OK;
}

void CComposeForm::NotifyClosed() {
  if (m_binding->ContentFolder().GetLength() > 0) m_binding->RemovePartFolder();
  ComPtr<IMessage> message = m_binding->ReopenMessage();
  CMMSGlobal* global = GetMMSGlobal();
  const bool marked = global != nullptr && global->composeAbort != 0 && global->composeAbortForm == this;
  if (marked) {
    global->composeAbort = 0;
    global->composeAbortForm = nullptr;
  }
  // A message deleted meanwhile has nothing to report the close of.
  if (!message) return;
  // A frame that refused the message it was given ends like an opening that could not go on.
  const bool aborted = marked || (m_frame && m_frame->LoadRefused());
  DWORD flags = m_closeFlag;
  if (aborted) flags = m_frame && m_frame->ReportedState() == kHandedOver ? 0 : kComposeCloseFlag;
  m_host->FormClosed(this, message.Get(), flags);
}

HRESULT CComposeForm::Close() {
  // The host closes again after DoAction or after an opening that closes at once: it hears once.
  if (m_closed) return S_OK;
  m_closed = true;
  HWND parent = m_frame ? m_frame->HostParent() : nullptr;
  ULC_Global* global = ULC_Global::GetGlobal();
  global->composerWindow = nullptr;
  if (m_host != nullptr && m_binding) NotifyClosed();
  CloseProcessDialogs(-1);
  if (m_frame) {
    m_frame->SendMessage(WM_CLOSEDIALOG, 0, 0);
    m_frame.reset();
  }
  global->mmsComposeFlag = 0;
  if (parent != nullptr && ::IsWindow(parent)) ::PostMessageW(parent, WM_CLOSE, 0, 0);
  return S_OK;
}
