// The message store's tables: objects (the store, folders, messages, attachments) in a tree, and
// their typed property values. Every write is committed before the call returns.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/internal/sqlite_database.h"
#include "platform/message_store/mapi_types.h"

namespace platform::message_store {

// The largest value one property holds (attachment data included).
constexpr std::size_t kMaxPropertyBytes = 64u << 20;

// A property value as kept: integers, booleans and times in `number`; text as UTF-16LE bytes and
// binary values as they are in `bytes`.
struct StoredValue {
  ULONG type = PT_NULL;
  std::int64_t number = 0;
  std::string bytes;
};

struct StoredProperty {
  ULONG tag = 0;
  StoredValue value;
};

struct ObjectRow {
  std::int64_t id = 0;
  ULONG kind = 0;
  std::int64_t parent = 0;
  std::string entryId;  // empty for attachments
  ULONG attachNumber = 0;
};

class StoreDatabase {
 public:
  // Opens or creates the store file; null with *error when the file is no store or is damaged.
  static std::shared_ptr<StoreDatabase> Open(const std::filesystem::path& file, std::string* error);

  std::int64_t StoreId() const { return m_storeId; }
  std::optional<ObjectRow> Find(std::int64_t id);
  // The object an entry identifier names, when it is one of this store's and still exists.
  std::optional<ObjectRow> FindByEntryId(std::string_view entryId);
  // Folders and messages get an entry identifier; attachments get the next number of their message.
  std::optional<ObjectRow> Create(ULONG kind, std::int64_t parent);
  bool Delete(std::int64_t id);
  // Gives the object a new parent, keeping its entry identifier, properties and children.
  bool Reparent(std::int64_t id, std::int64_t parent);
  std::vector<ObjectRow> Children(std::int64_t parent, ULONG kind);

  // The value stored under the tag's property identifier, whatever its type.
  std::optional<StoredValue> Get(std::int64_t object, ULONG tag);
  std::vector<StoredProperty> All(std::int64_t object);
  // Replaces the value under the tag's identifier and stamps the object's modification time.
  bool Set(std::int64_t object, ULONG tag, const StoredValue& value);
  bool Remove(std::int64_t object, ULONG tag);
  // Groups several writes into one commit; rolls back unless committed. Takes the write lock at
  // once; inside an open transaction it is a part of that one.
  internal::SqliteTransaction Begin() { return internal::SqliteTransaction(*m_db); }
  internal::SqliteDatabase& Connection() { return *m_db; }
  // Whether the identifier has the form of this store's, whether or not its object still exists.
  bool IsOwnEntryId(std::string_view entryId) const;
  // The last failure in plain words (the device folder full or read-only, when that is why).
  std::string Problem() const { return m_db->Problem(); }

 private:
  explicit StoreDatabase(std::unique_ptr<internal::SqliteDatabase> db) : m_db(std::move(db)) {}
  bool PrepareSchema(std::string* error);
  // False with *error empty when the store is simply not made yet.
  bool ReadIdentity(std::string* error);
  bool CreateSchema(std::string* error);
  bool CreateStandardObjects();
  std::string MakeEntryId(std::int64_t id, ULONG kind) const;
  bool Touch(std::int64_t object);

  std::unique_ptr<internal::SqliteDatabase> m_db;
  std::string m_uid;
  std::int64_t m_storeId = 0;
};

// Seconds since 1970 as a FILETIME count of 100-ns intervals since 1601, and back.
std::int64_t FileTimeFromUnix(std::int64_t seconds);
std::int64_t UnixFromFileTime(std::int64_t fileTime);

}  // namespace platform::message_store
