// Small helpers for tests of the message store: open it, make messages, set and read one property.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/com/com_ptr.h"
#include "platform/message_store/message_store.h"

namespace store_test {

inline ComPtr<IMsgStore> OpenStore() {
  ComPtr<IMsgStore> store;
  std::string error;
  EXPECT_EQ(platform::OpenMessageStore(store.Receive(), &error), S_OK) << error;
  return store;
}

inline std::string BinaryProp(IMAPIProp* object, ULONG tag) {
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  HRESULT hr = object->GetProps(tags.get(), MAPI_UNICODE, &count, &values);
  std::string bytes;
  if (SUCCEEDED(hr) && count == 1 && values[0].ulPropTag == tag) {
    bytes.assign(reinterpret_cast<const char*>(values[0].Value.bin.lpb), values[0].Value.bin.cb);
  }
  MAPIFreeBuffer(values);
  return bytes;
}

inline ComPtr<IMAPIFolder> OpenFolder(IMsgStore* store, ULONG storeTag, ULONG flags = MAPI_MODIFY) {
  std::string id = BinaryProp(store, storeTag);
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  EXPECT_EQ(store->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(id.data()), &IID_IMAPIFolder,
                             flags, &kind, object.Receive()),
            S_OK);
  EXPECT_EQ(kind, MAPI_FOLDER);
  return ComPtr<IMAPIFolder>(static_cast<IMAPIFolder*>(object.Detach()));
}

inline ComPtr<IMessage> NewMessage(IMsgStore* store, ULONG folderTag = PR_INBOX_FOLDER_ENTRYID) {
  ComPtr<IMAPIFolder> folder = OpenFolder(store, folderTag);
  ComPtr<IMessage> message;
  EXPECT_EQ(folder->CreateMessage(&IID_IMessage, 0, message.Receive()), S_OK);
  return message;
}

inline ComPtr<IMessage> OpenMessage(IMsgStore* store, const std::string& id, HRESULT* result = nullptr) {
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  HRESULT hr = store->OpenEntry(static_cast<ULONG>(id.size()),
                                reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())), nullptr, MAPI_BEST_ACCESS,
                                &kind, object.Receive());
  if (result) *result = hr;
  if (FAILED(hr) || kind != MAPI_MESSAGE) return ComPtr<IMessage>();
  return ComPtr<IMessage>(static_cast<IMessage*>(object.Detach()));
}

inline HRESULT SetLong(IMAPIProp* object, ULONG tag, LONG value) {
  SPropValue prop{};
  prop.ulPropTag = tag;
  prop.Value.l = value;
  return object->SetProps(1, &prop, nullptr);
}

inline HRESULT SetText(IMAPIProp* object, ULONG tag, const char16_t* text) {
  SPropValue prop{};
  prop.ulPropTag = tag;
  prop.Value.lpszW = const_cast<LPWSTR>(text);
  return object->SetProps(1, &prop, nullptr);
}

inline std::optional<LONG> GetLong(IMAPIProp* object, ULONG tag) {
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  std::optional<LONG> result;
  if (SUCCEEDED(object->GetProps(tags.get(), MAPI_UNICODE, &count, &values)) && values[0].ulPropTag == tag) {
    result = values[0].Value.l;
  }
  MAPIFreeBuffer(values);
  return result;
}

inline std::optional<std::u16string> GetText(IMAPIProp* object, ULONG tag) {
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  std::optional<std::u16string> result;
  if (SUCCEEDED(object->GetProps(tags.get(), MAPI_UNICODE, &count, &values)) && values[0].ulPropTag == tag) {
    result = values[0].Value.lpszW;
  }
  MAPIFreeBuffer(values);
  return result;
}

}  // namespace store_test
