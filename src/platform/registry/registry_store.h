// The registry's storage: keys and typed values in an SQLite database. Names keep their spelling and
// are matched through their case-folded form.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/internal/sqlite_database.h"
#include "platform/registry/registry.h"

namespace platform::internal {

using KeyId = std::int64_t;

struct StoredValue {
  std::u16string name;
  DWORD type = REG_NONE;
  std::string data;
  ValueOrigin origin = ValueOrigin::kSet;
};

struct KeySummary {
  DWORD subKeys = 0;
  DWORD maxSubKeyLength = 0;
  DWORD values = 0;
  DWORD maxValueNameLength = 0;
  DWORD maxValueLength = 0;
};

class RegistryStore {
 public:
  // The three predefined roots.
  static constexpr KeyId kClassesRoot = 1;
  static constexpr KeyId kCurrentUser = 2;
  static constexpr KeyId kLocalMachine = 3;

  // Writes the first contents of a new registry inside the transaction that creates it.
  using Seeder = std::function<bool(RegistryStore&, std::string* error)>;

  // Opens the registry, creating it with its roots and the seeder's contents when it is new or
  // was left unfinished (the seeder may be empty: no contents).
  static std::unique_ptr<RegistryStore> Open(const std::filesystem::path& file, const Seeder& seed, std::string* error);

  bool KeyExists(KeyId key);
  std::optional<KeyId> FindKey(KeyId parent, std::u16string_view name);
  std::optional<KeyId> CreateKey(KeyId parent, std::u16string_view name, bool* created);
  bool DeleteKeyTree(KeyId key);
  std::optional<std::u16string> SubKeyAt(KeyId key, DWORD index);

  std::optional<StoredValue> GetValue(KeyId key, std::u16string_view name);
  bool SetValue(KeyId key, std::u16string_view name, DWORD type, std::string_view data, ValueOrigin origin);
  // False when there was no such value.
  bool DeleteValue(KeyId key, std::u16string_view name);
  std::optional<StoredValue> ValueAt(KeyId key, DWORD index);
  KeySummary Summarize(KeyId key);

  SqliteDatabase& database() { return *m_db; }

  // Key lookups and value reads are answered from memory while the database is unchanged: settings
  // are read far more often than written. Each registry call starts here, so that what another
  // connection committed since is seen; writes through this store drop what was kept.
  void Refresh();

 private:
  enum class Readiness { kReady, kNeedsContents, kUnknown };

  explicit RegistryStore(std::unique_ptr<SqliteDatabase> db) : m_db(std::move(db)) {}
  Readiness CheckReadiness();
  bool HasTables();
  bool HasFactoryValues();
  bool Prepare(const Seeder& seed, std::string* error);
  // Inside an explicit transaction nothing is kept: what it reads may still be rolled back.
  bool Caching() const { return m_dataVersion.has_value() && !m_db->InTransaction(); }
  void Forget();

  std::unique_ptr<SqliteDatabase> m_db;
  std::optional<std::int64_t> m_dataVersion;  // of the database when the cache was filled
  std::map<std::pair<KeyId, std::string>, std::optional<KeyId>> m_keys;  // (parent, folded name)
  std::map<std::pair<KeyId, std::string>, std::optional<StoredValue>> m_values;  // (key, folded name)
  std::map<KeyId, bool> m_existing;
};

}  // namespace platform::internal
