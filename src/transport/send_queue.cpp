#include "transport/send_queue.h"

#include <optional>
#include <string>

#include "platform/com/com_ptr.h"
#include "platform/message_store/mapi_tags.h"

namespace transport {
namespace {

std::optional<std::string> BinaryProperty(IMAPIProp* object, ULONG tag) {
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  std::optional<std::string> bytes;
  if (SUCCEEDED(object->GetProps(tags.get(), 0, &count, &values)) && count == 1 && values[0].ulPropTag == tag &&
      values[0].Value.bin.cb > 0) {
    bytes.emplace(reinterpret_cast<const char*>(values[0].Value.bin.lpb), values[0].Value.bin.cb);
  }
  MAPIFreeBuffer(values);
  return bytes;
}

ComPtr<IMAPIFolder> OpenFolder(IMsgStore* store, const std::string& entryId) {
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  std::string id = entryId;
  HRESULT hr = store->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(id.data()), &IID_IMAPIFolder,
                                MAPI_MODIFY, &kind, object.Receive());
  if (FAILED(hr) || kind != MAPI_FOLDER) return ComPtr<IMAPIFolder>();
  return ComPtr<IMAPIFolder>(static_cast<IMAPIFolder*>(object.Detach()));
}

}  // namespace

HRESULT QueueInOutbox(IMsgStore* store, IMessage* message) {
  if (store == nullptr || message == nullptr) return E_INVALIDARG;
  auto outboxId = BinaryProperty(store, PR_OUTBOX_FOLDER_ENTRYID);
  auto messageId = BinaryProperty(message, PR_ENTRYID);
  auto parentId = BinaryProperty(message, PR_PARENT_ENTRYID);
  if (!outboxId || !messageId || !parentId) return MAPI_E_NOT_FOUND;
  if (*parentId != *outboxId) {
    ComPtr<IMAPIFolder> from = OpenFolder(store, *parentId);
    ComPtr<IMAPIFolder> outbox = OpenFolder(store, *outboxId);
    if (!from || !outbox) return MAPI_E_NOT_FOUND;
    SBinary id{static_cast<ULONG>(messageId->size()), reinterpret_cast<BYTE*>(messageId->data())};
    ENTRYLIST list{1, &id};
    HRESULT moved = from->CopyMessages(&list, &IID_IMAPIFolder, outbox.Get(), 0, nullptr, MESSAGE_MOVE);
    if (moved != S_OK) return FAILED(moved) ? moved : MAPI_E_NOT_FOUND;
  }
  SPropValue state{};
  state.ulPropTag = kTransportStateTag;
  state.Value.l = kQueuedForSending;
  return message->SetProps(1, &state, nullptr);
}

}  // namespace transport
