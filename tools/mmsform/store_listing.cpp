#include "store_listing.h"

#include <cctype>
#include <cstdio>

#include "platform/text/text_conversion.h"
#include "transport/mms_global.h"

namespace mmsform_tool {

OpenStore::OpenStore() {
  if (platform::OpenMessageStore(m_store.Receive(), &m_error) == S_OK) {
    ULC_Global::GetGlobal()->messageStore = m_store.Get();
  } else {
    m_store.Reset();
  }
}

OpenStore::~OpenStore() { ULC_Global::GetGlobal()->messageStore = nullptr; }

std::string HexOf(std::string_view bytes) {
  std::string hex;
  for (unsigned char byte : bytes) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", byte);
    hex += pair;
  }
  return hex;
}

std::optional<EntryId> EntryIdFromHex(std::string_view hex) {
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
  EntryId bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    if (!std::isxdigit(static_cast<unsigned char>(hex[i])) || !std::isxdigit(static_cast<unsigned char>(hex[i + 1]))) {
      return std::nullopt;
    }
    bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  }
  return bytes;
}

const platform::StandardFolder* FolderNamed(std::string_view name) {
  for (const platform::StandardFolder& folder : platform::StandardFolders()) {
    if (platform::EqualsNoCase(platform::Utf8ToUtf16(name), folder.name)) return &folder;
  }
  return nullptr;
}

EntryId BinaryPropertyOf(IMAPIProp* object, ULONG tag) {
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  EntryId bytes;
  if (SUCCEEDED(object->GetProps(tags.get(), 0, &count, &values)) && count == 1 && values[0].ulPropTag == tag) {
    bytes.assign(reinterpret_cast<const char*>(values[0].Value.bin.lpb), values[0].Value.bin.cb);
  }
  MAPIFreeBuffer(values);
  return bytes;
}

const platform::StandardFolder* FolderHolding(IMsgStore* store, const EntryId& message) {
  if (store == nullptr || message.empty()) return nullptr;
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  auto* id = reinterpret_cast<LPENTRYID>(const_cast<char*>(message.data()));
  if (FAILED(store->OpenEntry(static_cast<ULONG>(message.size()), id, nullptr, 0, &kind, object.Receive())) ||
      kind != MAPI_MESSAGE) {
    return nullptr;
  }
  const EntryId parent = BinaryPropertyOf(static_cast<IMessage*>(object.Get()), PR_PARENT_ENTRYID);
  for (const platform::StandardFolder& folder : platform::StandardFolders()) {
    if (!parent.empty() && BinaryPropertyOf(store, folder.storeTag) == parent) return &folder;
  }
  return nullptr;
}

void ForEachMessage(IMsgStore* store, const platform::StandardFolder& folder,
                    const std::function<void(const EntryId&)>& each) {
  if (store == nullptr) return;
  SizedSPropTagArray<1> tags{1, {folder.storeTag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  ComPtr<IUnknown> object;
  ULONG kind = 0;
  if (SUCCEEDED(store->GetProps(tags.get(), MAPI_UNICODE, &count, &values)) && values[0].ulPropTag == folder.storeTag) {
    store->OpenEntry(values[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[0].Value.bin.lpb), nullptr, 0, &kind,
                     object.Receive());
  }
  MAPIFreeBuffer(values);
  if (!object || kind != MAPI_FOLDER) return;
  ComPtr<IMAPITable> table;
  if (FAILED(static_cast<IMAPIFolder*>(object.Get())->GetContentsTable(0, table.Receive()))) return;
  for (;;) {
    LPSRowSet rows = nullptr;
    if (FAILED(table->QueryRows(32, 0, &rows)) || rows->cRows == 0) {
      FreeProws(rows);
      return;
    }
    for (ULONG i = 0; i < rows->cRows; ++i) {
      const SPropValue& id = (&rows->aRow[0])[i].lpProps[0];
      if (id.ulPropTag == PR_ENTRYID) each(EntryId(reinterpret_cast<const char*>(id.Value.bin.lpb), id.Value.bin.cb));
    }
    FreeProws(rows);
  }
}

}  // namespace mmsform_tool
