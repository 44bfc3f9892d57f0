// The device's message store: an SQLite database in the device root ("message_store.db") holding
// folders, messages with typed properties, and attachments with their data.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "platform/message_store/mapi_interfaces.h"
#include "platform/message_store/mapi_tags.h"

namespace platform {
namespace message_store {
class StoreDatabase;
}
namespace internal {
class SqliteTransaction;
}

// A folder the store creates with itself, and the store property that holds its entry identifier.
struct StandardFolder {
  const char16_t* name;
  ULONG storeTag;
};

// Inbox, Outbox, Sent Items, Drafts, Deleted Items.
std::span<const StandardFolder> StandardFolders();

// Opens the current device's store, creating it with its standard folders when there is none.
// A file that is not a store database, or a damaged one, gives MAPI_E_CORRUPT_STORE with *error
// saying what is wrong; the file is left as it is.
HRESULT OpenMessageStore(IMsgStore** store, std::string* error = nullptr);

// Holds the write lock of a store opened by OpenMessageStore from construction to Commit; every
// change made through the store's objects meanwhile becomes visible to other processes at once on
// Commit, or not at all (destruction without Commit rolls back, and so does a killed process).
class StoreTransaction {
 public:
  explicit StoreTransaction(IMsgStore* store);
  ~StoreTransaction();
  StoreTransaction(const StoreTransaction&) = delete;
  StoreTransaction& operator=(const StoreTransaction&) = delete;

  bool ok() const;
  bool Commit();
  // Why the last store operation failed, in plain words.
  std::string Problem() const;

 private:
  std::shared_ptr<message_store::StoreDatabase> m_db;
  std::unique_ptr<internal::SqliteTransaction> m_transaction;
};

}  // namespace platform
