#include "platform/message_store/store_database.h"

#include <limits>
#include <random>

#include "platform/kernel/clock.h"
#include "platform/message_store/mapi_tags.h"
#include "platform/message_store/message_store.h"
#include "platform/text/text_conversion.h"

namespace platform::message_store {
namespace {

using internal::SqliteDatabase;
using internal::SqliteTransaction;

constexpr int kSchemaVersion = 1;
constexpr std::size_t kUidBytes = 16;
constexpr std::int64_t kFileTimeOf1970 = 116444736000000000;
constexpr std::int64_t kFileTimeUnitsPerSecond = 10000000;

constexpr std::string_view kSchema = R"(
CREATE TABLE store_info(uid BLOB NOT NULL);
CREATE TABLE objects(
  id INTEGER PRIMARY KEY AUTOINCREMENT, kind INTEGER NOT NULL,
  parent INTEGER REFERENCES objects(id) ON DELETE CASCADE, entry_id BLOB UNIQUE, attach_number INTEGER);
CREATE INDEX objects_by_parent ON objects(parent, kind);
CREATE TABLE properties(
  object INTEGER NOT NULL REFERENCES objects(id) ON DELETE CASCADE, prop_id INTEGER NOT NULL,
  type INTEGER NOT NULL, number INTEGER, bytes BLOB, PRIMARY KEY(object, prop_id)) WITHOUT ROWID;
)";

std::string RandomUid() {
  std::random_device random;
  std::string uid(kUidBytes, '\0');
  for (char& byte : uid) byte = static_cast<char>(random() & 0xFF);
  return uid;
}

void AppendLittleEndian(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t ReadLittleEndian(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[offset + static_cast<std::size_t>(i)]);
  return value;
}

StoredValue TextValue(std::u16string_view text) {
  StoredValue value{PT_UNICODE, 0, {}};
  for (char16_t c : text) {
    value.bytes.push_back(static_cast<char>(c & 0xFF));
    value.bytes.push_back(static_cast<char>(c >> 8));
  }
  return value;
}

ObjectRow RowOf(const internal::SqliteStatement& query) {
  return ObjectRow{query.Int(0), static_cast<ULONG>(query.Int(1)), query.Int(2), query.Blob(3),
                   static_cast<ULONG>(query.Int(4))};
}

constexpr std::string_view kRowColumns = "SELECT id, kind, ifnull(parent, 0), ifnull(entry_id, x''), ifnull(attach_number, 0) FROM objects ";

}  // namespace

std::int64_t FileTimeFromUnix(std::int64_t seconds) { return kFileTimeOf1970 + seconds * kFileTimeUnitsPerSecond; }

std::int64_t UnixFromFileTime(std::int64_t fileTime) {
  std::int64_t since1970 = fileTime - kFileTimeOf1970;
  // Whole seconds, rounded towards the past also before 1970.
  return since1970 >= 0 ? since1970 / kFileTimeUnitsPerSecond
                        : -((-since1970 + kFileTimeUnitsPerSecond - 1) / kFileTimeUnitsPerSecond);
}

std::shared_ptr<StoreDatabase> StoreDatabase::Open(const std::filesystem::path& file, std::string* error) {
  std::string reason;
  auto db = SqliteDatabase::Open(file, &reason);
  if (!db) {
    if (error) *error = "message store " + reason;
    return nullptr;
  }
  std::shared_ptr<StoreDatabase> store(new StoreDatabase(std::move(db)));
  if (!store->PrepareSchema(&reason)) {
    if (error) *error = "message store " + file.string() + ": " + reason;
    return nullptr;
  }
  return store;
}

bool StoreDatabase::PrepareSchema(std::string* error) {
  if (!m_db->Execute("PRAGMA foreign_keys=ON")) {
    *error = m_db->LastError();
    return false;
  }
  {
    auto check = m_db->Prepare("PRAGMA quick_check");
    if (!check.Step() || check.Text(0) != "ok") {
      *error = "damaged database: " + (check.ok() ? check.Text(0) : m_db->Problem());
      return false;
    }
  }
  // A store in use opens without writing. Every statement here is finished before any write: a
  // write after an open read would have to upgrade it, which SQLite refuses at once when another
  // process wrote in between.
  if (ReadIdentity(error)) return true;
  if (!error->empty()) return false;
  if (m_db->ReadOnly()) {
    *error = "the store is not made yet and " + m_db->Problem();
    return false;
  }
  SqliteTransaction transaction(*m_db);
  if (!transaction.ok()) {
    *error = "cannot create the store: " + m_db->Problem();
    return false;
  }
  // Another process may have made it while this one waited for the lock.
  if (ReadIdentity(error)) return true;
  if (!error->empty()) return false;
  if (!CreateSchema(error)) return false;
  if (!transaction.Commit()) {
    *error = "cannot create the store: " + m_db->Problem();
    return false;
  }
  return true;
}

bool StoreDatabase::ReadIdentity(std::string* error) {
  std::int64_t found = -1;
  std::int64_t tables = -1;
  {
    // One statement, so one snapshot: read apart, another process could create the store between
    // the version and the table count, and a store just made would look like a stranger's file.
    auto identity = m_db->Prepare("SELECT user_version, (SELECT count(*) FROM sqlite_master) FROM pragma_user_version");
    if (identity.Step()) {
      found = identity.Int(0);
      tables = identity.Int(1);
    }
  }
  if (found == 0) {
    if (tables != 0) *error = "not a message store (unknown tables)";
    return false;
  }
  if (found != kSchemaVersion) {
    *error = found < 0 ? m_db->Problem() : "unknown store version " + std::to_string(found);
    return false;
  }
  {
    auto info = m_db->Prepare("SELECT uid FROM store_info");
    if (!info.Step() || (m_uid = info.Blob(0)).size() != kUidBytes) {
      *error = "damaged database: the store identity is missing";
      return false;
    }
  }
  auto store = m_db->Prepare("SELECT id FROM objects WHERE kind=? AND parent IS NULL");
  if (!store.Bind(1, MAPI_STORE).Step()) {
    *error = "damaged database: the store object is missing";
    return false;
  }
  m_storeId = store.Int(0);
  return true;
}

// Inside the caller's transaction: tables, identity and standard folders at once, so that no
// process ever sees a store without its folders.
bool StoreDatabase::CreateSchema(std::string* error) {
  if (!m_db->Execute(kSchema) || !m_db->Execute("PRAGMA user_version=" + std::to_string(kSchemaVersion))) {
    *error = "cannot create the store: " + m_db->Problem();
    return false;
  }
  m_uid = RandomUid();
  if (!m_db->Prepare("INSERT INTO store_info(uid) VALUES(?)").BindBlob(1, m_uid).Run() || !CreateStandardObjects()) {
    *error = "cannot create the standard folders: " + m_db->Problem();
    return false;
  }
  return true;
}

bool StoreDatabase::CreateStandardObjects() {
  auto store = Create(MAPI_STORE, 0);
  if (!store) return false;
  m_storeId = store->id;
  auto root = Create(MAPI_FOLDER, store->id);
  if (!root) return false;
  for (const StandardFolder& folder : StandardFolders()) {
    auto row = Create(MAPI_FOLDER, root->id);
    if (!row || !Set(row->id, PR_DISPLAY_NAME, TextValue(folder.name)) ||
        !Set(store->id, folder.storeTag, StoredValue{PT_BINARY, 0, row->entryId})) {
      return false;
    }
  }
  return Set(store->id, PR_DISPLAY_NAME, TextValue(u"Messages"));
}

std::string StoreDatabase::MakeEntryId(std::int64_t id, ULONG kind) const {
  // Flags, the store's identity, the object and its kind: the object's bytes come before the last
  // four, so that identifiers that differ only there never occur.
  std::string entryId(4, '\0');
  entryId += m_uid;
  AppendLittleEndian(entryId, static_cast<std::uint32_t>(id));
  AppendLittleEndian(entryId, kind);
  return entryId;
}

std::optional<ObjectRow> StoreDatabase::Find(std::int64_t id) {
  auto query = m_db->Prepare(std::string(kRowColumns) + "WHERE id=?");
  if (!query.Bind(1, id).Step()) return std::nullopt;
  return RowOf(query);
}

bool StoreDatabase::IsOwnEntryId(std::string_view entryId) const {
  constexpr std::size_t kSize = 4 + kUidBytes + 8;
  return entryId.size() == kSize && entryId.substr(4, kUidBytes) == m_uid;
}

std::optional<ObjectRow> StoreDatabase::FindByEntryId(std::string_view entryId) {
  if (!IsOwnEntryId(entryId)) return std::nullopt;
  auto row = Find(ReadLittleEndian(entryId, 4 + kUidBytes));
  if (!row || row->entryId != entryId) return std::nullopt;
  return row;
}

std::optional<ObjectRow> StoreDatabase::Create(ULONG kind, std::int64_t parent) {
  // The row and its entry identifier go together (a row without one would be a message nobody can
  // open), and the next attachment number is taken under the same lock.
  SqliteTransaction transaction(*m_db);
  if (!transaction.ok()) return std::nullopt;
  ULONG attachNumber = 0;
  if (kind == MAPI_ATTACH) {
    auto next = m_db->Prepare("SELECT ifnull(max(attach_number) + 1, 0) FROM objects WHERE parent=? AND kind=?");
    if (!next.Bind(1, parent).Bind(2, MAPI_ATTACH).Step()) return std::nullopt;
    // Numbers past the type's range (only a damaged file holds them) would wrap onto used ones.
    std::int64_t number = next.Int(0);
    if (number < 0 || number > std::numeric_limits<ULONG>::max()) return std::nullopt;
    attachNumber = static_cast<ULONG>(number);
  }
  auto insert = m_db->Prepare("INSERT INTO objects(kind, parent, attach_number) VALUES(?, ?, ?)");
  insert.Bind(1, kind).Bind(3, attachNumber);
  if (parent != 0) insert.Bind(2, parent);
  if (!insert.Run()) return std::nullopt;
  ObjectRow row{m_db->LastInsertId(), kind, parent, {}, attachNumber};
  if (kind != MAPI_ATTACH) {
    row.entryId = MakeEntryId(row.id, kind);
    if (!m_db->Prepare("UPDATE objects SET entry_id=? WHERE id=?").BindBlob(1, row.entryId).Bind(2, row.id).Run()) {
      return std::nullopt;
    }
  }
  if (!transaction.Commit()) return std::nullopt;
  return row;
}

bool StoreDatabase::Delete(std::int64_t id) {
  return m_db->Prepare("DELETE FROM objects WHERE id=?").Bind(1, id).Run() && m_db->Changes() > 0;
}

bool StoreDatabase::Reparent(std::int64_t id, std::int64_t parent) {
  // The move and its time stamp go together: a failed stamp must not leave the move made.
  SqliteTransaction transaction(*m_db);
  return transaction.ok() &&
         m_db->Prepare("UPDATE objects SET parent=? WHERE id=?").Bind(1, parent).Bind(2, id).Run() &&
         m_db->Changes() > 0 && Touch(id) && transaction.Commit();
}

std::vector<ObjectRow> StoreDatabase::Children(std::int64_t parent, ULONG kind) {
  std::vector<ObjectRow> rows;
  auto query = m_db->Prepare(std::string(kRowColumns) + "WHERE parent=? AND kind=? ORDER BY id");
  query.Bind(1, parent).Bind(2, kind);
  while (query.Step()) rows.push_back(RowOf(query));
  return rows;
}

std::optional<StoredValue> StoreDatabase::Get(std::int64_t object, ULONG tag) {
  auto query = m_db->Prepare("SELECT type, ifnull(number, 0), ifnull(bytes, x'') FROM properties WHERE object=? AND prop_id=?");
  if (!query.Bind(1, object).Bind(2, PROP_ID(tag)).Step()) return std::nullopt;
  return StoredValue{static_cast<ULONG>(query.Int(0)), query.Int(1), query.Blob(2)};
}

std::vector<StoredProperty> StoreDatabase::All(std::int64_t object) {
  std::vector<StoredProperty> properties;
  auto query = m_db->Prepare(
      "SELECT prop_id, type, ifnull(number, 0), ifnull(bytes, x'') FROM properties WHERE object=? ORDER BY prop_id");
  query.Bind(1, object);
  while (query.Step()) {
    auto type = static_cast<ULONG>(query.Int(1));
    properties.push_back({PROP_TAG(type, static_cast<ULONG>(query.Int(0))), {type, query.Int(2), query.Blob(3)}});
  }
  return properties;
}

bool StoreDatabase::Set(std::int64_t object, ULONG tag, const StoredValue& value) {
  // The value and the time stamp in one transaction: a write reported as failed must not be there.
  SqliteTransaction transaction(*m_db);
  if (!transaction.ok()) return false;
  auto upsert = m_db->Prepare("INSERT OR REPLACE INTO properties(object, prop_id, type, number, bytes) VALUES(?, ?, ?, ?, ?)");
  upsert.Bind(1, object).Bind(2, PROP_ID(tag)).Bind(3, value.type).Bind(4, value.number).BindBlob(5, value.bytes);
  return upsert.Run() && Touch(object) && transaction.Commit();
}

bool StoreDatabase::Remove(std::int64_t object, ULONG tag) {
  SqliteTransaction transaction(*m_db);
  return transaction.ok() &&
         m_db->Prepare("DELETE FROM properties WHERE object=? AND prop_id=?")
             .Bind(1, object)
             .Bind(2, PROP_ID(tag))
             .Run() &&
         Touch(object) && transaction.Commit();
}

bool StoreDatabase::Touch(std::int64_t object) {
  auto upsert = m_db->Prepare("INSERT OR REPLACE INTO properties(object, prop_id, type, number) VALUES(?, ?, ?, ?)");
  return upsert.Bind(1, object)
      .Bind(2, PROP_ID(PR_LAST_MODIFICATION_TIME))
      .Bind(3, PT_SYSTIME)
      .Bind(4, FileTimeFromUnix(UnixTimeNow()))
      .Run();
}

}  // namespace platform::message_store
