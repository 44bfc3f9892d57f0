#include "platform/kernel/activity_log.h"

#include <unistd.h>

#include <algorithm>

#include "platform/internal/sqlite_database.h"
#include "platform/kernel/clock.h"
#include "platform/kernel/device.h"

namespace platform {
namespace {

using internal::SqliteDatabase;
using internal::SqliteTransaction;

constexpr std::string_view kSchema =
    "CREATE TABLE IF NOT EXISTS activity (id INTEGER PRIMARY KEY, time INTEGER NOT NULL, process INTEGER NOT NULL,"
    " kind TEXT NOT NULL, detail TEXT NOT NULL)";

// Opened for each use: requests are rare, and several processes share the device.
std::unique_ptr<SqliteDatabase> OpenLog() {
  std::string error;
  auto db = SqliteDatabase::Open(DeviceRoot() / "activity.db", &error);
  if (db && !db->Execute(kSchema)) db.reset();
  return db;
}

}  // namespace

bool RecordActivity(std::string_view kind, std::string_view detail) {
  auto db = OpenLog();
  if (!db) return false;
  SqliteTransaction transaction(*db);
  if (!transaction.ok()) return false;
  bool inserted = db->Prepare("INSERT INTO activity (time, process, kind, detail) VALUES (?, ?, ?, ?)")
                      .Bind(1, UnixTimeNow())
                      .Bind(2, static_cast<std::int64_t>(getpid()))
                      .Bind(3, kind)
                      .Bind(4, detail)
                      .Run();
  return inserted && transaction.Commit();
}

std::vector<ActivityEntry> ReadActivity(std::size_t limit) {
  std::vector<ActivityEntry> entries;
  auto db = OpenLog();
  if (!db) return entries;
  auto statement = db->Prepare("SELECT id, time, process, kind, detail FROM activity ORDER BY id DESC LIMIT ?");
  statement.Bind(1, static_cast<std::int64_t>(std::min<std::size_t>(limit, 1u << 30)));
  while (statement.Step()) {
    entries.push_back(ActivityEntry{statement.Int(0), statement.Int(1), statement.Int(2), statement.Text(3),
                                    statement.Text(4)});
  }
  std::reverse(entries.begin(), entries.end());
  return entries;
}

}  // namespace platform
