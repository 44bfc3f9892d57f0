// A small RAII layer over SQLite for the device's databases: one connection, prepared statements
// that finalize themselves, and transactions that roll back unless committed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::internal {

class SqliteDatabase;

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, std::string_view sql);
  // A statement lent from the database's cache: reset and handed back when this one goes.
  SqliteStatement(SqliteDatabase* owner, sqlite3_stmt* statement) : m_statement(statement), m_owner(owner) {}
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  bool ok() const { return m_statement != nullptr; }
  SqliteStatement& Bind(int index, std::int64_t value);
  SqliteStatement& Bind(int index, std::string_view text);
  SqliteStatement& BindBlob(int index, std::string_view bytes);
  // Steps once: true while a row is available.
  bool Step();
  // Runs to completion; true when it finished without error.
  bool Run();
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  std::string Blob(int column) const;
  bool IsNull(int column) const;

 private:
  sqlite3_stmt* m_statement = nullptr;
  SqliteDatabase* m_owner = nullptr;  // set for a cached statement
  bool m_failed = false;
};

class SqliteDatabase {
 public:
  // Opens or creates the file; *error says why not. A file that is not a database fails here.
  // Opening writes nothing to an existing database. On a file system where the database cannot be
  // written (read-only, or too full for the WAL index) the connection is opened read-only instead:
  // reads work, and writes fail with the cause.
  static std::unique_ptr<SqliteDatabase> Open(const std::filesystem::path& file, std::string* error);
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  bool Execute(std::string_view sql);
  // Statements are compiled once and kept: compiling costs far more than running the small queries
  // the device's stores make. A statement already lent out is compiled afresh for the nested use.
  SqliteStatement Prepare(std::string_view sql);
  std::int64_t LastInsertId() const;
  // Whether an explicit transaction is open on the connection.
  bool InTransaction() const;
  // Changes when another connection (of this process or another) commits to the database; the
  // connection's own commits leave it as it was.
  std::optional<std::int64_t> DataVersion();
  int Changes() const;
  std::string LastError() const;
  // Whether the connection was opened read-only because the file system allows nothing else.
  bool ReadOnly() const { return m_readOnly; }
  const std::filesystem::path& File() const { return m_file; }
  // The last failure in plain words: the device folder being full or read-only when that is why,
  // else SQLite's own message.
  std::string Problem() const;
  // Makes everything committed so far last through a power loss, without waiting for the other
  // processes on the database: what they keep from the main file stays in the synced log.
  bool MakeDurable();

 private:
  friend class SqliteStatement;
  friend class SqliteTransaction;
  SqliteDatabase(sqlite3* db, std::filesystem::path file, bool readOnly)
      : m_db(db), m_file(std::move(file)), m_readOnly(readOnly) {}
  static std::unique_ptr<SqliteDatabase> OpenWith(const std::filesystem::path& file, const std::string& name,
                                                  int flags, std::string* error);
  void GiveBack(sqlite3_stmt* statement);
  // Runs SQL that takes locks, trying again for a while when SQLite reports the database busy
  // without having waited (it cannot wait while another connection recovers or checkpoints).
  bool ExecuteRetryingBusy(std::string_view sql);

  sqlite3* m_db;
  std::filesystem::path m_file;
  bool m_readOnly = false;
  std::string m_readOnlyReason;  // why the read-write open failed, for a connection opened read-only
  std::unordered_map<std::string, sqlite3_stmt*> m_idle;  // compiled statements not lent out, by SQL
  std::unordered_map<sqlite3_stmt*, std::string> m_lent;
};

// BEGIN IMMEDIATE on construction (the write lock up front, so that the transaction never has to
// upgrade a read, which SQLite refuses at once), ROLLBACK on destruction unless Commit succeeded.
// Inside a transaction already open it is a savepoint of that one: its writes go or stay with it.
class SqliteTransaction {
 public:
  explicit SqliteTransaction(SqliteDatabase& db);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;
  bool ok() const { return m_open; }
  bool Commit();

 private:
  friend class SqliteDatabase;
  SqliteDatabase& m_db;
  bool m_nested;
  bool m_open;
};

}  // namespace platform::internal
