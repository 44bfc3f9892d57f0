#include "platform/internal/sqlite_database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <thread>

#include "platform/kernel/storage_problem.h"

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

namespace {

// Long enough for the other processes of a device to finish what they hold the lock for.
constexpr int kBusyTimeoutMs = 5000;
constexpr auto kBusyRetryFor = std::chrono::seconds(10);

bool IsBusy(int status) { return (status & 0xFF) == SQLITE_BUSY || (status & 0xFF) == SQLITE_LOCKED; }

// Whether the failure comes from the file system (space, permissions, files that cannot be made)
// rather than from the SQL or the data.
bool IsStorageFailure(int status) {
  switch (status & 0xFF) {
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_FULL:
    case SQLITE_READONLY:
      return true;
    default:
      return false;
  }
}

std::string ImmutableUri(const std::filesystem::path& file) {
  std::string uri = "file:";
  for (unsigned char c : file.string()) {
    if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_') {
      uri += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      uri += escaped;
    }
  }
  return uri + "?immutable=1";
}

}  // namespace

std::unique_ptr<SqliteDatabase> SqliteDatabase::OpenWith(const std::filesystem::path& file, const std::string& name,
                                                         int flags, std::string* error) {
  sqlite3* db = nullptr;
  int status = sqlite3_open_v2(name.c_str(), &db, flags, nullptr);
  if (status != SQLITE_OK) {
    *error = db ? sqlite3_errmsg(db) : "cannot open database";
    int systemError = db ? sqlite3_system_errno(db) : 0;
    sqlite3_close(db);
    if (std::string plain = StorageProblem(file.parent_path(), systemError); !plain.empty()) *error = plain;
    return nullptr;
  }
  // Two processes on one device wait for each other instead of failing.
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  bool readOnly = sqlite3_db_readonly(db, "main") == 1;
  std::unique_ptr<SqliteDatabase> database(new SqliteDatabase(db, file, readOnly));
  // The journal mode is set once, when the database is new: setting it again would take a lock.
  std::string mode;
  {
    auto query = database->Prepare("PRAGMA journal_mode");
    if (query.Step()) mode = query.Text(0);
  }
  // Reading the schema is the first thing that notices a file that is not a database, or a WAL
  // index that cannot be made.
  bool ok = !mode.empty() && (readOnly || mode == "wal" || database->ExecuteRetryingBusy("PRAGMA journal_mode=WAL")) &&
            database->Execute("PRAGMA synchronous=NORMAL") &&
            database->ExecuteRetryingBusy("SELECT count(*) FROM sqlite_master");
  // The log and its index stay when the last connection closes, instead of being made and removed
  // again by every short-lived process of the device (a read-only device then finds them there).
  // With a size limit set, the last connection leaves the log empty, and a log that restarts
  // keeps no more than the limit. Recovery does not depend on either: it replays what the log holds.
  if (ok && !readOnly) {
    int persist = 1;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    ok = database->Execute("PRAGMA journal_size_limit=1048576");
  }
  if (!ok) {
    *error = database->Problem();
    return nullptr;
  }
  return database;
}

std::unique_ptr<SqliteDatabase> SqliteDatabase::Open(const std::filesystem::path& file, std::string* error) {
  std::string reason;
  auto database = OpenWith(file, file.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &reason);
  std::error_code fsError;
  if (!database && std::filesystem::is_regular_file(file, fsError)) {
    std::string readOnlyReason;
    // A WAL database on a file system that takes no writes: first with the index files as they
    // are, then as an immutable file when not even those can be made.
    database = OpenWith(file, file.string(), SQLITE_OPEN_READONLY, &readOnlyReason);
    if (!database) database = OpenWith(file, ImmutableUri(file), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, &readOnlyReason);
    if (database) {
      database->m_readOnly = true;
      database->m_readOnlyReason = reason;
    }
  }
  if (!database) {
    if (error) *error = file.string() + ": " + reason;
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

bool SqliteDatabase::ExecuteRetryingBusy(std::string_view sql) {
  std::string text(sql);
  auto deadline = std::chrono::steady_clock::now() + kBusyRetryFor;
  std::minstd_rand random(static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(this)));
  for (;;) {
    int status = sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, nullptr);
    if (status == SQLITE_OK) return true;
    // Inside a transaction a busy answer means its snapshot is stale: only starting over helps.
    if (!IsBusy(status) || InTransaction() || std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1 + random() % 20));
  }
}

std::string SqliteDatabase::Problem() const {
  int status = sqlite3_extended_errcode(m_db);
  std::string message = sqlite3_errmsg(m_db);
  if (!IsStorageFailure(status)) return message;
  // A write refused by a connection that had to be opened read-only: why it had to be.
  if ((status & 0xFF) == SQLITE_READONLY && !m_readOnlyReason.empty()) {
    std::string plain = StorageProblem(m_file.parent_path());
    return plain.empty() ? m_readOnlyReason : plain;
  }
  int systemError = sqlite3_system_errno(m_db);
  if ((status & 0xFF) == SQLITE_FULL) systemError = ENOSPC;
  std::string plain = StorageProblem(m_file.parent_path(), systemError);
  return plain.empty() ? message : plain;
}

std::int64_t SqliteDatabase::LastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

int SqliteDatabase::Changes() const { return sqlite3_changes(m_db); }

std::string SqliteDatabase::LastError() const { return sqlite3_errmsg(m_db); }

bool SqliteDatabase::MakeDurable() {
  // A passive checkpoint copies what no reader still needs and syncs what it copied; a full one would
  // wait for every other process to leave the database, and fail the flush when they do not.
  int logFrames = -1, copiedFrames = -1;
  int status = sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_PASSIVE, &logFrames, &copiedFrames);
  if (status != SQLITE_OK && !IsBusy(status)) return false;
  if (status == SQLITE_OK && copiedFrames == logFrames) return true;
  int log = ::open((m_file.string() + "-wal").c_str(), O_RDONLY | O_CLOEXEC);
  if (log < 0) return errno == ENOENT;
  bool synced = ::fsync(log) == 0;
  ::close(log);
  return synced;
}

bool SqliteDatabase::InTransaction() const { return sqlite3_get_autocommit(m_db) == 0; }

std::optional<std::int64_t> SqliteDatabase::DataVersion() {
  auto query = Prepare("PRAGMA data_version");
  if (query.Step()) return query.Int(0);
  return std::nullopt;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db)
    : m_db(db),
      m_nested(db.InTransaction()),
      m_open(m_nested ? db.Execute("SAVEPOINT nested") : db.ExecuteRetryingBusy("BEGIN IMMEDIATE")) {}

SqliteTransaction::~SqliteTransaction() {
  if (!m_open) return;
  if (m_nested) {
    m_db.Execute("ROLLBACK TO nested");
    m_db.Execute("RELEASE nested");
  } else {
    m_db.Execute("ROLLBACK");
  }
}

bool SqliteTransaction::Commit() {
  if (!m_open) return false;
  m_open = !m_db.Execute(m_nested ? "RELEASE nested" : "COMMIT");
  return !m_open;
}

}  // namespace platform::internal
