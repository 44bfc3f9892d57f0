#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/internal/sqlite_database.h"
#include "platform/kernel/device.h"
#include "platform/registry/registry.h"
#include "platform/text/text_conversion.h"
#include "support/outside_tool.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;

HKEY Create(HKEY root, const char16_t* path) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition), ERROR_SUCCESS);
  return key;
}

void SetDword(HKEY key, const char16_t* name, DWORD value) {
  ASSERT_EQ(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
            ERROR_SUCCESS);
}

std::optional<DWORD> GetDword(HKEY key, const char16_t* name) {
  DWORD value = 0, size = sizeof value, type = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

TEST(Registry, KeysAndValuesMatchWithoutRegardToCaseAndKeepTheirSpelling) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"\\Software\\Example\\Sub");
  SetDword(key, u"MaxSlides", 9);
  RegCloseKey(key);

  HKEY reopened = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\EXAMPLE\\sub", 0, KEY_READ, &reopened), ERROR_SUCCESS);
  EXPECT_EQ(GetDword(reopened, u"maxslides"), 9u);
  RegCloseKey(reopened);

  HKEY parent = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\software\\example", 0, KEY_READ, &parent), ERROR_SUCCESS);
  WCHAR name[32];
  DWORD length = 32;
  ASSERT_EQ(RegEnumKeyExW(parent, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(std::u16string_view(name, length), u"Sub");
  length = 32;
  EXPECT_EQ(RegEnumKeyExW(parent, 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  RegCloseKey(parent);
}

TEST(Registry, QueryReportsTheSizeNeededForShortBuffers) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HKEY key = Create(HKEY_CURRENT_USER, u"\\Text");
  const char16_t text[] = u"hello";
  ASSERT_EQ(RegSetValueExW(key, u"Greeting", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
            ERROR_SUCCESS);
  DWORD size = 0, type = 0;
  EXPECT_EQ(RegQueryValueExW(key, u"Greeting", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, sizeof text);
  EXPECT_EQ(type, REG_SZ);
  BYTE small[4];
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExW(key, u"Greeting", nullptr, &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, sizeof text);
  EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, &type, small, &size), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST(Registry, DeletedValuesAndKeysReadAsMissingAndStaleHandlesAreRefused) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"\\A\\B");
  SetDword(key, u"V", 1);
  EXPECT_EQ(RegDeleteValueW(key, u"v"), ERROR_SUCCESS);
  EXPECT_EQ(GetDword(key, u"V"), std::nullopt);
  EXPECT_EQ(RegDeleteValueW(key, u"V"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"\\a"), ERROR_SUCCESS);
  DWORD value = 1;
  EXPECT_NE(RegSetValueExW(key, u"V", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  HKEY forged = reinterpret_cast<HKEY>(&value);
  EXPECT_EQ(GetDword(forged, u"V"), std::nullopt);
}

TEST(Registry, FlushedValuesSurviveReopeningTheDevice) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"\\Persist");
  SetDword(key, u"Count", 42);
  EXPECT_EQ(RegFlushKey(key), ERROR_SUCCESS);
  RegCloseKey(key);

  ASSERT_TRUE(platform::OpenDevice(device.root(), platform::RegistrySeed::kFactory));
  HKEY reopened = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\Persist", 0, KEY_READ, &reopened), ERROR_SUCCESS);
  EXPECT_EQ(GetDword(reopened, u"Count"), 42u);
  // An existing device is not seeded again, whatever the seed asked for.
  HKEY factory = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\Platform", 0, KEY_READ, &factory), ERROR_FILE_NOT_FOUND);
  RegCloseKey(reopened);
}

TEST(Registry, FactoryValuesAreMarkedAndAWriteMarksThemSet) {
  TestDevice device(platform::RegistrySeed::kFactory);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Quillon\\Quillon MMS UA\\Config\\UI", 0, KEY_ALL_ACCESS,
                          &key),
            ERROR_SUCCESS);
  EXPECT_EQ(platform::RegistryValueOrigin(key, u"MMSClassName"), platform::ValueOrigin::kFactory);
  const char16_t text[] = u"IPM.Other";
  RegSetValueExW(key, u"MMSClassName", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
  EXPECT_EQ(platform::RegistryValueOrigin(key, u"MMSClassName"), platform::ValueOrigin::kSet);
  EXPECT_EQ(platform::RegistryValueOrigin(key, u"NoSuchValue"), std::nullopt);
  RegCloseKey(key);
}

TEST(Registry, QueryInfoCountsSubkeysAndValues) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"\\Info");
  RegCloseKey(Create(key, u"First"));
  RegCloseKey(Create(key, u"LongerName"));
  SetDword(key, u"Value", 7);
  DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxValue = 0;
  ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values, &maxValueName,
                             &maxValue, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 2u);
  EXPECT_EQ(maxSubKey, 10u);
  EXPECT_EQ(values, 1u);
  EXPECT_EQ(maxValueName, 5u);
  EXPECT_EQ(maxValue, 4u);
  RegCloseKey(key);
}

// Reads are answered from memory while nothing changes; what another connection (another process
// of the device) commits must still be seen by the very next call.
// Another process in the middle of a read, or of a write, does not make a flush fail or wait.
TEST(Registry, AFlushSucceedsWhileOthersUseTheRegistry) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"\\Busy");
  SetDword(key, u"Count", 1);
  std::string error;
  auto reader = platform::internal::SqliteDatabase::Open(device.root() / "registry.db", &error);
  auto writer = platform::internal::SqliteDatabase::Open(device.root() / "registry.db", &error);
  ASSERT_TRUE(reader && writer) << error;
  auto start = std::chrono::steady_clock::now();
  {
    // A read that began before the write keeps its snapshot, so the log cannot all be copied.
    auto read = reader->Prepare("SELECT count(*) FROM reg_values");
    ASSERT_TRUE(read.Step());
    SetDword(key, u"Count", 2);
    EXPECT_EQ(RegFlushKey(key), ERROR_SUCCESS);
  }
  ASSERT_TRUE(writer->Execute("BEGIN IMMEDIATE"));
  EXPECT_EQ(RegFlushKey(key), ERROR_SUCCESS);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  writer->Execute("ROLLBACK");
  EXPECT_EQ(GetDword(key, u"Count"), 2u);
  RegCloseKey(key);
}

// Short-lived processes open and close the device's databases all the time: the log stays in
// place between them, and the last one to close leaves it empty, so it neither grows without end
// nor holds anything the database file lacks.
TEST(Registry, TheLastConnectionLeavesTheLogInPlaceAndEmpty) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  const auto file = device.root() / "log-test.db";
  std::string error;
  {
    auto db = platform::internal::SqliteDatabase::Open(file, &error);
    ASSERT_TRUE(db) << error;
    ASSERT_TRUE(db->Execute("CREATE TABLE t(v BLOB)"));
    for (int i = 0; i < 64; ++i) {
      ASSERT_TRUE(db->Prepare("INSERT INTO t VALUES(?)").BindBlob(1, std::string(4096, 'x')).Run());
    }
    EXPECT_GT(std::filesystem::file_size(file.string() + "-wal"), 64u * 4096u);
  }
  ASSERT_TRUE(std::filesystem::exists(file.string() + "-wal"));
  ASSERT_TRUE(std::filesystem::exists(file.string() + "-shm"));
  EXPECT_EQ(std::filesystem::file_size(file.string() + "-wal"), 0u);
  // What the log held is in the database file itself now.
  std::filesystem::remove(file.string() + "-wal");
  std::filesystem::remove(file.string() + "-shm");
  auto reopened = platform::internal::SqliteDatabase::Open(file, &error);
  ASSERT_TRUE(reopened) << error;
  auto count = reopened->Prepare("SELECT count(*) FROM t");
  ASSERT_TRUE(count.Step());
  EXPECT_EQ(count.Int(0), 64);
}

TEST(Registry, ChangesCommittedElsewhereAreSeenByTheNextRead) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"\\Shared\\Settings");
  SetDword(key, u"Slides", 5);
  ASSERT_EQ(GetDword(key, u"Slides"), 5u);
  ASSERT_EQ(GetDword(key, u"Later"), std::nullopt);

  std::string error;
  auto other = platform::internal::SqliteDatabase::Open(device.root() / "registry.db", &error);
  ASSERT_TRUE(other) << error;
  ASSERT_TRUE(other->Execute("UPDATE reg_values SET data=x'09000000' WHERE fold='slides'"));
  ASSERT_TRUE(other->Execute(
      "INSERT INTO reg_values(key, name, fold, type, data, origin) "
      "SELECT key, 'Later', 'later', 4, x'01000000', 1 FROM reg_values WHERE fold='slides'"));
  EXPECT_EQ(GetDword(key, u"Slides"), 9u);
  EXPECT_EQ(GetDword(key, u"Later"), 1u);

  ASSERT_TRUE(other->Execute("DELETE FROM reg_values; DELETE FROM reg_keys WHERE fold='settings'"));
  EXPECT_EQ(GetDword(key, u"Slides"), std::nullopt);
  HKEY reopened = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"\\Shared\\Settings", 0, KEY_READ, &reopened), ERROR_FILE_NOT_FOUND);
  DWORD value = 1;
  EXPECT_EQ(RegSetValueExW(key, u"Slides", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
            ERROR_BADKEY);
  RegCloseKey(key);
}

// A registry file may hold a chain of keys far deeper than any path a caller could name; deleting
// its top must still take the whole chain, values included.
TEST(Registry, DeletingAVeryDeepTreeRemovesAllOfIt) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  RegCloseKey(Create(HKEY_LOCAL_MACHINE, u"\\Deep"));
  std::string error;
  auto other = platform::internal::SqliteDatabase::Open(device.root() / "registry.db", &error);
  ASSERT_TRUE(other) << error;
  ASSERT_TRUE(other->Execute(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
      "INSERT INTO reg_keys(id, parent, name, fold) SELECT 1000000 + i, "
      "CASE i WHEN 1 THEN (SELECT id FROM reg_keys WHERE fold='deep') ELSE 999999 + i END, 'k', 'k' FROM n"));
  ASSERT_TRUE(other->Execute(
      "INSERT INTO reg_values(key, name, fold, type, data, origin) VALUES(1200000, 'V', 'v', 4, x'01000000', 1)"));
  EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"\\Deep"), ERROR_SUCCESS);
  auto left = other->Prepare("SELECT (SELECT count(*) FROM reg_keys WHERE id > 3), (SELECT count(*) FROM reg_values)");
  ASSERT_TRUE(left.Step());
  EXPECT_EQ(left.Int(0), 0);
  EXPECT_EQ(left.Int(1), 0);
}

// Processes that make the same new path at once each get the key: one finding a key missing and
// then failing to add it because another just did would report a write failure for nothing.
TEST(Registry, ProcessesCreatingOnePathAtOnceAllSucceed) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  std::string path = "\\Race";
  for (int i = 0; i < 300; ++i) path += "\\k" + std::to_string(i);
  const std::string writer = test_support::BinaryPath("test-tools/registry_writer").string() + " " +
                             test_support::ShellQuoted(device.root().string()) + " " + test_support::ShellQuoted(path);
  const std::string command =
      "pids=; for i in 1 2 3 4 5 6; do " + writer +
      " V$i $i & pids=\"$pids $!\"; done; s=0; for p in $pids; do wait $p || s=1; done; exit $s";
  ASSERT_EQ(std::system(command.c_str()), 0);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, platform::Utf8ToUtf16(path).c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  for (const char16_t* name : {u"V1", u"V2", u"V3", u"V4", u"V5", u"V6"}) EXPECT_TRUE(GetDword(key, name)) << path;
  RegCloseKey(key);
}

// Our own writes, one by one or as a batch of factory values, replace what was read before them.
TEST(Registry, OwnWritesAndBatchesAreReadBackAsStored) {
  TestDevice device(platform::RegistrySeed::kEmpty);
  HKEY key = Create(HKEY_LOCAL_MACHINE, u"\\Own");
  ASSERT_EQ(GetDword(key, u"V"), std::nullopt);
  SetDword(key, u"V", 1);
  EXPECT_EQ(GetDword(key, u"V"), 1u);
  SetDword(key, u"v", 2);
  EXPECT_EQ(GetDword(key, u"V"), 2u);
  ASSERT_EQ(RegDeleteValueW(key, u"V"), ERROR_SUCCESS);
  EXPECT_EQ(GetDword(key, u"V"), std::nullopt);

  HKEY batch = nullptr;
  ASSERT_EQ(RegOpenKeyExW(key, u"Batch", 0, KEY_READ, &batch), ERROR_FILE_NOT_FOUND);
  std::string error;
  ASSERT_TRUE(platform::ApplyRegistryText("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Own\\Batch]\r\n\"A\"=dword:00000003\r\n", &error))
      << error;
  ASSERT_EQ(RegOpenKeyExW(key, u"Batch", 0, KEY_READ, &batch), ERROR_SUCCESS);
  EXPECT_EQ(GetDword(batch, u"A"), 3u);
  RegCloseKey(batch);
  RegCloseKey(key);
}

TEST(Registry, ACorruptDatabaseIsAnErrorNotACrash) {
  auto root = std::filesystem::temp_directory_path() / "mmsform-tests" / "corrupt-registry";
  std::filesystem::remove_all(root);
  test_support::WriteFileBytes(root / "registry.db", std::string(4096, 'x'));
  std::string error;
  EXPECT_FALSE(platform::OpenDevice(root, platform::RegistrySeed::kFactory, &error));
  EXPECT_FALSE(error.empty());
  platform::CloseDevice();
  std::filesystem::remove_all(root);
}

}  // namespace
