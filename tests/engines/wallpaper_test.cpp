// Wallpaper files: cropping to the target's shape, fading, the names by orientation and setting,
// the earlier files replaced, and a failure that keeps them.
#include "engines/wallpaper.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engines/image_encode.h"
#include "engines/image_info.h"
#include "platform/kernel/file_api.h"
#include "platform/registry/registry.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"
#include "support/test_device.h"

namespace {

struct ImageDeleter {
  void operator()(DibImage* image) const { FreeDibImage(image); }
};
using UniqueImage = std::unique_ptr<DibImage, ImageDeleter>;

// Each pixel's blue is its column, green its row.
UniqueImage Gradient(LONG width, LONG height) {
  UniqueImage image(CreateDibImage(width, height, 24));
  for (LONG y = 0; y < height; ++y) {
    BYTE* row = DibRowFromTop(image.get(), y);
    for (LONG x = 0; x < width; ++x) {
      row[x * 3] = static_cast<BYTE>(x);
      row[x * 3 + 1] = static_cast<BYTE>(y);
      row[x * 3 + 2] = 100;
    }
  }
  return image;
}

TEST(Wallpaper, CropHelpersTakeABandStrictlyInside) {
  UniqueImage image = Gradient(6, 4);
  UniqueImage columns(CropColumns(image.get(), 2, 3));
  ASSERT_TRUE(columns);
  EXPECT_EQ(columns->header.biWidth, 3);
  EXPECT_EQ(DibRowFromTop(columns.get(), 1)[0], 2);  // blue of column 2
  EXPECT_EQ(DibRowFromTop(columns.get(), 1)[1], 1);  // green of row 1
  UniqueImage rows(CropRows(image.get(), 1, 2));
  ASSERT_TRUE(rows);
  EXPECT_EQ(std::abs(rows->header.biHeight), 2);
  EXPECT_EQ(DibRowFromTop(rows.get(), 0)[1], 1);
  EXPECT_EQ(CropColumns(image.get(), 0, 6), nullptr);  // the whole width is no crop
  EXPECT_EQ(CropColumns(image.get(), 4, 3), nullptr);
  EXPECT_EQ(CropColumns(image.get(), -1, 2), nullptr);
  EXPECT_EQ(CropRows(image.get(), 0, 0), nullptr);
  UniqueImage eightBit(CreateDibImage(6, 4, 8));
  EXPECT_EQ(CropColumns(eightBit.get(), 1, 2), nullptr);
}

TEST(Wallpaper, FadingTowardWhite) {
  UniqueImage image = Gradient(2, 1);
  FadeTowardWhite(image.get(), 255);
  EXPECT_EQ(DibRowFromTop(image.get(), 0)[5], 100);  // unchanged
  FadeTowardWhite(image.get(), 128);
  // L = 127: (127 * 255 + 100 * 128) / 255 = 177
  EXPECT_EQ(DibRowFromTop(image.get(), 0)[5], 177);
  FadeTowardWhite(image.get(), 0);
  EXPECT_EQ(DibRowFromTop(image.get(), 0)[0], 255);
  EXPECT_EQ(DibRowFromTop(image.get(), 0)[4], 255);
}

class WallpaperFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::window::ResetWindowSystem();
    std::filesystem::create_directories(m_device.Host(u"\\My Documents"));
  }
  void TearDown() override {
    platform::window::ResetWindowSystem();
    platform::window::ResetScreen();
  }
  bool Exists(std::u16string_view path) { return std::filesystem::exists(m_device.Host(path)); }
  SIZE SizeOf(LPCWSTR path) {
    SIZE size{};
    int bits = 0;
    EXPECT_TRUE(GetImageInfo(path, &size, &bits, 0xFFFF0000)) << CString(path).ToUtf8();
    return size;
  }
  WallpaperRequest Request(LPCWSTR picture) {
    WallpaperRequest request;
    request.picture = CString(picture);
    request.mediaType = 0xFFFF0000;
    request.portrait = SIZE{240, 320};
    request.landscape = SIZE{320, 240};
    request.transparency = 255;
    return request;
  }

  test_support::TestDevice m_device;
};

TEST_F(WallpaperFiles, BothOrientationsReplaceTheEarlierFiles) {
  UniqueImage picture = Gradient(600, 400);
  ASSERT_TRUE(EncodeImage(picture.get(), u"\\My Documents\\beach.png", 0xFFFF0000, 90, nullptr, 0));
  test_support::WriteFileBytes(m_device.Host(u"\\windows\\tdywater_240_320.jpg"), "old");
  test_support::WriteFileBytes(m_device.Host(u"\\windows\\stwater.bmp"), "old");
  SetFileAttributesW(u"\\windows\\stwater.bmp", FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(SetWallpaper(Request(u"\\My Documents\\beach.png")));
  EXPECT_FALSE(Exists(u"\\windows\\tdywater_240_320.jpg"));
  EXPECT_FALSE(Exists(u"\\windows\\stwater.bmp"));
  const SIZE portrait = SizeOf(u"\\windows\\tdywater_240_320.png");
  const SIZE landscape = SizeOf(u"\\windows\\tdywater_320_240.png");
  EXPECT_EQ(portrait.cx, 240);
  EXPECT_EQ(portrait.cy, 320);
  EXPECT_EQ(landscape.cx, 320);
  EXPECT_EQ(landscape.cy, 240);
  EXPECT_FALSE(Exists(u"\\windows\\newwall_240_320.png"));
}

// A picture whose shape does not divide evenly into the screen's still covers it to the last row.
TEST_F(WallpaperFiles, UnevenShapesStillFillTheWholeScreen) {
  for (const SIZE natural : {SIZE{896, 600}, SIZE{601, 899}}) {
    SCOPED_TRACE(std::to_string(natural.cx) + "x" + std::to_string(natural.cy));
    UniqueImage picture = Gradient(natural.cx, natural.cy);
    ASSERT_TRUE(EncodeImage(picture.get(), u"\\My Documents\\uneven.png", 0xFFFF0000, 90, nullptr, 0));
    ASSERT_TRUE(SetWallpaper(Request(u"\\My Documents\\uneven.png")));
    const SIZE portrait = SizeOf(u"\\windows\\tdywater_240_320.png");
    const SIZE landscape = SizeOf(u"\\windows\\tdywater_320_240.png");
    EXPECT_EQ(portrait.cx, 240);
    EXPECT_EQ(portrait.cy, 320);
    EXPECT_EQ(landscape.cx, 320);
    EXPECT_EQ(landscape.cy, 240);
  }
}

TEST_F(WallpaperFiles, TheStartImageSettingChoosesTheOtherName) {
  UniqueImage picture = Gradient(480, 640);
  ASSERT_TRUE(EncodeImage(picture.get(), u"\\My Documents\\tall.png", 0xFFFF0000, 90, nullptr, 0));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"\\Software\\Microsoft\\Today", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  const DWORD one = 1;
  RegSetValueExW(key, u"UseStartImage", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegCloseKey(key);
  ASSERT_TRUE(SetWallpaper(Request(u"\\My Documents\\tall.png")));
  // The picture has the portrait target's shape: scaled, not cropped.
  const SIZE portrait = SizeOf(u"\\windows\\stwater_240_320.png");
  EXPECT_EQ(portrait.cx, 240);
  EXPECT_EQ(portrait.cy, 320);
  EXPECT_TRUE(Exists(u"\\windows\\stwater_320_240.png"));
}

// The Today screen learns of a new wallpaper through 0xF2 to every top-level window; on a 480 x 800
// screen "Wall" is emptied first. A refused picture tells nobody.
std::vector<WPARAM> g_settingChanges;

LRESULT RecordSettingChange(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTINGCHANGE) g_settingChanges.push_back(wParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

CString ReadWall() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, u"\\Software\\Microsoft\\Today", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return CString(u"(no key)");
  }
  WCHAR value[32] = {};
  DWORD size = sizeof value - sizeof(WCHAR);
  const LONG read = RegQueryValueExW(key, u"Wall", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS ? CString(value) : CString(u"(no value)");
}

TEST_F(WallpaperFiles, TheTodayScreenIsToldAndWallIsEmptiedOnTheTallScreen) {
  ASSERT_TRUE(platform::window::ConfigureScreen(platform::window::ScreenGeometry{480, 800, 192}));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"\\Software\\Microsoft\\Today", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, u"Wall", 0, REG_SZ, reinterpret_cast<const BYTE*>(u"old.jpg"), 8 * sizeof(WCHAR));
  RegCloseKey(key);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = RecordSettingChange;
  windowClass.lpszClassName = u"TodayStandIn";
  ASSERT_NE(RegisterClassW(&windowClass), 0);
  HWND today = CreateWindowExW(0, u"TodayStandIn", u"today", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(today, nullptr);
  g_settingChanges.clear();

  test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\broken.png"), "not a picture");
  EXPECT_FALSE(SetWallpaper(Request(u"\\My Documents\\broken.png")));
  EXPECT_TRUE(g_settingChanges.empty());

  UniqueImage picture = Gradient(600, 1000);
  ASSERT_TRUE(EncodeImage(picture.get(), u"\\My Documents\\tall.png", 0xFFFF0000, 90, nullptr, 0));
  WallpaperRequest request = Request(u"\\My Documents\\tall.png");
  request.portrait = SIZE{480, 800};
  request.landscape = SIZE{800, 480};
  ASSERT_TRUE(SetWallpaper(request));
  EXPECT_EQ(g_settingChanges, (std::vector<WPARAM>{0xF2}));
  EXPECT_EQ(ReadWall(), u"");
  EXPECT_TRUE(Exists(u"\\windows\\tdywater_480_800.png"));
  EXPECT_TRUE(Exists(u"\\windows\\tdywater_800_480.png"));
  DestroyWindow(today);
  UnregisterClassW(u"TodayStandIn", nullptr);
}

// Deleting the earlier files before the new ones exist would leave the device without wallpaper
// whenever the new picture fails; the earlier files stay until the new ones are written.
TEST_F(WallpaperFiles, APictureThatFailsKeepsTheWallpaper) {
  test_support::WriteFileBytes(m_device.Host(u"\\windows\\tdywater_240_320.jpg"), "old");
  test_support::WriteFileBytes(m_device.Host(u"\\My Documents\\broken.png"), "not a picture");
  EXPECT_FALSE(SetWallpaper(Request(u"\\My Documents\\broken.png")));
  EXPECT_FALSE(SetWallpaper(Request(u"\\My Documents\\missing.png")));
  EXPECT_TRUE(Exists(u"\\windows\\tdywater_240_320.jpg"));
  EXPECT_FALSE(Exists(u"\\windows\\newwall_240_320.png"));
}

}  // namespace
