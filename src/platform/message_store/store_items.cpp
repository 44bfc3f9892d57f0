#include "platform/message_store/mapi_tags.h"
#include "platform/message_store/store_objects.h"

namespace platform::message_store {
namespace {

std::vector<std::int64_t> IdsOf(const std::vector<ObjectRow>& rows) {
  std::vector<std::int64_t> ids;
  for (const ObjectRow& row : rows) ids.push_back(row.id);
  return ids;
}

class FolderObject final : public PropObject<IMAPIFolder> {
 public:
  explicit FolderObject(PropertyAccess properties) : PropObject(std::move(properties), IID_IMAPIFolder) {}

  HRESULT GetContentsTable(ULONG, LPMAPITABLE* table) override {
    return Table(MAPI_MESSAGE, {PR_ENTRYID, PR_MESSAGE_CLASS, PR_SUBJECT}, table);
  }

  HRESULT GetHierarchyTable(ULONG, LPMAPITABLE* table) override {
    return Table(MAPI_FOLDER, {PR_ENTRYID, PR_DISPLAY_NAME}, table);
  }

  HRESULT CreateMessage(const IID* iid, ULONG, LPMESSAGE* message) override {
    if (message == nullptr) return MAPI_E_INVALID_PARAMETER;
    *message = nullptr;
    if (iid != nullptr && !IsEqualGUID(*iid, IID_IMessage)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    if (!m_properties.Writable()) return MAPI_E_NO_ACCESS;
    if (!m_properties.Row()) return MAPI_E_OBJECT_DELETED;
    auto row = m_properties.Database()->Create(MAPI_MESSAGE, m_properties.Id());
    if (!row) return MAPI_E_CALL_FAILED;
    *message = NewMessageObject(PropertyAccess(m_properties.Database(), row->id, true));
    return S_OK;
  }

  HRESULT DeleteMessages(LPENTRYLIST messages, ULONG, LPVOID, ULONG) override {
    if (messages == nullptr || (messages->cValues > 0 && messages->lpbin == nullptr)) return MAPI_E_INVALID_PARAMETER;
    if (!m_properties.Writable()) return MAPI_E_NO_ACCESS;
    StoreDatabase& db = *m_properties.Database();
    auto transaction = db.Begin();
    if (!transaction.ok()) return MAPI_E_CALL_FAILED;
    bool allFound = true;
    for (ULONG i = 0; i < messages->cValues; ++i) {
      const SBinary& id = messages->lpbin[i];
      auto row = id.lpb ? db.FindByEntryId(std::string_view(reinterpret_cast<const char*>(id.lpb), id.cb))
                        : std::nullopt;
      if (!row || row->kind != MAPI_MESSAGE || row->parent != m_properties.Id()) {
        allFound = false;
      } else if (!db.Delete(row->id)) {
        return MAPI_E_CALL_FAILED;
      }
    }
    if (!transaction.Commit()) return MAPI_E_CALL_FAILED;
    return allFound ? S_OK : MAPI_W_ERRORS_RETURNED;
  }

  HRESULT CopyMessages(LPENTRYLIST messages, const IID* iid, LPVOID destination, ULONG_PTR, LPVOID,
                       ULONG flags) override {
    if (messages == nullptr || destination == nullptr || (messages->cValues > 0 && messages->lpbin == nullptr)) {
      return MAPI_E_INVALID_PARAMETER;
    }
    if (iid != nullptr && !IsEqualGUID(*iid, IID_IMAPIFolder)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    if ((flags & MESSAGE_MOVE) == 0) return MAPI_E_NO_SUPPORT;
    if (!m_properties.Writable()) return MAPI_E_NO_ACCESS;
    StoreDatabase& db = *m_properties.Database();
    auto target = FolderRow(db, static_cast<IMAPIFolder*>(destination));
    if (!target) return MAPI_E_INVALID_PARAMETER;
    auto transaction = db.Begin();
    if (!transaction.ok()) return MAPI_E_CALL_FAILED;
    bool allFound = true;
    for (ULONG i = 0; i < messages->cValues; ++i) {
      const SBinary& id = messages->lpbin[i];
      auto row = id.lpb ? db.FindByEntryId(std::string_view(reinterpret_cast<const char*>(id.lpb), id.cb))
                        : std::nullopt;
      if (!row || row->kind != MAPI_MESSAGE || row->parent != m_properties.Id()) {
        allFound = false;
      } else if (row->parent != target->id && !db.Reparent(row->id, target->id)) {
        return MAPI_E_CALL_FAILED;
      }
    }
    if (!transaction.Commit()) return MAPI_E_CALL_FAILED;
    return allFound ? S_OK : MAPI_W_ERRORS_RETURNED;
  }

 private:
  // The row of a folder of this store, found by the entry identifier the folder reports.
  static std::optional<ObjectRow> FolderRow(StoreDatabase& db, IMAPIFolder* folder) {
    SizedSPropTagArray<1> tags{1, {PR_ENTRYID}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    std::optional<ObjectRow> row;
    if (SUCCEEDED(folder->GetProps(tags.get(), 0, &count, &values)) && count == 1 && values[0].ulPropTag == PR_ENTRYID) {
      row = db.FindByEntryId(std::string_view(reinterpret_cast<const char*>(values[0].Value.bin.lpb), values[0].Value.bin.cb));
    }
    MAPIFreeBuffer(values);
    if (row && row->kind != MAPI_FOLDER) row.reset();
    return row;
  }

  HRESULT Table(ULONG kind, std::vector<ULONG> columns, LPMAPITABLE* table) {
    if (table == nullptr) return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    if (!m_properties.Row()) return MAPI_E_OBJECT_DELETED;
    auto rows = m_properties.Database()->Children(m_properties.Id(), kind);
    *table = NewObjectTable(m_properties.Database(), IdsOf(rows), std::move(columns));
    return S_OK;
  }
};

class AttachObject final : public PropObject<IAttach> {
 public:
  explicit AttachObject(PropertyAccess properties) : PropObject(std::move(properties), IID_IAttachment) {}
};

class MessageObject final : public PropObject<IMessage> {
 public:
  explicit MessageObject(PropertyAccess properties) : PropObject(std::move(properties), IID_IMessage) {}

  HRESULT GetAttachmentTable(ULONG, LPMAPITABLE* table) override {
    if (table == nullptr) return MAPI_E_INVALID_PARAMETER;
    *table = nullptr;
    if (!m_properties.Row()) return MAPI_E_OBJECT_DELETED;
    auto rows = m_properties.Database()->Children(m_properties.Id(), MAPI_ATTACH);
    *table = NewObjectTable(m_properties.Database(), IdsOf(rows), {PR_ATTACH_NUM, PR_ATTACH_FILENAME});
    return S_OK;
  }

  HRESULT OpenAttach(ULONG number, const IID* iid, ULONG flags, LPATTACH* attachment) override {
    if (attachment == nullptr) return MAPI_E_INVALID_PARAMETER;
    *attachment = nullptr;
    if (iid != nullptr && !IsEqualGUID(*iid, IID_IAttachment)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    if (!m_properties.Row()) return MAPI_E_OBJECT_DELETED;
    for (const ObjectRow& row : m_properties.Database()->Children(m_properties.Id(), MAPI_ATTACH)) {
      if (row.attachNumber != number) continue;
      bool writable = m_properties.Writable() && OpensForWriting(flags);
      *attachment = NewAttachObject(PropertyAccess(m_properties.Database(), row.id, writable));
      return S_OK;
    }
    return MAPI_E_NOT_FOUND;
  }

  HRESULT CreateAttach(const IID* iid, ULONG, ULONG* number, LPATTACH* attachment) override {
    if (attachment == nullptr || number == nullptr) return MAPI_E_INVALID_PARAMETER;
    *attachment = nullptr;
    if (iid != nullptr && !IsEqualGUID(*iid, IID_IAttachment)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    if (!m_properties.Writable()) return MAPI_E_NO_ACCESS;
    if (!m_properties.Row()) return MAPI_E_OBJECT_DELETED;
    auto row = m_properties.Database()->Create(MAPI_ATTACH, m_properties.Id());
    if (!row) return MAPI_E_CALL_FAILED;
    *number = row->attachNumber;
    *attachment = NewAttachObject(PropertyAccess(m_properties.Database(), row->id, true));
    return S_OK;
  }
};

}  // namespace

IMAPIFolder* NewFolderObject(PropertyAccess properties) { return new FolderObject(std::move(properties)); }
IMessage* NewMessageObject(PropertyAccess properties) { return new MessageObject(std::move(properties)); }
IAttach* NewAttachObject(PropertyAccess properties) { return new AttachObject(std::move(properties)); }

}  // namespace platform::message_store
