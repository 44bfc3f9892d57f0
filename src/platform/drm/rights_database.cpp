#include "platform/drm/rights_database.h"

#include "platform/internal/sqlite_database.h"
#include "platform/kernel/device.h"

namespace platform::drm {
namespace {

using internal::SqliteDatabase;

constexpr std::string_view kSchema = R"(
CREATE TABLE IF NOT EXISTS content_rights(
  uri TEXT PRIMARY KEY, content_key BLOB NOT NULL, delivery INTEGER NOT NULL, rights_known INTEGER NOT NULL,
  display INTEGER NOT NULL, display_count INTEGER NOT NULL, play INTEGER NOT NULL, play_count INTEGER NOT NULL);
)";

class SqliteRightsDatabase : public RightsDatabase {
 public:
  explicit SqliteRightsDatabase(std::unique_ptr<SqliteDatabase> db) : m_db(std::move(db)) {}

  std::optional<ContentRights> Find(const std::string& uri) override {
    auto query = m_db->Prepare(
        "SELECT content_key, delivery, rights_known, display, display_count, play, play_count "
        "FROM content_rights WHERE uri=?");
    if (!query.Bind(1, uri).Step()) return std::nullopt;
    ContentRights rights;
    rights.uri = uri;
    rights.key = query.Blob(0);
    rights.delivery = static_cast<Delivery>(query.Int(1));
    rights.rightsKnown = query.Int(2) != 0;
    rights.display = Permission{query.Int(3) != 0, static_cast<int>(query.Int(4))};
    rights.play = Permission{query.Int(5) != 0, static_cast<int>(query.Int(6))};
    return rights;
  }

  bool Store(const ContentRights& rights) override {
    auto upsert = m_db->Prepare(
        "INSERT OR REPLACE INTO content_rights(uri, content_key, delivery, rights_known, display, display_count, "
        "play, play_count) VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
    return upsert.Bind(1, rights.uri)
        .BindBlob(2, rights.key)
        .Bind(3, static_cast<std::int64_t>(rights.delivery))
        .Bind(4, rights.rightsKnown ? 1 : 0)
        .Bind(5, rights.display.granted ? 1 : 0)
        .Bind(6, rights.display.count)
        .Bind(7, rights.play.granted ? 1 : 0)
        .Bind(8, rights.play.count)
        .Run();
  }

  bool ConsumeUse(const std::string& uri, bool play) override {
    auto update = m_db->Prepare(play ? "UPDATE content_rights SET play_count=play_count-1 WHERE uri=? AND play_count>0"
                                     : "UPDATE content_rights SET display_count=display_count-1 "
                                       "WHERE uri=? AND display_count>0");
    return update.Bind(1, uri).Run() && m_db->Changes() > 0;
  }

 private:
  std::unique_ptr<SqliteDatabase> m_db;
};

}  // namespace

RightsDatabase* RightsDatabase::ForCurrentDevice() {
  static std::filesystem::path openRoot;
  static std::unique_ptr<RightsDatabase> database;
  const std::filesystem::path& root = DeviceRoot();
  if (database && openRoot == root) return database.get();
  database.reset();
  auto db = SqliteDatabase::Open(root / "drm_rights.db", nullptr);
  if (!db || !db->Execute(kSchema)) return nullptr;
  database = std::make_unique<SqliteRightsDatabase>(std::move(db));
  openRoot = root;
  return database.get();
}

}  // namespace platform::drm
