// The device services: screen classes, the exported volume and network queries, internet
// shortcuts and favourites.
#include <gtest/gtest.h>

#include "device/internet_shortcut.h"
#include "device/screen_class.h"
#include "device/volume.h"
#include "platform/kernel/activity_log.h"
#include "platform/registry/registry.h"
#include "support/test_device.h"

namespace {

void SetDword(HKEY root, LPCWSTR path, LPCWSTR name, DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

struct ScreenCase {
  int width, height, screenClass;
};

TEST(ScreenClass, BySidesInEitherOrientation) {
  const ScreenCase cases[] = {{240, 320, 0}, {320, 240, 0}, {480, 640, 1}, {640, 480, 1}, {240, 240, 2},
                              {480, 480, 2}, {320, 320, 3}, {176, 220, 4}, {220, 176, 4}, {480, 800, 5},
                              {800, 480, 5}, {360, 640, 0}, {480, 854, 0}};
  for (const ScreenCase& c : cases) EXPECT_EQ(ScreenClass(c.width, c.height), c.screenClass) << c.width << "x" << c.height;
}

struct VolumeCase {
  DWORD kind;
  DWORD raw;
  BOOL result;
  DWORD level;
};

TEST(Volume, LevelsFromTheRawValues) {
  test_support::TestDevice device(platform::RegistrySeed::kEmpty);
  DWORD level = 99;
  EXPECT_FALSE(getVolume(0, &level));  // no value yet
  EXPECT_EQ(level, 0u);
  SetDword(HKEY_CURRENT_USER, u"\\ControlPanel\\Volume", u"Volume", 0xFFFFFFFF);
  SetDword(HKEY_CURRENT_USER, u"\\ControlPanel\\Volume", u"Ringer", 0x80000000);
  const VolumeCase cases[] = {{0, 0, TRUE, 5}, {4, 0, TRUE, 5}, {1, 0, TRUE, 2},
                              {2, 0, FALSE, 0}, {3, 0, FALSE, 0}, {7, 0, FALSE, 0}};
  for (const VolumeCase& c : cases) {
    level = 99;
    EXPECT_EQ(getVolume(c.kind, &level), c.result) << c.kind;
    EXPECT_EQ(level, c.level) << c.kind;
  }
  SetDword(HKEY_CURRENT_USER, u"\\ControlPanel\\Volume", u"Volume", 0x33333332);
  EXPECT_TRUE(getVolume(0, &level));
  EXPECT_EQ(level, 0u);
}

TEST(Volume, CampedOn3GOnlyFor16And64) {
  test_support::TestDevice device(platform::RegistrySeed::kEmpty);
  EXPECT_FALSE(isCamp3G());  // no key
  for (DWORD state : {16u, 64u, 32u, 0u}) {
    SetDword(HKEY_LOCAL_MACHINE, u"\\System\\OEM_State\\RSSI", u"CSAF", state);
    EXPECT_EQ(isCamp3G(), state == 16 || state == 64) << state;
  }
}

struct ShortcutCase {
  std::u16string address;
  std::u16string url;
};

TEST(InternetShortcut, WrittenAsUtf16WithTheSchemeAndReadBack) {
  test_support::TestDevice device;
  std::filesystem::create_directories(device.Host(u"\\My Documents"));
  const ShortcutCase cases[] = {
      {u"www.example.com", u"http://www.example.com"},
      {u"HTTP://Example.com/a", u"HTTP://Example.com/a"},
      // The space stays: the address is read to the end of its line, not to the first space.
      {u"file://\\My Documents\\a.htm", u"file://\\My Documents\\a.htm"},
      // Every scheme of the link tables is kept, not only HTTP:// and FILE://: "http://https://..."
      // would be a shortcut to nowhere.
      {u"https://secure.example.com", u"https://secure.example.com"},
      {u"RTSP://stream.example.com/live.sdp", u"RTSP://stream.example.com/live.sdp"},
      {u"ftp://files.example.com/a.txt", u"ftp://files.example.com/a.txt"},
      {u"http:/x.example", u"http://http:/x.example"},  // no scheme of the tables
      {u"Tickets: tickets.example.org", u"http://Tickets: tickets.example.org"},
      {u"  www.example.com/x  ", u"http://www.example.com/x"},
      {u"", u"http:///"},
  };
  for (const ShortcutCase& c : cases) {
    ASSERT_TRUE(WriteInternetShortcut(u"\\My Documents\\link.url", c.address.c_str()));
    const std::string bytes = test_support::ReadFileBytes(device.Host(u"\\My Documents\\link.url"));
    std::u16string expected = u"[InternetShortcut]\r\nURL=" + c.url + u"\r\n";
    std::string utf16;
    for (char16_t unit : expected) utf16 += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    EXPECT_EQ(bytes, utf16);  // no byte-order mark
    CString read;
    ASSERT_TRUE(ReadInternetShortcut(u"\\My Documents\\link.url", read));
    EXPECT_EQ(read, c.url);
  }
  EXPECT_FALSE(std::filesystem::exists(device.Host(u"\\My Documents\\link.url.tmp")));
}

TEST(InternetShortcut, ReadsOtherFormsAndReportsMissingFiles) {
  test_support::TestDevice device;
  CString address = u"left over";
  EXPECT_FALSE(ReadInternetShortcut(u"\\My Documents\\none.url", address));
  test_support::WriteFileBytes(device.Host(u"\\My Documents\\a.url"), "[InternetShortcut]\r\nurl=http://x.example/\r\n");
  ASSERT_TRUE(ReadInternetShortcut(u"\\My Documents\\a.url", address));
  EXPECT_EQ(address, u"http://x.example/");
  test_support::WriteFileBytes(device.Host(u"\\My Documents\\b.url"), "[InternetShortcut]\r\nIconIndex=1\r\n");
  ASSERT_TRUE(ReadInternetShortcut(u"\\My Documents\\b.url", address));  // ended cleanly, no address
  EXPECT_TRUE(address.IsEmpty());
  test_support::WriteFileBytes(device.Host(u"\\My Documents\\c.url"),
                               std::string("\xFF\xFE" "x\0 \0U\0R\0L\0=\0a\0=\0b\0", 20));
  ASSERT_TRUE(ReadInternetShortcut(u"\\My Documents\\c.url", address));
  EXPECT_EQ(address, u"a=b");  // the first "=" after "URL" starts the address
}

TEST(Favorites, AddedEntriesAreListedFromTheLastIndexDown) {
  test_support::TestDevice device(platform::RegistrySeed::kEmpty);
  EXPECT_TRUE(ReadFavorites().empty());
  ASSERT_TRUE(AddFavorite(u"Example", u"http://www.example.com/"));
  ASSERT_TRUE(AddFavorite(u"Tickets", u"https://tickets.example.org/"));
  const std::vector<CString> names = ReadFavorites();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], u"Tickets");
  EXPECT_EQ(names[1], u"Example");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"\\Software\\Microsoft\\Internet Explorer\\Main\\FavoritesEntries\\Tickets",
                          0, KEY_READ, &key),
            ERROR_SUCCESS);
  WCHAR url[64] = {};
  DWORD size = sizeof url;
  EXPECT_EQ(RegQueryValueExW(key, u"URL", nullptr, nullptr, reinterpret_cast<BYTE*>(url), &size), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(std::u16string(url), u"https://tickets.example.org/");
  EXPECT_EQ(platform::ReadActivity().back().kind, "favourite");
  EXPECT_FALSE(AddFavorite(u"", u"x"));
}

}  // namespace
