#include "platform/registry/registry_store.h"

#include "platform/kernel/storage_problem.h"
#include "platform/text/text_conversion.h"

namespace platform::internal {
namespace {

constexpr std::string_view kSchema = R"(
CREATE TABLE IF NOT EXISTS reg_keys(
  id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL, fold TEXT NOT NULL,
  UNIQUE(parent, fold));
CREATE TABLE IF NOT EXISTS reg_values(
  key INTEGER NOT NULL, name TEXT NOT NULL, fold TEXT NOT NULL, type INTEGER NOT NULL,
  data BLOB NOT NULL, origin INTEGER NOT NULL, PRIMARY KEY(key, fold));
INSERT OR IGNORE INTO reg_keys(id, parent, name, fold) VALUES
  (1, 0, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),
  (2, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),
  (3, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');
)";

// PRAGMA user_version of a registry whose schema and first contents are complete.
constexpr int kSeededVersion = 1;

// Past this many entries the cache starts again: a registry walk must not grow it without end.
constexpr std::size_t kMaxCachedEntries = 4096;

std::string Utf8(std::u16string_view text) { return Utf16ToUtf8(text); }
std::string Folded(std::u16string_view text) { return Utf16ToUtf8(FoldCase(text)); }

StoredValue ReadValueRow(SqliteStatement& row) {
  StoredValue value;
  value.name = Utf8ToUtf16(row.Text(0));
  value.type = static_cast<DWORD>(row.Int(1));
  value.data = row.Blob(2);
  value.origin = row.Int(3) == 0 ? ValueOrigin::kFactory : ValueOrigin::kSet;
  return value;
}

std::string StorageProblemOr(const SqliteDatabase& db, const std::string& fallback) {
  std::string plain = StorageProblem(db.File().parent_path());
  return plain.empty() ? fallback : plain;
}

}  // namespace

std::unique_ptr<RegistryStore> RegistryStore::Open(const std::filesystem::path& file, const Seeder& seed,
                                                   std::string* error) {
  auto db = SqliteDatabase::Open(file, error);
  if (!db) return nullptr;
  std::unique_ptr<RegistryStore> store(new RegistryStore(std::move(db)));
  // A device in use opens without writing anything: the common case, and the only one that works
  // on a read-only or full device.
  switch (store->CheckReadiness()) {
    case Readiness::kReady:
      return store;
    case Readiness::kUnknown:
      if (error) *error = file.string() + ": " + store->m_db->Problem();
      return nullptr;
    case Readiness::kNeedsContents:
      break;
  }
  if (store->m_db->ReadOnly()) {
    // An older registry that was complete but never marked still reads.
    if (store->HasTables()) return store;
    if (error) *error = file.string() + ": " + StorageProblemOr(*store->m_db, "the registry is read-only and empty");
    return nullptr;
  }
  std::string reason;
  if (!store->Prepare(seed, &reason)) {
    if (error) *error = file.string() + ": " + reason;
    return nullptr;
  }
  return store;
}

RegistryStore::Readiness RegistryStore::CheckReadiness() {
  auto version = m_db->Prepare("PRAGMA user_version");
  if (!version.Step()) return Readiness::kUnknown;
  return version.Int(0) == kSeededVersion ? Readiness::kReady : Readiness::kNeedsContents;
}

bool RegistryStore::HasTables() {
  auto existing = m_db->Prepare("SELECT count(*) FROM sqlite_master WHERE name='reg_keys'");
  return existing.Step() && existing.Int(0) != 0;
}

bool RegistryStore::HasFactoryValues() {
  auto factory = m_db->Prepare("SELECT 1 FROM reg_values WHERE origin=0 LIMIT 1");
  return factory.Step();
}

bool RegistryStore::Prepare(const Seeder& seed, std::string* error) {
  // Schema, roots and first contents go in one transaction, and the mark that they are there with
  // them: a process killed half way leaves a database that the next open completes.
  SqliteTransaction transaction(*m_db);
  if (!transaction.ok()) {
    *error = m_db->Problem();
    return false;
  }
  if (CheckReadiness() == Readiness::kReady) {
    transaction.Commit();
    return true;
  }
  // A registry of an older build: complete when any factory value made it in, since those went in
  // one transaction of their own.
  bool complete = HasTables() && HasFactoryValues();
  if (!m_db->Execute(kSchema) || (!complete && seed && !seed(*this, error)) ||
      !m_db->Execute("PRAGMA user_version=" + std::to_string(kSeededVersion))) {
    if (error->empty()) *error = m_db->Problem();
    return false;
  }
  if (!transaction.Commit()) {
    *error = m_db->Problem();
    return false;
  }
  return true;
}

void RegistryStore::Refresh() {
  std::optional<std::int64_t> version = m_db->InTransaction() ? std::nullopt : m_db->DataVersion();
  if (version != m_dataVersion || m_keys.size() + m_values.size() + m_existing.size() > kMaxCachedEntries) Forget();
  m_dataVersion = version;
}

void RegistryStore::Forget() {
  m_keys.clear();
  m_values.clear();
  m_existing.clear();
}

bool RegistryStore::KeyExists(KeyId key) {
  if (Caching()) {
    if (auto known = m_existing.find(key); known != m_existing.end()) return known->second;
  }
  auto query = m_db->Prepare("SELECT 1 FROM reg_keys WHERE id=?");
  bool exists = query.Bind(1, key).Step();
  if (Caching()) m_existing.emplace(key, exists);
  return exists;
}

std::optional<KeyId> RegistryStore::FindKey(KeyId parent, std::u16string_view name) {
  std::pair<KeyId, std::string> entry{parent, Folded(name)};
  if (Caching()) {
    if (auto known = m_keys.find(entry); known != m_keys.end()) return known->second;
  }
  auto query = m_db->Prepare("SELECT id FROM reg_keys WHERE parent=? AND fold=?");
  std::optional<KeyId> found;
  if (query.Bind(1, parent).Bind(2, entry.second).Step()) found = query.Int(0);
  if (Caching()) m_keys.emplace(std::move(entry), found);
  return found;
}

std::optional<KeyId> RegistryStore::CreateKey(KeyId parent, std::u16string_view name, bool* created) {
  if (auto found = FindKey(parent, name)) {
    *created = false;
    return found;
  }
  Forget();
  auto insert = m_db->Prepare("INSERT INTO reg_keys(parent, name, fold) VALUES(?, ?, ?)");
  if (!insert.Bind(1, parent).Bind(2, Utf8(name)).Bind(3, Folded(name)).Run()) return std::nullopt;
  *created = true;
  return m_db->LastInsertId();
}

bool RegistryStore::DeleteKeyTree(KeyId key) {
  Forget();
  // The tree in one statement each, however deep the file's chain of keys: a call per level ran out
  // of stack. UNION, not UNION ALL, so that a damaged file's loop of parents still ends.
  constexpr std::string_view kTree =
      "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION SELECT k.id FROM reg_keys k JOIN tree ON k.parent=tree.id) ";
  return m_db->Prepare(std::string(kTree) + "DELETE FROM reg_values WHERE key IN tree").Bind(1, key).Run() &&
         m_db->Prepare(std::string(kTree) + "DELETE FROM reg_keys WHERE id IN tree").Bind(1, key).Run();
}

std::optional<std::u16string> RegistryStore::SubKeyAt(KeyId key, DWORD index) {
  auto query = m_db->Prepare("SELECT name FROM reg_keys WHERE parent=? ORDER BY id LIMIT 1 OFFSET ?");
  if (query.Bind(1, key).Bind(2, static_cast<std::int64_t>(index)).Step()) return Utf8ToUtf16(query.Text(0));
  return std::nullopt;
}

std::optional<StoredValue> RegistryStore::GetValue(KeyId key, std::u16string_view name) {
  std::pair<KeyId, std::string> entry{key, Folded(name)};
  if (Caching()) {
    if (auto known = m_values.find(entry); known != m_values.end()) return known->second;
  }
  auto query = m_db->Prepare("SELECT name, type, data, origin FROM reg_values WHERE key=? AND fold=?");
  std::optional<StoredValue> value;
  if (query.Bind(1, key).Bind(2, entry.second).Step()) value = ReadValueRow(query);
  if (Caching()) m_values.emplace(std::move(entry), value);
  return value;
}

bool RegistryStore::SetValue(KeyId key, std::u16string_view name, DWORD type, std::string_view data,
                             ValueOrigin origin) {
  Forget();
  auto upsert = m_db->Prepare(
      "INSERT INTO reg_values(key, name, fold, type, data, origin) VALUES(?, ?, ?, ?, ?, ?) "
      "ON CONFLICT(key, fold) DO UPDATE SET name=excluded.name, type=excluded.type, data=excluded.data, "
      "origin=excluded.origin");
  return upsert.Bind(1, key)
      .Bind(2, Utf8(name))
      .Bind(3, Folded(name))
      .Bind(4, static_cast<std::int64_t>(type))
      .BindBlob(5, data)
      .Bind(6, origin == ValueOrigin::kFactory ? 0 : 1)
      .Run();
}

bool RegistryStore::DeleteValue(KeyId key, std::u16string_view name) {
  Forget();
  auto erase = m_db->Prepare("DELETE FROM reg_values WHERE key=? AND fold=?");
  return erase.Bind(1, key).Bind(2, Folded(name)).Run() && m_db->Changes() > 0;
}

std::optional<StoredValue> RegistryStore::ValueAt(KeyId key, DWORD index) {
  auto query = m_db->Prepare(
      "SELECT name, type, data, origin FROM reg_values WHERE key=? ORDER BY rowid LIMIT 1 OFFSET ?");
  if (query.Bind(1, key).Bind(2, static_cast<std::int64_t>(index)).Step()) return ReadValueRow(query);
  return std::nullopt;
}

KeySummary RegistryStore::Summarize(KeyId key) {
  KeySummary summary;
  auto keys = m_db->Prepare("SELECT name FROM reg_keys WHERE parent=?");
  keys.Bind(1, key);
  while (keys.Step()) {
    ++summary.subKeys;
    summary.maxSubKeyLength = std::max<DWORD>(summary.maxSubKeyLength, Utf8ToUtf16(keys.Text(0)).size());
  }
  auto values = m_db->Prepare("SELECT name, length(data) FROM reg_values WHERE key=?");
  values.Bind(1, key);
  while (values.Step()) {
    ++summary.values;
    summary.maxValueNameLength = std::max<DWORD>(summary.maxValueNameLength, Utf8ToUtf16(values.Text(0)).size());
    summary.maxValueLength = std::max<DWORD>(summary.maxValueLength, static_cast<DWORD>(values.Int(1)));
  }
  return summary;
}

}  // namespace platform::internal
