// The device's resource file: damaged files are refused with a reason, lookups stay inside the
// file, and strings, bitmaps and menus come back as the sources describe them.
#include <cstring>

#include "controls_fixture.h"
#include "platform/controls/menu_api.h"
#include "platform/dialog/dialog_template.h"
#include "platform/kernel/module_api.h"
#include "platform/resources/resource_api.h"
#include "platform/resources/resource_file.h"
#include "platform/window/screen.h"

namespace controls_test {
namespace {

using platform::resources::ResourceFile;

std::vector<BYTE> Header(DWORD count) {
  std::vector<BYTE> bytes{'M', 'M', 'S', 'R', 'E', 'S', '0', '1'};
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<BYTE>(count >> (8 * i)));
  return bytes;
}

void Put32(std::vector<BYTE>& bytes, DWORD value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

// One string entry "Hi" of number 7, then whatever `mutate` does to the bytes.
std::vector<BYTE> OneString() {
  std::vector<BYTE> bytes = Header(1);
  for (DWORD word : {6u, 7u, 1u, 32u, 6u}) Put32(bytes, word);
  for (BYTE b : {BYTE{'H'}, BYTE{0}, BYTE{'i'}, BYTE{0}, BYTE{0}, BYTE{0}}) bytes.push_back(b);
  return bytes;
}

TEST(ResourceFileTest, DamagedFilesAreRefused) {
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
  };
  std::vector<BYTE> pastEnd = OneString();
  pastEnd[12 + 16] = 200;  // size beyond the file
  std::vector<BYTE> offsetPastEnd = OneString();
  offsetPastEnd[12 + 12] = 0xFF;  // offset beyond the file
  std::vector<BYTE> tooMany = Header(0x7FFFFFFF);
  const std::vector<BYTE> whole = OneString();
  std::vector<BYTE> badMagic = OneString();
  badMagic[0] = 'X';
  // Strings are read in place as 16-bit characters: an entry at an odd offset would be read unaligned.
  std::vector<BYTE> unaligned = OneString();
  unaligned[12 + 12] = 33;
  unaligned[12 + 16] = 4;
  const Case cases[] = {{"empty", {}},
                        {"header cut", std::vector<BYTE>(whole.begin(), whole.begin() + 10)},
                        {"table cut", std::vector<BYTE>(whole.begin(), whole.begin() + 20)},
                        {"size past the end", pastEnd},
                        {"offset past the end", offsetPastEnd},
                        {"absurd count", tooMany},
                        {"bad magic", badMagic},
                        {"unaligned entry", unaligned}};
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(ResourceFile::FromBytes(c.bytes, &error), nullptr) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
  auto good = ResourceFile::FromBytes(OneString());
  ASSERT_NE(good, nullptr);
  const auto* entry = good->Find(6, 7);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->data.size(), 6u);
  EXPECT_EQ(good->Find(6, 8), nullptr);
}

TEST_F(ControlsTest, StringsCopyTruncateAndLendTheirText) {
  WCHAR buffer[8];
  EXPECT_EQ(LoadStringW(nullptr, 40518, buffer, 8), 4);
  EXPECT_EQ(std::u16string(buffer), u"Stop");
  EXPECT_EQ(LoadStringW(nullptr, 40269, buffer, 4), 3);  // "Messages" cut to fit with its null
  EXPECT_EQ(std::u16string(buffer), u"Mes");
  const WCHAR* lent = nullptr;
  EXPECT_EQ(LoadStringW(nullptr, 40269, reinterpret_cast<LPWSTR>(&lent), 0), 8);
  EXPECT_EQ(std::u16string_view(lent, 8), u"Messages");
  EXPECT_EQ(LoadStringW(nullptr, 65000, buffer, 8), 0);
  EXPECT_EQ(buffer[0], 0);
}

TEST_F(ControlsTest, BitmapsFollowTheScreenDensity) {
  for (auto [dpi, width] : {std::pair{96, 5}, std::pair{192, 10}}) {
    ASSERT_TRUE(platform::window::ConfigureScreen({240, 320, dpi}));
    HBITMAP arrow = LoadBitmapW(nullptr, MAKEINTRESOURCEW(113));
    ASSERT_NE(arrow, nullptr);
    BITMAP info{};
    GetObjectW(arrow, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, width) << dpi;
    DeleteObject(arrow);
  }
  EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(9999)), nullptr);
}

TEST_F(ControlsTest, DataModulesLoadFindAndFree) {
  HMODULE module = LoadLibraryExW(u"MMSRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  HRSRC dialog = FindResourceW(module, MAKEINTRESOURCEW(373), RT_DIALOG);
  ASSERT_NE(dialog, nullptr);
  EXPECT_GT(SizeofResource(module, dialog), sizeof(DLGTEMPLATE));
  EXPECT_EQ(FindResourceW(module, u"named", RT_DIALOG), nullptr);
  EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(373), RT_MENU), nullptr);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(LoadLibraryExW(u"\\windows\\missing.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
}

TEST_F(ControlsTest, MenusLoadWithTheirSubmenus) {
  HMENU menus = LoadMenuW(nullptr, MAKEINTRESOURCEW(252));
  ASSERT_NE(menus, nullptr);
  EXPECT_EQ(GetMenuItemCount(menus), 16);
  HMENU link = GetSubMenu(menus, 15);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(GetMenuItemID(link, 0), 40421u);
  WCHAR text[32];
  EXPECT_GT(GetMenuStringW(menus, 40685, text, 32, MF_BYCOMMAND), 0);  // found in submenu 14
  HMENU sort = GetSubMenu(LoadMenuW(nullptr, MAKEINTRESOURCEW(254)), 4);
  ASSERT_NE(sort, nullptr);
  EXPECT_EQ(GetMenuItemID(sort, 1), 40059u);
  EXPECT_TRUE(DestroyMenu(menus));
  EXPECT_FALSE(IsMenu(link));  // submenus go with their menu
}

}  // namespace
}  // namespace controls_test
