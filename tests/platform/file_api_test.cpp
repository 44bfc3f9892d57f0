#include "platform/kernel/file_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include "platform/kernel/last_error.h"
#include "platform/kernel/device.h"
#include "platform/kernel/lent_files.h"
#include "platform/text/text_conversion.h"
#include "support/test_device.h"

namespace {

using test_support::TestDevice;

void WriteText(const char16_t* path, std::string_view text) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
  EXPECT_EQ(written, text.size());
  CloseHandle(file);
}

std::string ReadText(const char16_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string text(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
  CloseHandle(file);
  return text.substr(0, read);
}

TEST(Files, DevicePathsAreFoundWithoutRegardToCase) {
  TestDevice device;
  ASSERT_TRUE(CreateDirectoryW(u"\\Work Files", nullptr));
  WriteText(u"\\Work Files\\Note.TXT", "hello");
  EXPECT_EQ(ReadText(u"\\work files\\note.txt"), "hello");
  EXPECT_EQ(ReadText(u"/WORK FILES/NOTE.txt"), "hello");
  EXPECT_TRUE(std::filesystem::exists(device.root() / "Work Files" / "Note.TXT"));
  EXPECT_FALSE(CreateDirectoryW(u"\\WORK FILES", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
}

TEST(Files, NoPathLeavesTheDeviceRoot) {
  TestDevice device;
  for (const char16_t* path : {u"\\..\\outside.txt", u"\\a\\..\\..\\outside.txt", u"..", u"\\.\\x", u"/../../etc/x"}) {
    EXPECT_EQ(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_BAD_PATHNAME);
  }
  // A host path is just a device path: it lands under the root.
  ASSERT_TRUE(CreateDirectoryW(u"/tmp", nullptr));
  WriteText(u"/tmp/inside.txt", "x");
  EXPECT_TRUE(std::filesystem::exists(device.root() / "tmp" / "inside.txt"));
  EXPECT_FALSE(std::filesystem::exists(device.root().parent_path() / "outside.txt"));
}

TEST(Files, ErrorsCarryTheCodesCallersTest) {
  TestDevice device;
  EXPECT_EQ(CreateFileW(u"\\missing.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(CreateFileW(u"\\nofolder\\x.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  WriteText(u"\\a.txt", "a");
  EXPECT_EQ(CreateFileW(u"\\A.TXT", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_FALSE(CopyFileW(u"\\a.txt", u"\\a.txt", TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  WriteText(u"\\b.txt", "b");
  EXPECT_FALSE(MoveFileW(u"\\a.txt", u"\\b.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(CreateDirectoryW(u"\\full", nullptr));
  WriteText(u"\\full\\x", "x");
  EXPECT_FALSE(RemoveDirectoryW(u"\\full"));
  EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
  EXPECT_FALSE(DeleteFileW(u"\\full"));
  EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x1234)));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Files, PointerSizeCopyMoveAndAttributes) {
  TestDevice device;
  WriteText(u"\\data.bin", "0123456789");
  HANDLE file = CreateFileW(u"\\data.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(file, nullptr), 10u);
  EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_END), 7u);
  char tail[8] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file, tail, sizeof tail, &read, nullptr));
  EXPECT_EQ(std::string(tail, read), "789");
  SetFilePointer(file, 4, nullptr, FILE_BEGIN);
  ASSERT_TRUE(SetEndOfFile(file));
  EXPECT_EQ(GetFileSize(file, nullptr), 4u);
  CloseHandle(file);

  ASSERT_TRUE(CopyFileW(u"\\data.bin", u"\\copy.bin", TRUE));
  WriteText(u"\\other.bin", "other");
  EXPECT_FALSE(MoveFileW(u"\\other.bin", u"\\copy.bin"));
  ASSERT_TRUE(MoveFileExW(u"\\other.bin", u"\\copy.bin", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(ReadText(u"\\copy.bin"), "other");
  ASSERT_TRUE(CopyFileW(u"\\data.bin", u"\\copy.bin", FALSE));
  ASSERT_TRUE(MoveFileW(u"\\copy.bin", u"\\moved.bin"));
  EXPECT_EQ(ReadText(u"\\moved.bin"), "0123");
  EXPECT_EQ(GetFileAttributesW(u"\\copy.bin"), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(GetFileAttributesW(u"\\") & FILE_ATTRIBUTE_DIRECTORY);
  ASSERT_TRUE(SetFileAttributesW(u"\\moved.bin", FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(GetFileAttributesW(u"\\moved.bin") & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(SetFileAttributesW(u"\\moved.bin", FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFileW(u"\\moved.bin"));
}

// The host's superuser may write into any folder; the device refuses every new name in a folder
// marked read-only whoever runs, and keeps what is already there writable and readable.
TEST(Files, AReadOnlyFolderTakesNoNewNameWhoeverRuns) {
  TestDevice device;
  ASSERT_TRUE(CreateDirectoryW(u"\\Locked", nullptr));
  WriteText(u"\\Locked\\kept.txt", "kept");
  WriteText(u"\\outside.txt", "outside");
  ASSERT_TRUE(SetFileAttributesW(u"\\Locked", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesW(u"\\Locked"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(std::filesystem::status(device.root() / "Locked").permissions() & std::filesystem::perms::owner_write,
            std::filesystem::perms::none);

  struct Refused {
    const char* what;
    std::function<bool()> attempt;
  };
  const Refused refused[] = {
      {"create new", [] { return CreateFileW(u"\\Locked\\n.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr) != INVALID_HANDLE_VALUE; }},
      {"create always", [] { return CreateFileW(u"\\Locked\\n.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr) != INVALID_HANDLE_VALUE; }},
      {"open always", [] { return CreateFileW(u"\\Locked\\n.txt", GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr) != INVALID_HANDLE_VALUE; }},
      {"copy in", [] { return CopyFileW(u"\\outside.txt", u"\\Locked\\n.txt", TRUE) != FALSE; }},
      {"move in", [] { return MoveFileW(u"\\outside.txt", u"\\Locked\\n.txt") != FALSE; }},
      {"replace by rename", [] { return MoveFileExW(u"\\outside.txt", u"\\Locked\\kept.txt", MOVEFILE_REPLACE_EXISTING) != FALSE; }},
      {"rename inside", [] { return MoveFileW(u"\\Locked\\kept.txt", u"\\Locked\\n.txt") != FALSE; }},
      {"folder inside", [] { return CreateDirectoryW(u"\\Locked\\Sub", nullptr) != FALSE; }},
  };
  for (const Refused& each : refused) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(each.attempt()) << each.what;
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED) << each.what;
  }
  EXPECT_EQ(ReadText(u"\\Locked\\n.txt"), "<missing>");
  EXPECT_EQ(ReadText(u"\\outside.txt"), "outside");
  // A file already there is still the file's own to change.
  WriteText(u"\\Locked\\kept.txt", "changed");
  EXPECT_EQ(ReadText(u"\\Locked\\kept.txt"), "changed");

  ASSERT_TRUE(SetFileAttributesW(u"\\Locked", FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_TRUE(CopyFileW(u"\\outside.txt", u"\\Locked\\n.txt", TRUE));
  EXPECT_TRUE(CreateDirectoryW(u"\\Locked\\Sub", nullptr));
}

TEST(Files, FindMatchesWildcardsWithoutRegardToCase) {
  TestDevice device;
  CreateDirectoryW(u"\\pics", nullptr);
  for (const char16_t* name : {u"\\pics\\a.JPG", u"\\pics\\b.jpg", u"\\pics\\c.png", u"\\pics\\d.jpgx"}) WriteText(name, "x");
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(u"\\PICS\\*.jpg", &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  std::set<std::u16string> names{data.cFileName};
  while (FindNextFileW(find, &data)) names.insert(data.cFileName);
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(FindClose(find));
  EXPECT_EQ(names, (std::set<std::u16string>{u"a.JPG", u"b.jpg"}));
  EXPECT_EQ(FindFirstFileW(u"\\pics\\?.gif", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(FindFirstFileW(u"\\nowhere\\*", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(Files, FreeSpaceAndTempFolder) {
  TestDevice device;
  ULARGE_INTEGER free{}, total{}, totalFree{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\My Documents\\not yet", &free, &total, &totalFree));
  EXPECT_GT(total.QuadPart, 0u);
  platform::SetReportedFreeSpace(1000);
  ASSERT_TRUE(GetDiskFreeSpaceExW(nullptr, &free, nullptr, nullptr));
  EXPECT_EQ(free.QuadPart, 1000u);
  platform::SetReportedFreeSpace(-1);
  WCHAR temp[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(std::u16string_view(temp, length), u"\\Temp\\");
  EXPECT_TRUE(GetFileAttributesW(temp) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Files, ALentHostFileIsReadWhereItLiesAndNeverChanged) {
  TestDevice device;
  std::filesystem::path outside = device.root().parent_path() / "outside-note.txt";
  { std::ofstream(outside) << "kept"; }
  std::u16string lentPath;
  {
    platform::LentFile loan(outside);
    lentPath = loan.devicePath();
    EXPECT_EQ(platform::HostPath(lentPath), outside);
    EXPECT_EQ(ReadText(lentPath.c_str()), "kept");
    std::u16string otherSpelling = platform::FoldCase(lentPath);
    std::replace(otherSpelling.begin(), otherSpelling.end(), u'\\', u'/');
    EXPECT_EQ(ReadText(otherSpelling.c_str()), "kept");

    for (DWORD disposition : {CREATE_ALWAYS, OPEN_ALWAYS, TRUNCATE_EXISTING}) {
      SetLastError(0);
      EXPECT_EQ(CreateFileW(lentPath.c_str(), GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr), INVALID_HANDLE_VALUE);
      EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(CreateFileW(lentPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    WriteText(u"\\other.txt", "other");
    EXPECT_FALSE(DeleteFileW(lentPath.c_str()));
    EXPECT_FALSE(MoveFileExW(lentPath.c_str(), u"\\moved.txt", 0));
    EXPECT_FALSE(MoveFileExW(u"\\other.txt", lentPath.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(CopyFileW(u"\\other.txt", lentPath.c_str(), FALSE));
    EXPECT_FALSE(SetFileAttributesW(lentPath.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    // Copying the lent file into the device is reading it.
    EXPECT_TRUE(CopyFileW(lentPath.c_str(), u"\\copy.txt", FALSE));
    EXPECT_EQ(ReadText(u"\\copy.txt"), "kept");
  }
  EXPECT_EQ(ReadText(lentPath.c_str()), "<missing>");
  EXPECT_NE(platform::HostPath(lentPath), outside);
  std::ifstream kept(outside);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
  EXPECT_FALSE(std::filesystem::exists(device.root() / "Host"));
}

}  // namespace
