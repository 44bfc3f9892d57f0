#include "platform/internal/sqlite_database.h"

#include <sqlite3.h>

namespace platform::internal {

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) {
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_statement, nullptr) != SQLITE_OK) {
    m_statement = nullptr;
  }
}

SqliteStatement::~SqliteStatement() {
  if (m_owner != nullptr) {
    m_owner->GiveBack(m_statement);
  } else {
    sqlite3_finalize(m_statement);
  }
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
  if (m_statement && sqlite3_bind_int64(m_statement, index, value) != SQLITE_OK) m_failed = true;
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
  if (m_statement &&
      sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK) {
    m_failed = true;
  }
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, std::string_view bytes) {
  // A zero-length blob must still be a blob, not NULL.
  static const char kEmpty = 0;
  const char* data = bytes.empty() ? &kEmpty : bytes.data();
  if (m_statement &&
      sqlite3_bind_blob(m_statement, index, data, static_cast<int>(bytes.size()), SQLITE_TRANSIENT) != SQLITE_OK) {
    m_failed = true;
  }
  return *this;
}

bool SqliteStatement::Step() {
  if (!m_statement || m_failed) return false;
  int status = sqlite3_step(m_statement);
  if (status == SQLITE_ROW) return true;
  if (status != SQLITE_DONE) m_failed = true;
  return false;
}

bool SqliteStatement::Run() {
  while (Step()) {
  }
  return m_statement != nullptr && !m_failed;
}

std::int64_t SqliteStatement::Int(int column) const { return sqlite3_column_int64(m_statement, column); }

std::string SqliteStatement::Text(int column) const {
  auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column))) : std::string();
}

std::string SqliteStatement::Blob(int column) const {
  auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
  return data ? std::string(data, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column))) : std::string();
}

bool SqliteStatement::IsNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }

std::unique_ptr<SqliteDatabase> SqliteDatabase::Open(const std::filesystem::path& file, std::string* error) {
  sqlite3* db = nullptr;
  int status = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (status != SQLITE_OK) {
    if (error) *error = db ? sqlite3_errmsg(db) : "cannot open database";
    sqlite3_close(db);
    return nullptr;
  }
  // Two processes on one device wait for each other instead of failing.
  sqlite3_busy_timeout(db, 5000);
  std::unique_ptr<SqliteDatabase> database(new SqliteDatabase(db));
  // Reading the schema is the first thing that notices a file that is not a database.
  if (!database->Execute("PRAGMA journal_mode=WAL") || !database->Execute("PRAGMA synchronous=NORMAL") ||
      !database->Execute("SELECT count(*) FROM sqlite_master")) {
    if (error) *error = file.string() + ": " + database->LastError();
    return nullptr;
  }
  return database;
}

SqliteDatabase::~SqliteDatabase() {
  for (auto& [sql, statement] : m_idle) sqlite3_finalize(statement);
  for (auto& [statement, sql] : m_lent) sqlite3_finalize(statement);
  sqlite3_close(m_db);
}

SqliteStatement SqliteDatabase::Prepare(std::string_view sql) {
  std::string key(sql);
  if (auto idle = m_idle.find(key); idle != m_idle.end()) {
    sqlite3_stmt* statement = idle->second;
    m_idle.erase(idle);
    m_lent.emplace(statement, std::move(key));
    return SqliteStatement(this, statement);
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(m_db, key.data(), static_cast<int>(key.size()), &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return SqliteStatement(m_db, "");
  }
  m_lent.emplace(statement, std::move(key));
  return SqliteStatement(this, statement);
}

void SqliteDatabase::GiveBack(sqlite3_stmt* statement) {
  auto lent = m_lent.find(statement);
  if (lent == m_lent.end()) return;
  sqlite3_reset(statement);
  sqlite3_clear_bindings(statement);
  // A second copy of the same SQL (compiled for a nested use) is dropped rather than kept.
  if (m_idle.emplace(lent->second, statement).second == false) sqlite3_finalize(statement);
  m_lent.erase(lent);
}

bool SqliteDatabase::Execute(std::string_view sql) {
  std::string text(sql);
  return sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::int64_t SqliteDatabase::LastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

int SqliteDatabase::Changes() const { return sqlite3_changes(m_db); }

std::string SqliteDatabase::LastError() const { return sqlite3_errmsg(m_db); }

bool SqliteDatabase::Checkpoint() {
  return sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_FULL, nullptr, nullptr) == SQLITE_OK;
}

bool SqliteDatabase::InTransaction() const { return sqlite3_get_autocommit(m_db) == 0; }

std::optional<std::int64_t> SqliteDatabase::DataVersion() {
  auto query = Prepare("PRAGMA data_version");
  if (query.Step()) return query.Int(0);
  return std::nullopt;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : m_db(db), m_open(db.Execute("BEGIN IMMEDIATE")) {}

SqliteTransaction::~SqliteTransaction() {
  if (m_open) m_db.Execute("ROLLBACK");
}

bool SqliteTransaction::Commit() {
  if (!m_open) return false;
  m_open = !m_db.Execute("COMMIT");
  return !m_open;
}

}  // namespace platform::internal
