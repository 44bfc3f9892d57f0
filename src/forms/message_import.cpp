#include "forms/message_import.h"

#include <span>

#include "forms/message_binding.h"
#include "mm1/pdu_decoder.h"
#include "model/device_file.h"
#include "platform/file_api.h"
#include "platform/message_store/mapi_tags.h"
#include "transport/mms_global.h"

namespace {

enum class StoredKind { kMessage, kNotification, kDeliveryReport, kReadReport, kNone };

StoredKind KindOf(std::uint8_t messageType) {
  switch (static_cast<mm1::MessageType>(messageType)) {
    case mm1::MessageType::kRetrieveConf:
    case mm1::MessageType::kSendReq:
      return StoredKind::kMessage;
    case mm1::MessageType::kNotificationInd:
      return StoredKind::kNotification;
    case mm1::MessageType::kDeliveryInd:
      return StoredKind::kDeliveryReport;
    case mm1::MessageType::kReadOrigInd:
    case mm1::MessageType::kReadRecInd:
      return StoredKind::kReadReport;
    default:
      return StoredKind::kNone;
  }
}

ComPtr<IMAPIFolder> OpenFolder(IMsgStore* store, ULONG folderTag) {
  SizedSPropTagArray<1> tags{1, {folderTag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  ComPtr<IMAPIFolder> folder;
  if (SUCCEEDED(store->GetProps(tags.get(), MAPI_UNICODE, &count, &values)) && values[0].ulPropTag == folderTag) {
    ComPtr<IUnknown> object;
    ULONG kind = 0;
    HRESULT hr = store->OpenEntry(values[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[0].Value.bin.lpb),
                                  &IID_IMAPIFolder, MAPI_MODIFY, &kind, object.Receive());
    if (SUCCEEDED(hr) && kind == MAPI_FOLDER) folder = ComPtr<IMAPIFolder>(static_cast<IMAPIFolder*>(object.Detach()));
  }
  MAPIFreeBuffer(values);
  return folder;
}

bool StoreKind(MessageBinding& binding, StoredKind kind, const mm1::Pdu& pdu) {
  switch (kind) {
    case StoredKind::kMessage:
      return binding.StoreHeader(pdu);
    case StoredKind::kNotification:
      return binding.StoreNotification(pdu);
    case StoredKind::kDeliveryReport:
      return binding.StoreDeliveryReport(pdu) && binding.SetSizeFromFile(0) > 0;
    case StoredKind::kReadReport:
      return binding.StoreReadReport(pdu) && binding.SetSizeFromFile(0) > 0;
    case StoredKind::kNone:
      break;
  }
  return false;
}

ImportResult Failure(std::string error) { return ImportResult{false, {}, std::move(error)}; }

}  // namespace

ImportResult ImportMessageFile(std::string_view bytes, ULONG folderTag) {
  auto data = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  auto pdu = mm1::DecodePdu(data);
  if (!pdu) {
    return Failure("not an MMS message: " + pdu.Failure().message + " at offset " +
                   std::to_string(pdu.Failure().offset));
  }
  StoredKind kind = KindOf(pdu.Value().messageType);
  if (kind == StoredKind::kNone) {
    std::string_view name = mm1::MessageTypeName(pdu.Value().messageType);
    return Failure("a " + std::string(name.empty() ? "PDU of unknown type" : name) +
                   " is not a message the store keeps");
  }
  IMsgStore* store = ULC_Global::GetGlobal()->messageStore;
  if (store == nullptr) return Failure("no message store is open");
  ComPtr<IMAPIFolder> folder = OpenFolder(store, folderTag);
  if (!folder) return Failure("the store has no such folder");
  ComPtr<IMessage> message;
  if (FAILED(folder->CreateMessage(&IID_IMessage, 0, message.Receive()))) return Failure("cannot create a message");

  MessageBinding binding;
  bool stored = LoadBinding(binding, message.Get(), nullptr, 5);
  CString dataFile = binding.DataFile();
  CString folderPath = binding.ContentFolder();
  if (stored && GetFileAttributesW(folderPath) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(folderPath, nullptr);
  stored = stored && WriteDeviceFile(dataFile.View(), bytes) && StoreKind(binding, kind, pdu.Value());
  if (stored) return ImportResult{true, binding.Identifier(), {}};

  DeleteFileW(dataFile);
  EntryId id = binding.Identifier();
  SBinary entry{static_cast<ULONG>(id.size()), reinterpret_cast<BYTE*>(id.data())};
  ENTRYLIST list{1, &entry};
  folder->DeleteMessages(&list, 0, nullptr, 0);
  return Failure("cannot store the message");
}
