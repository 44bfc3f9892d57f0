#include "compose_session.h"

#include <utility>

#include "forms/compose_data_block.h"
#include "platform/message_store/mapi_tags.h"
#include "platform/window/window_api.h"

namespace mmsform_tool {
namespace {

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

HRESULT ComposeSession::Open(IMessage* message, const ComposeRequest& request, std::function<void()> closed) {
  ComposeDataBlock block{};
  for (std::size_t i = 0; i < request.words.size(); ++i) {
    block.words[i] = request.words[i] ? request.words[i]->c_str() : nullptr;
  }
  block.flags = request.closeFlag ? 1 : 0;
  return OpenForm(
      [&](IFormHost* host, HWND parent, IMMSForm** form) {
        return Module().CreateComposeForm()(host, message, request.mode, request.source,
                                            request.withDataBlock ? &block : nullptr, parent, 0, form,
                                            request.messageClass.c_str());
      },
      std::move(closed));
}

HWND ComposeSession::FrameWindow() const {
  return IsOpen() ? FindWindowW(kComposerFrameClass, nullptr) : nullptr;
}

}  // namespace mmsform_tool
