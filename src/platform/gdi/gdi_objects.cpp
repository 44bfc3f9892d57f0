#include "platform/gdi/gdi_objects.h"

#include <array>
#include <cstring>
#include <unordered_map>

#include "platform/gdi/gdi_api.h"
#include "platform/kernel/last_error.h"

namespace platform::gdi {
namespace {

// Handle numbers start high and step by 4, clear of the small values that stand for system
// colours (COLOR_x + 1, with or without the system-colour flag).
constexpr std::uintptr_t kFirstHandle = 0x10000;
constexpr std::uintptr_t kHandleStep = 4;

struct ObjectTable {
  std::unordered_map<std::uintptr_t, std::unique_ptr<GdiObject>> objects;
  std::uintptr_t next = kFirstHandle;
};

ObjectTable& Table() {
  static ObjectTable table;
  return table;
}

GdiObject* FindAny(HGDIOBJ handle) {
  auto& objects = Table().objects;
  auto it = objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == objects.end() ? nullptr : it->second.get();
}

void Erase(HGDIOBJ handle) { Table().objects.erase(reinterpret_cast<std::uintptr_t>(handle)); }

std::unique_ptr<GdiObject> MakeBrush(bool hollow, COLORREF color) {
  auto object = std::make_unique<GdiObject>();
  object->kind = ObjectKind::kBrush;
  object->hollow = hollow;
  object->color = color & 0xFFFFFF;
  return object;
}

std::unique_ptr<GdiObject> MakePen(int style, int width, COLORREF color) {
  auto object = std::make_unique<GdiObject>();
  object->kind = ObjectKind::kPen;
  object->penStyle = style;
  object->penWidth = width < 1 ? 1 : width;
  object->color = color & 0xFFFFFF;
  return object;
}

HGDIOBJ AddStock(std::unique_ptr<GdiObject> object) {
  object->stock = true;
  return AddObject(std::move(object));
}

HGDIOBJ MakeStock(int index) {
  switch (index) {
    case WHITE_BRUSH: return AddStock(MakeBrush(false, RGB(255, 255, 255)));
    case LTGRAY_BRUSH: return AddStock(MakeBrush(false, RGB(192, 192, 192)));
    case GRAY_BRUSH: return AddStock(MakeBrush(false, RGB(128, 128, 128)));
    case DKGRAY_BRUSH: return AddStock(MakeBrush(false, RGB(64, 64, 64)));
    case BLACK_BRUSH: return AddStock(MakeBrush(false, RGB(0, 0, 0)));
    case NULL_BRUSH: return AddStock(MakeBrush(true, 0));
    case WHITE_PEN: return AddStock(MakePen(PS_SOLID, 1, RGB(255, 255, 255)));
    case BLACK_PEN: return AddStock(MakePen(PS_SOLID, 1, RGB(0, 0, 0)));
    case NULL_PEN: return AddStock(MakePen(PS_NULL, 1, 0));
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT: {
      LOGFONTW log{};
      log.lfWeight = index == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
      HFONT font = CreateFontIndirectW(&log);
      FindAny(font)->stock = true;
      return font;
    }
    default: return nullptr;
  }
}

// The device's colour scheme.
constexpr std::array<COLORREF, kSystemColorCount> kSystemColors = {
    RGB(200, 200, 200),  // scroll bar
    RGB(0, 64, 128),     // desktop
    RGB(0, 80, 160),     // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(255, 255, 255),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(0, 80, 160),     // active border
    RGB(160, 160, 160),  // inactive border
    RGB(128, 128, 128),  // application workspace
    RGB(0, 80, 160),     // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(222, 222, 222),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(212, 212, 212),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(64, 64, 64),     // 3D dark shadow
    RGB(240, 240, 240),  // 3D light
    RGB(0, 0, 0),        // tool tip text
    RGB(255, 255, 225),  // tool tip background
    RGB(222, 222, 222),  // static background
    RGB(0, 0, 0),        // static text
};

// The plain index of a system colour, with or without its flag; -1 when out of range.
int SystemColorIndex(int index) {
  int plain = index & ~SYS_COLOR_INDEX_FLAG;
  return plain >= 0 && plain < kSystemColorCount ? plain : -1;
}

}  // namespace

HGDIOBJ AddObject(std::unique_ptr<GdiObject> object) {
  ObjectTable& table = Table();
  std::uintptr_t id = table.next;
  table.next += kHandleStep;
  table.objects.emplace(id, std::move(object));
  return reinterpret_cast<HGDIOBJ>(id);
}

GdiObject* FindObject(HGDIOBJ handle) {
  GdiObject* object = FindAny(handle);
  return object && !object->deletePending ? object : nullptr;
}

GdiObject* FindObject(HGDIOBJ handle, ObjectKind kind) {
  GdiObject* object = FindObject(handle);
  return object && object->kind == kind ? object : nullptr;
}

GdiObject* FindSelectedObject(HGDIOBJ handle, ObjectKind kind) {
  GdiObject* object = FindAny(handle);
  return object && object->kind == kind ? object : nullptr;
}

void RetainSelection(HGDIOBJ handle) {
  if (GdiObject* object = FindAny(handle)) {
    ++object->selections;
  }
}

void ReleaseSelection(HGDIOBJ handle) {
  GdiObject* object = FindAny(handle);
  if (object && --object->selections <= 0 && object->deletePending) {
    Erase(handle);
  }
}

std::optional<COLORREF> BrushColor(HBRUSH brush) {
  auto value = reinterpret_cast<std::uintptr_t>(brush);
  if (value > 0 && (value < kFirstHandle || (value & SYS_COLOR_INDEX_FLAG))) {
    int index = SystemColorIndex(static_cast<int>((value & ~static_cast<std::uintptr_t>(SYS_COLOR_INDEX_FLAG)) - 1));
    return index >= 0 ? std::optional<COLORREF>(kSystemColors[static_cast<std::size_t>(index)]) : std::nullopt;
  }
  const GdiObject* object = FindObject(brush, ObjectKind::kBrush);
  if (!object || object->hollow) {
    return std::nullopt;
  }
  return object->color;
}

HBITMAP DefaultBitmap() {
  static HBITMAP bitmap = [] {
    auto object = std::make_unique<GdiObject>();
    object->kind = ObjectKind::kBitmap;
    object->stock = true;
    object->surface = std::make_shared<Surface>(1, 1, false, true);
    return static_cast<HBITMAP>(AddObject(std::move(object)));
  }();
  return bitmap;
}

HFONT DefaultFont() { return static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

std::size_t LiveObjectCount() { return Table().objects.size(); }

}  // namespace platform::gdi

using namespace platform::gdi;

HGDIOBJ GetStockObject(int index) {
  static std::array<HGDIOBJ, DEFAULT_GUI_FONT + 1> stock{};
  if (index < 0 || index > DEFAULT_GUI_FONT) {
    return nullptr;
  }
  auto slot = static_cast<std::size_t>(index);
  if (!stock[slot]) {
    stock[slot] = MakeStock(index);
  }
  return stock[slot];
}

BOOL DeleteObject(HGDIOBJ handle) {
  GdiObject* object = FindObject(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (object->stock) {
    return TRUE;
  }
  if (object->selections > 0) {
    object->deletePending = true;
    return TRUE;
  }
  Erase(handle);
  return TRUE;
}

DWORD GetObjectType(HGDIOBJ handle) {
  const GdiObject* object = FindObject(handle);
  if (!object) {
    return 0;
  }
  switch (object->kind) {
    case ObjectKind::kBrush: return OBJ_BRUSH;
    case ObjectKind::kPen: return OBJ_PEN;
    case ObjectKind::kFont: return OBJ_FONT;
    case ObjectKind::kBitmap: return OBJ_BITMAP;
  }
  return 0;
}

namespace {

template <typename T>
int CopyOut(const T& value, int size, LPVOID out) {
  if (!out) {
    return static_cast<int>(sizeof(T));
  }
  int count = size < static_cast<int>(sizeof(T)) ? size : static_cast<int>(sizeof(T));
  if (count <= 0) {
    return 0;
  }
  std::memcpy(out, &value, static_cast<std::size_t>(count));
  return count;
}

}  // namespace

int GetObjectW(HGDIOBJ handle, int size, LPVOID out) {
  const GdiObject* object = FindObject(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  switch (object->kind) {
    case ObjectKind::kBrush:
      return CopyOut(LOGBRUSH{object->hollow ? BS_NULL : BS_SOLID, object->color, 0}, size, out);
    case ObjectKind::kPen:
      return CopyOut(LOGPEN{static_cast<UINT>(object->penStyle), {object->penWidth, 0}, object->color},
                     size, out);
    case ObjectKind::kFont: return CopyOut(object->logFont, size, out);
    case ObjectKind::kBitmap: {
      const Surface& s = *object->surface;
      BITMAP info{};
      info.bmWidth = s.Width();
      info.bmHeight = s.Height();
      info.bmPlanes = 1;
      info.bmBitsPixel = static_cast<WORD>(s.BitsPerPixel());
      info.bmWidthBytes = s.IsMonochrome() ? ((s.Width() + 15) / 16) * 2 : s.Stride();
      info.bmBits = object->dibSection ? const_cast<BYTE*>(s.Bits()) : nullptr;
      return CopyOut(info, size, out);
    }
  }
  return 0;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  return static_cast<HBRUSH>(AddObject(MakeBrush(false, color)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return static_cast<HBRUSH>(AddObject(MakeBrush(brush->lbStyle == BS_NULL, brush->lbColor)));
}

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style != PS_SOLID && style != PS_DASH && style != PS_NULL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return static_cast<HPEN>(AddObject(MakePen(style, width, color)));
}

DWORD GetSysColor(int index) {
  int plain = SystemColorIndex(index);
  return plain < 0 ? 0 : kSystemColors[static_cast<std::size_t>(plain)];
}

HBRUSH GetSysColorBrush(int index) {
  static std::array<HBRUSH, kSystemColorCount> brushes{};
  int plain = SystemColorIndex(index);
  if (plain < 0) {
    return nullptr;
  }
  HBRUSH& brush = brushes[static_cast<std::size_t>(plain)];
  if (!brush) {
    brush = static_cast<HBRUSH>(AddStock(MakeBrush(false, kSystemColors[static_cast<std::size_t>(plain)])));
  }
  return brush;
}
