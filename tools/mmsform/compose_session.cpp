#include "compose_session.h"

#include <cstdio>
#include <utility>

#include "forms/compose_data_block.h"
#include "platform/message_store/mapi_tags.h"
#include "platform/window/window_api.h"
#include "read_session.h"

namespace mmsform_tool {
namespace {

constexpr LPCWSTR kComposeParentClass = u"MMSFormHost.ComposeParent";
constexpr LPCWSTR kComposerFrameClass = u"Ppc_WndCls_ComposerFrame";

ComPtr<IMAPIFolder> OpenDrafts(IMsgStore* store) {
  SizedSPropTagArray<1> tags{1, {PR_DRAFTS_FOLDER_ENTRYID}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  if (FAILED(store->GetProps(tags.get(), 0, &count, &values)) || count != 1 ||
      values[0].ulPropTag != PR_DRAFTS_FOLDER_ENTRYID) {
    MAPIFreeBuffer(values);
    return {};
  }
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  const HRESULT hr = store->OpenEntry(values[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[0].Value.bin.lpb),
                                      nullptr, MAPI_MODIFY, &kind, object.Receive());
  MAPIFreeBuffer(values);
  if (FAILED(hr) || kind != MAPI_FOLDER) return {};
  return ComPtr<IMAPIFolder>(static_cast<IMAPIFolder*>(object.Detach()));
}

}  // namespace

ComPtr<IMessage> NewDraftMessage(IMsgStore* store, std::string* error) {
  ComPtr<IMAPIFolder> drafts = OpenDrafts(store);
  ComPtr<IMessage> message;
  if (!drafts || FAILED(drafts->CreateMessage(nullptr, 0, message.Receive())) ||
      FAILED(message->SaveChanges(KEEP_OPEN_READWRITE))) {
    *error = "cannot make a message in Drafts";
    return {};
  }
  return message;
}

HRESULT ComposeSession::PrintingHost::FormClosed(IMMSForm*, IMessage*, DWORD flags) {
  closedFlags = flags;
  std::printf("{\"callback\": \"FormClosed\", \"flags\": %lu}\n", static_cast<unsigned long>(flags));
  std::fflush(stdout);
  return S_OK;
}

HRESULT ComposeSession::PrintingHost::FormAction(IMMSForm*, IMessage*, DWORD action, DWORD) {
  if (action == kFormActionHandBack) handedBack = true;
  std::printf("{\"callback\": \"FormAction\", \"action\": %lu}\n", static_cast<unsigned long>(action));
  std::fflush(stdout);
  return S_OK;
}

LRESULT ComposeSession::ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* session = reinterpret_cast<ComposeSession*>(GetWindowLongW(hwnd, GWL_USERDATA));
  // IDOK from the form: it has saved, sent, discarded or refused the message, and is done.
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK && session != nullptr) {
    session->Close();
    return 0;
  }
  if (message == WM_CLOSE) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HRESULT ComposeSession::Open(IMessage* message, const ComposeRequest& request, std::function<void()> closed) {
  if (m_form != nullptr) return E_FAIL;
  m_parent = MakeHiddenWindow(kComposeParentClass, &ParentProcedure);
  if (m_parent == nullptr) return E_FAIL;
  SetWindowLongW(m_parent, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ComposeDataBlock block{};
  for (std::size_t i = 0; i < request.words.size(); ++i) {
    block.words[i] = request.words[i] ? request.words[i]->c_str() : nullptr;
  }
  block.flags = request.closeFlag ? 1 : 0;
  m_closed = std::move(closed);
  const HRESULT hr = m_module.CreateComposeForm()(&m_callbacks, message, request.mode, request.source,
                                                  request.withDataBlock ? &block : nullptr, m_parent, 0, &m_form,
                                                  request.messageClass.c_str());
  if (FAILED(hr) || m_form == nullptr) {
    m_form = nullptr;
    m_closed = nullptr;
    DestroyWindow(std::exchange(m_parent, nullptr));
    return FAILED(hr) ? hr : E_FAIL;
  }
  return S_OK;
}

void ComposeSession::Close() {
  if (m_form == nullptr) return;
  IMMSForm* form = std::exchange(m_form, nullptr);
  form->Close();
  form->Release();
  HWND parent = std::exchange(m_parent, nullptr);
  if (IsWindow(parent)) DestroyWindow(parent);
  if (auto closed = std::exchange(m_closed, nullptr)) closed();
}

HWND ComposeSession::FrameWindow() const {
  return m_form != nullptr ? FindWindowW(kComposerFrameClass, nullptr) : nullptr;
}

}  // namespace mmsform_tool
