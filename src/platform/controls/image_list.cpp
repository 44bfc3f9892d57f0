// Image lists: images of one size cut from bitmaps, drawn opaque or with a transparent key.
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/controls/toolbar_api.h"
#include "platform/gdi/gdi_raii.h"

struct ImageListRecord {
  int width = 0;
  int height = 0;
  std::vector<platform::gdi::UniqueBitmap> images;
  std::vector<std::optional<COLORREF>> keys;
};

namespace {

std::unordered_map<HIMAGELIST, std::unique_ptr<ImageListRecord>>& Lists() {
  static std::unordered_map<HIMAGELIST, std::unique_ptr<ImageListRecord>> lists;
  return lists;
}

ImageListRecord* Find(HIMAGELIST list) {
  auto it = Lists().find(list);
  return it == Lists().end() ? nullptr : it->second.get();
}

int AddImages(HIMAGELIST handle, HBITMAP image, std::optional<COLORREF> key) {
  ImageListRecord* list = Find(handle);
  BITMAP info{};
  if (!list || !image || !GetObjectW(image, sizeof info, &info) || info.bmWidth < list->width ||
      info.bmHeight < list->height) {
    return -1;
  }
  HDC screen = GetDC(nullptr);
  platform::gdi::MemoryDc source(screen);
  platform::gdi::MemoryDc target(screen);
  platform::gdi::ScopedSelect sourceSelect(source.Get(), image);
  const int first = static_cast<int>(list->images.size());
  for (int x = 0; x + list->width <= info.bmWidth; x += list->width) {
    platform::gdi::UniqueBitmap cell(CreateCompatibleBitmap(screen, list->width, list->height));
    platform::gdi::ScopedSelect targetSelect(target.Get(), cell.Get());
    BitBlt(target.Get(), 0, 0, list->width, list->height, source.Get(), x, 0, SRCCOPY);
    list->images.push_back(std::move(cell));
    list->keys.push_back(key);
  }
  ReleaseDC(nullptr, screen);
  return first;
}

// Key-coloured pixels keep the destination: a monochrome mask of the key, then XOR, AND, XOR.
void DrawKeyed(HDC hdc, int x, int y, int width, int height, HDC image, COLORREF key) {
  platform::gdi::MemoryDc maskDc(hdc);
  platform::gdi::UniqueBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
  platform::gdi::ScopedSelect maskSelect(maskDc.Get(), mask.Get());
  COLORREF oldImageBk = SetBkColor(image, key);
  BitBlt(maskDc.Get(), 0, 0, width, height, image, 0, 0, SRCCOPY);
  SetBkColor(image, oldImageBk);
  COLORREF oldBk = SetBkColor(hdc, RGB(255, 255, 255));
  COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
  BitBlt(hdc, x, y, width, height, image, 0, 0, SRCINVERT);
  BitBlt(hdc, x, y, width, height, maskDc.Get(), 0, 0, SRCAND);
  BitBlt(hdc, x, y, width, height, image, 0, 0, SRCINVERT);
  SetBkColor(hdc, oldBk);
  SetTextColor(hdc, oldText);
}

}  // namespace

HIMAGELIST ImageList_Create(int width, int height, UINT, int, int) {
  if (width <= 0 || height <= 0 || width > 1024 || height > 1024) return nullptr;
  auto list = std::make_unique<ImageListRecord>();
  list->width = width;
  list->height = height;
  HIMAGELIST handle = list.get();
  Lists().emplace(handle, std::move(list));
  return handle;
}

BOOL ImageList_Destroy(HIMAGELIST list) { return Lists().erase(list) ? TRUE : FALSE; }

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP) { return AddImages(list, image, std::nullopt); }

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF key) { return AddImages(list, image, key); }

int ImageList_GetImageCount(HIMAGELIST handle) {
  ImageListRecord* list = Find(handle);
  return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* width, int* height) {
  ImageListRecord* list = Find(handle);
  if (!list || !width || !height) return FALSE;
  *width = list->width;
  *height = list->height;
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST handle, int index, HDC hdc, int x, int y, UINT style) {
  ImageListRecord* list = Find(handle);
  if (!list || index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
  platform::gdi::MemoryDc image(hdc);
  platform::gdi::ScopedSelect select(image.Get(), list->images[static_cast<std::size_t>(index)].Get());
  const std::optional<COLORREF>& key = list->keys[static_cast<std::size_t>(index)];
  if (key && (style & ILD_TRANSPARENT)) {
    DrawKeyed(hdc, x, y, list->width, list->height, image.Get(), *key);
  } else {
    BitBlt(hdc, x, y, list->width, list->height, image.Get(), 0, 0, SRCCOPY);
  }
  return TRUE;
}
