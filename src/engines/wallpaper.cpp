#include "engines/wallpaper.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "device/screen_class.h"
#include "engines/image_decode.h"
#include "engines/image_encode.h"
#include "engines/image_info.h"
#include "model/drm_handling.h"
#include "platform/kernel/activity_log.h"
#include "platform/kernel/file_api.h"
#include "platform/registry/registry.h"
#include "platform/window/window_api.h"

namespace {

constexpr const WCHAR* kTodayKey = u"\\Software\\Microsoft\\Today";
constexpr int kJpegQuality = 90;

struct ImageDeleter {
  void operator()(DibImage* image) const { FreeDibImage(image); }
};
using UniqueImage = std::unique_ptr<DibImage, ImageDeleter>;

DWORD ReadUseStartImage() {
  HKEY key = nullptr;
  DWORD value = 0;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kTodayKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    DWORD size = sizeof value;
    if (RegQueryValueExW(key, u"UseStartImage", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS) {
      value = 0;
    }
    RegCloseKey(key);
  }
  return value;
}

void ClearWall() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kTodayKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(key, u"Wall", 0, REG_SZ, reinterpret_cast<const BYTE*>(u""), sizeof(WCHAR));
  RegFlushKey(key);
  RegCloseKey(key);
}

// Deletes the one file a pattern finds first, after clearing its read-only attribute.
void DeleteFirstMatch(const CString& pattern) {
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileW(pattern, &found);
  if (find == INVALID_HANDLE_VALUE) return;
  FindClose(find);
  const CString file = CString(u"\\windows\\") + found.cFileName;
  SetFileAttributesW(file, GetFileAttributesW(file) & ~FILE_ATTRIBUTE_READONLY);
  DeleteFileW(file);
}

CString Extension(const CString& path) {
  const int dot = path.ReverseFind(u'.');
  const int slash = std::max(path.ReverseFind(u'\\'), path.ReverseFind(u'/'));
  return dot > slash ? path.Mid(dot) : CString(u".jpg");
}

// Decoded to cover the target (both sides at least the target's where the picture allows), then
// cropped to the target's shape at the chosen offset and faded.
UniqueImage PrepareTarget(const WallpaperRequest& request, SIZE target, POINT offset) {
  SIZE natural{};
  int bits = 0;
  if (target.cx < 1 || target.cy < 1 || !GetImageInfo(request.picture, &natural, &bits, request.mediaType)) {
    return nullptr;
  }
  SIZE box = target;
  if (natural.cx > 0 && natural.cy > 0) {
    // Widen the box on the side the picture is relatively longer, so that the fit covers the target.
    // Rounded up: a box a pixel short would fit the picture a row or a column short of the screen.
    const long long wide = static_cast<long long>(natural.cx) * target.cy;
    const long long tall = static_cast<long long>(natural.cy) * target.cx;
    if (wide > tall) {
      box.cx = static_cast<LONG>((wide + natural.cy - 1) / natural.cy);
    } else {
      box.cy = static_cast<LONG>((tall + natural.cx - 1) / natural.cx);
    }
  }
  UniqueImage image(DecodeImage(request.picture, &box, request.mediaType, 0));
  if (!image) return nullptr;
  const LONG width = image->header.biWidth;
  const LONG height = std::abs(image->header.biHeight);
  const bool larger = width > target.cx || height > target.cy;
  const bool sameShape = static_cast<long long>(width) * target.cy == static_cast<long long>(height) * target.cx;
  if (larger && !sameShape) {
    const bool wider = static_cast<long long>(width) * target.cy > static_cast<long long>(height) * target.cx;
    DibImage* cropped = nullptr;
    if (wider) {
      const LONG x = std::clamp<LONG>(offset.x, 0, std::max<LONG>(0, width - target.cx));
      cropped = CropColumns(image.get(), x, std::min<LONG>(target.cx, width - 1));
    } else {
      const LONG y = std::clamp<LONG>(offset.y, 0, std::max<LONG>(0, height - target.cy));
      cropped = CropRows(image.get(), y, std::min<LONG>(target.cy, height - 1));
    }
    if (cropped) image.reset(cropped);
  }
  FadeTowardWhite(image.get(), request.transparency);
  return image;
}

BOOL SendSettingChange(HWND hwnd, LPARAM) {
  SendMessageW(hwnd, WM_SETTINGCHANGE, 0xF2, 0);
  return TRUE;
}

}  // namespace

DibImage* CropColumns(const DibImage* image, LONG x, LONG width) {
  if (image == nullptr || image->header.biBitCount != 24) return nullptr;
  const LONG imageWidth = image->header.biWidth;
  const LONG height = std::abs(image->header.biHeight);
  if (width <= 0 || width >= imageWidth || x < 0 || x + width > imageWidth) return nullptr;
  DibImage* out = CreateDibImage(width, height, 24);
  if (out == nullptr) return nullptr;
  FillDibImage(out, 255, 255, 255);
  for (LONG row = 0; row < height; ++row) {
    std::memcpy(DibRowFromTop(out, row), DibRowFromTop(image, row) + static_cast<size_t>(x) * 3,
                static_cast<size_t>(width) * 3);
  }
  return out;
}

DibImage* CropRows(const DibImage* image, LONG y, LONG height) {
  if (image == nullptr || image->header.biBitCount != 24) return nullptr;
  const LONG width = image->header.biWidth;
  const LONG imageHeight = std::abs(image->header.biHeight);
  if (height <= 0 || height >= imageHeight || y < 0 || y + height > imageHeight) return nullptr;
  DibImage* out = CreateDibImage(width, height, 24);
  if (out == nullptr) return nullptr;
  FillDibImage(out, 255, 255, 255);
  for (LONG row = 0; row < height; ++row) {
    std::memcpy(DibRowFromTop(out, row), DibRowFromTop(image, y + row), static_cast<size_t>(width) * 3);
  }
  return out;
}

void FadeTowardWhite(DibImage* image, int level) {
  if (image == nullptr || image->header.biBitCount != 24) return;
  const int light = 255 - std::clamp(level, 0, 255);
  const LONG width = image->header.biWidth;
  const LONG height = std::abs(image->header.biHeight);
  for (LONG row = 0; row < height; ++row) {
    BYTE* pixel = DibRowFromTop(image, row);
    for (LONG i = 0; i < width * 3; ++i) pixel[i] = static_cast<BYTE>((light * 255 + pixel[i] * (255 - light)) / 255);
  }
}

BOOL SetWallpaper(const WallpaperRequest& request) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const int m = std::min(width, height);
  const int big = std::max(width, height);
  if (ScreenClass(width, height) == 5) ClearWall();
  const WCHAR* stem = ReadUseStartImage() ? u"stwater" : u"tdywater";
  const CString extension = Extension(request.picture);
  if (DrmStatus(request.picture, 0, request.owner) != 0 && !MayUse(request.picture)) return FALSE;
  struct Target {
    SIZE sides;
    SIZE size;
    POINT offset;
  };
  const Target portrait{SIZE{m, big}, request.portrait, request.portraitOffset};
  const Target landscape{SIZE{big, m}, request.landscape, request.landscapeOffset};
  const std::array<Target, 2> targets = width <= height ? std::array<Target, 2>{portrait, landscape}
                                                        : std::array<Target, 2>{landscape, portrait};
  std::array<CString, 2> finalNames;
  std::array<CString, 2> newNames;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    finalNames[i].Format(u"\\windows\\%s_%d_%d%s", stem, targets[i].sides.cx, targets[i].sides.cy, extension.GetString());
    // A name no deletion pattern below matches.
    newNames[i].Format(u"\\windows\\newwall_%d_%d%s", targets[i].sides.cx, targets[i].sides.cy, extension.GetString());
    UniqueImage image = PrepareTarget(request, targets[i].size, targets[i].offset);
    if (!image || !EncodeImage(image.get(), newNames[i], 0xFFFF0000, kJpegQuality, nullptr, 0)) {
      for (std::size_t k = 0; k <= i; ++k) DeleteFileW(newNames[k]);
      return FALSE;
    }
  }
  for (const WCHAR* old : {u"stwater", u"tdywater"}) {
    for (const SIZE sides : {SIZE{m, big}, SIZE{big, m}}) {
      CString pattern;
      pattern.Format(u"\\windows\\%s_%d_%d.*", old, sides.cx, sides.cy);
      DeleteFirstMatch(pattern);
    }
    DeleteFirstMatch(CString(u"\\windows\\") + old + u".*");
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (!MoveFileExW(newNames[i], finalNames[i], MOVEFILE_REPLACE_EXISTING)) return FALSE;
  }
  EnumWindows(&SendSettingChange, 0);
  platform::RecordActivity("wallpaper", finalNames[0].ToUtf8() + " " + finalNames[1].ToUtf8());
  return TRUE;
}
