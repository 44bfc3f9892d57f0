// A device's first use: its registry is made and seeded at once, a first use cut short is completed
// by the next open, and transactions nest without losing what the outer one holds.
#include <gtest/gtest.h>

#include <random>

#include "platform/internal/sqlite_database.h"
#include "platform/kernel/device.h"
#include "platform/registry/registry.h"
#include "support/test_device.h"

namespace {

namespace fs = std::filesystem;
using platform::internal::SqliteDatabase;
using platform::internal::SqliteTransaction;

fs::path FreshRoot() {
  std::random_device random;
  return fs::temp_directory_path() / "mmsform-tests" / ("first-use-" + std::to_string(random()));
}

std::optional<std::u16string> UiString(const char16_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config\\UI", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  WCHAR text[64] = {};
  DWORD size = sizeof text;
  LONG status = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return std::u16string(text);
}

// What an older build left when it was killed between committing the schema and the factory
// values: the tables and the three roots, nothing else.
TEST(DeviceFirstUse, ARegistryLeftWithoutItsFactoryValuesGetsThemOnTheNextOpen) {
  fs::path root = FreshRoot();
  fs::create_directories(root);
  {
    std::string error;
    auto db = SqliteDatabase::Open(root / "registry.db", &error);
    ASSERT_TRUE(db) << error;
    ASSERT_TRUE(db->Execute(
        "CREATE TABLE reg_keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, name TEXT NOT NULL, "
        "fold TEXT NOT NULL, UNIQUE(parent, fold));"
        "CREATE TABLE reg_values(key INTEGER NOT NULL, name TEXT NOT NULL, fold TEXT NOT NULL, type INTEGER NOT NULL, "
        "data BLOB NOT NULL, origin INTEGER NOT NULL, PRIMARY KEY(key, fold));"
        "INSERT INTO reg_keys(id, parent, name, fold) VALUES (1, 0, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'), "
        "(2, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'), (3, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine');"));
  }
  std::string error;
  ASSERT_TRUE(platform::OpenDevice(root, platform::RegistrySeed::kFactory, &error)) << error;
  EXPECT_EQ(UiString(u"MMSClassName"), u"IPM.MMS");
  platform::CloseDevice();
  fs::remove_all(root);
}

// A device of an older build that was seeded completely keeps what its user set: nothing is
// seeded over it.
TEST(DeviceFirstUse, ACompleteOlderRegistryKeepsWhatWasSet) {
  fs::path root = FreshRoot();
  std::string error;
  ASSERT_TRUE(platform::OpenDevice(root, platform::RegistrySeed::kFactory, &error)) << error;
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config\\UI", 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  const std::u16string changed = u"IPM.Changed";
  ASSERT_EQ(RegSetValueExW(key, u"MMSClassName", 0, REG_SZ, reinterpret_cast<const BYTE*>(changed.c_str()),
                           static_cast<DWORD>((changed.size() + 1) * 2)),
            ERROR_SUCCESS);
  RegCloseKey(key);
  platform::CloseDevice();
  {
    auto db = SqliteDatabase::Open(root / "registry.db", &error);
    ASSERT_TRUE(db && db->Execute("PRAGMA user_version=0"));
  }
  ASSERT_TRUE(platform::OpenDevice(root, platform::RegistrySeed::kFactory, &error)) << error;
  EXPECT_EQ(UiString(u"MMSClassName"), changed);
  platform::CloseDevice();
  fs::remove_all(root);
}

TEST(SqliteTransactions, AnInnerOneGoesOrStaysWithTheOuterOne) {
  test_support::TestDevice device(platform::RegistrySeed::kEmpty);
  std::string error;
  auto db = SqliteDatabase::Open(device.root() / "nested.db", &error);
  ASSERT_TRUE(db) << error;
  ASSERT_TRUE(db->Execute("CREATE TABLE t(v INTEGER)"));
  auto count = [&] {
    auto query = db->Prepare("SELECT count(*) FROM t");
    return query.Step() ? query.Int(0) : -1;
  };
  {
    SqliteTransaction outer(*db);
    ASSERT_TRUE(outer.ok());
    ASSERT_TRUE(db->Execute("INSERT INTO t VALUES(1)"));
    {
      SqliteTransaction rolledBack(*db);
      ASSERT_TRUE(rolledBack.ok());
      ASSERT_TRUE(db->Execute("INSERT INTO t VALUES(2)"));
    }
    {
      SqliteTransaction kept(*db);
      ASSERT_TRUE(kept.ok());
      ASSERT_TRUE(db->Execute("INSERT INTO t VALUES(3)"));
      ASSERT_TRUE(kept.Commit());
    }
    EXPECT_EQ(count(), 2);
    EXPECT_TRUE(db->InTransaction());
  }
  // The outer one was not committed: the inner commit goes with it.
  EXPECT_EQ(count(), 0);
  EXPECT_FALSE(db->InTransaction());
}

}  // namespace
