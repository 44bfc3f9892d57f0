#include "platform/kernel/device.h"
#include "platform/message_store/message_store.h"
#include "platform/message_store/store_objects.h"

namespace platform {
namespace {

using message_store::PropertyAccess;
using message_store::StoreDatabase;

constexpr const char* kStoreFile = "message_store.db";

constexpr StandardFolder kStandardFolders[] = {
    {u"Inbox", PR_INBOX_FOLDER_ENTRYID},         {u"Outbox", PR_OUTBOX_FOLDER_ENTRYID},
    {u"Sent Items", PR_SENTMAIL_FOLDER_ENTRYID}, {u"Drafts", PR_DRAFTS_FOLDER_ENTRYID},
    {u"Deleted Items", PR_WASTEBASKET_FOLDER_ENTRYID},
};

const IID& InterfaceOfKind(ULONG kind) {
  switch (kind) {
    case MAPI_STORE:
      return IID_IMsgStore;
    case MAPI_FOLDER:
      return IID_IMAPIFolder;
    default:
      return IID_IMessage;
  }
}

class StoreObject final : public message_store::PropObject<IMsgStore> {
 public:
  explicit StoreObject(PropertyAccess properties) : PropObject(std::move(properties), IID_IMsgStore) {}

  const std::shared_ptr<StoreDatabase>& Database() const { return m_properties.Database(); }

  HRESULT OpenEntry(ULONG size, LPENTRYID entryId, const IID* iid, ULONG flags, ULONG* objectType,
                    LPUNKNOWN* object) override {
    if (object == nullptr || objectType == nullptr || (size > 0 && entryId == nullptr)) return MAPI_E_INVALID_PARAMETER;
    *object = nullptr;
    *objectType = 0;
    StoreDatabase& db = *m_properties.Database();
    std::optional<message_store::ObjectRow> row;
    if (size == 0) {
      auto roots = db.Children(db.StoreId(), MAPI_FOLDER);
      if (!roots.empty()) row = roots.front();
    } else {
      std::string_view bytes(reinterpret_cast<const char*>(entryId), size);
      if (!db.IsOwnEntryId(bytes)) return MAPI_E_INVALID_ENTRYID;
      row = db.FindByEntryId(bytes);
    }
    if (!row) return MAPI_E_NOT_FOUND;
    const IID& own = InterfaceOfKind(row->kind);
    if (iid != nullptr && !IsEqualGUID(*iid, own) && !IsEqualGUID(*iid, IID_IMAPIProp) &&
        !IsEqualGUID(*iid, IID_IUnknown) && !(row->kind == MAPI_FOLDER && IsEqualGUID(*iid, IID_IMAPIContainer))) {
      return MAPI_E_INTERFACE_NOT_SUPPORTED;
    }
    PropertyAccess properties(m_properties.Database(), row->id, message_store::OpensForWriting(flags));
    switch (row->kind) {
      case MAPI_STORE:
        AddRef();
        *object = static_cast<IMsgStore*>(this);
        break;
      case MAPI_FOLDER:
        *object = message_store::NewFolderObject(std::move(properties));
        break;
      case MAPI_MESSAGE:
        *object = message_store::NewMessageObject(std::move(properties));
        break;
      default:
        return MAPI_E_NOT_FOUND;
    }
    *objectType = row->kind;
    return S_OK;
  }
};

}  // namespace

std::span<const StandardFolder> StandardFolders() { return kStandardFolders; }

HRESULT OpenMessageStore(IMsgStore** store, std::string* error) {
  if (store == nullptr) return MAPI_E_INVALID_PARAMETER;
  *store = nullptr;
  const std::filesystem::path& root = DeviceRoot();
  if (root.empty()) {
    if (error) *error = "no device is open";
    return MAPI_E_CALL_FAILED;
  }
  auto db = StoreDatabase::Open(root / kStoreFile, error);
  if (!db) return MAPI_E_CORRUPT_STORE;
  std::int64_t id = db->StoreId();
  *store = new StoreObject(PropertyAccess(std::move(db), id, true));
  return S_OK;
}

StoreTransaction::StoreTransaction(IMsgStore* store) {
  auto* own = dynamic_cast<StoreObject*>(store);
  if (own == nullptr) return;
  m_db = own->Database();
  m_transaction = std::make_unique<internal::SqliteTransaction>(m_db->Connection());
}

StoreTransaction::~StoreTransaction() = default;

bool StoreTransaction::ok() const { return m_transaction && m_transaction->ok(); }

bool StoreTransaction::Commit() { return m_transaction && m_transaction->Commit(); }

std::string StoreTransaction::Problem() const { return m_db ? m_db->Problem() : "no message store is open"; }

}  // namespace platform
