#include "platform/gdi/device_context.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "platform/gdi/gdi_api.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/last_error.h"
#include "platform/window/screen.h"

namespace platform::gdi {
namespace {

// Each handle table counts in its own residue modulo 4, so no handle of one kind is ever taken
// for a live handle of another.
constexpr std::uintptr_t kFirstDcHandle = 0x20001;

struct DcTable {
  std::unordered_map<std::uintptr_t, std::unique_ptr<DeviceContext>> contexts;
  std::uintptr_t next = kFirstDcHandle;
};

DcTable& Contexts() {
  static DcTable table;
  return table;
}

HGDIOBJ* SlotFor(DcState& state, ObjectKind kind) {
  switch (kind) {
    case ObjectKind::kBrush: return reinterpret_cast<HGDIOBJ*>(&state.brush);
    case ObjectKind::kPen: return reinterpret_cast<HGDIOBJ*>(&state.pen);
    case ObjectKind::kFont: return reinterpret_cast<HGDIOBJ*>(&state.font);
    case ObjectKind::kBitmap: return reinterpret_cast<HGDIOBJ*>(&state.bitmap);
  }
  return nullptr;
}

DcState DefaultState(bool memory) {
  DcState state;
  state.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  state.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  state.font = DefaultFont();
  state.bitmap = memory ? DefaultBitmap() : nullptr;
  return state;
}

}  // namespace

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  return IsEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

bool IsEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

DeviceContext::DeviceContext(std::shared_ptr<Surface> surface, POINT origin, RECT clip)
    : m_surface(std::move(surface)), m_baseOrigin(origin), m_baseClip(clip),
      m_state(DefaultState(false)) {
  RetainState(m_state);
}

DeviceContext::DeviceContext() : m_memory(true), m_state(DefaultState(true)) {
  m_baseClip = {0, 0, 0x7FFFFFFF, 0x7FFFFFFF};
  RetainState(m_state);
}

DeviceContext::~DeviceContext() {
  for (const DcState& state : m_saved) {
    ReleaseState(state);
  }
  ReleaseState(m_state);
}

void DeviceContext::RetainState(const DcState& state) {
  RetainSelection(state.brush);
  RetainSelection(state.pen);
  RetainSelection(state.font);
  if (state.bitmap) {
    RetainSelection(state.bitmap);
  }
}

void DeviceContext::ReleaseState(const DcState& state) {
  ReleaseSelection(state.brush);
  ReleaseSelection(state.pen);
  ReleaseSelection(state.font);
  if (state.bitmap) {
    ReleaseSelection(state.bitmap);
  }
}

Surface* DeviceContext::Target() const {
  if (!m_memory) {
    return m_surface.get();
  }
  // The selected bitmap may only be pending deletion, never gone: the selection keeps it.
  GdiObject* bitmap = FindSelectedObject(m_state.bitmap, ObjectKind::kBitmap);
  return bitmap ? bitmap->surface.get() : nullptr;
}

POINT DeviceContext::Origin() const {
  return {m_baseOrigin.x + m_state.viewportOrigin.x, m_baseOrigin.y + m_state.viewportOrigin.y};
}

POINT DeviceContext::ToDevice(int x, int y) const {
  POINT origin = Origin();
  return {x + origin.x, y + origin.y};
}

RECT DeviceContext::ToDevice(const RECT& rect) const {
  POINT origin = Origin();
  return {rect.left + origin.x, rect.top + origin.y, rect.right + origin.x, rect.bottom + origin.y};
}

RECT DeviceContext::Clip() const {
  Surface* target = Target();
  if (!target) {
    return {0, 0, 0, 0};
  }
  RECT clip = Intersect(m_baseClip, target->Bounds());
  if (m_state.hasUserClip) {
    clip = Intersect(clip, m_state.userClip);
  }
  return clip;
}

HGDIOBJ DeviceContext::Select(HGDIOBJ handle) {
  GdiObject* object = FindObject(handle);
  if (!object) {
    return nullptr;
  }
  if (object->kind == ObjectKind::kBitmap) {
    // A bitmap lives in one memory context at a time, as on the device.
    if (!m_memory || (object->selections > 0 && handle != m_state.bitmap && !object->stock)) {
      return nullptr;
    }
  }
  HGDIOBJ* slot = SlotFor(m_state, object->kind);
  HGDIOBJ previous = *slot;
  RetainSelection(handle);
  *slot = handle;
  ReleaseSelection(previous);
  return previous;
}

int DeviceContext::Save() {
  RetainState(m_state);
  m_saved.push_back(m_state);
  return static_cast<int>(m_saved.size());
}

bool DeviceContext::Restore(int level) {
  int count = static_cast<int>(m_saved.size());
  int target = level < 0 ? count + level + 1 : level;
  if (target < 1 || target > count) {
    return false;
  }
  ReleaseState(m_state);
  m_state = m_saved[static_cast<std::size_t>(target - 1)];
  for (int i = target; i < count; ++i) {
    ReleaseState(m_saved[static_cast<std::size_t>(i)]);
  }
  m_saved.resize(static_cast<std::size_t>(target - 1));
  return true;
}

HDC AddDeviceContext(std::unique_ptr<DeviceContext> context) {
  DcTable& table = Contexts();
  std::uintptr_t id = table.next;
  table.next += 4;
  table.contexts.emplace(id, std::move(context));
  return reinterpret_cast<HDC>(id);
}

DeviceContext* FindDeviceContext(HDC hdc) {
  auto& contexts = Contexts().contexts;
  auto it = contexts.find(reinterpret_cast<std::uintptr_t>(hdc));
  return it == contexts.end() ? nullptr : it->second.get();
}

DeviceContext* CheckedDeviceContext(HDC hdc) {
  DeviceContext* dc = FindDeviceContext(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
  }
  return dc;
}

bool RemoveDeviceContext(HDC hdc) {
  return Contexts().contexts.erase(reinterpret_cast<std::uintptr_t>(hdc)) > 0;
}

const GdiObject* SelectedPen(const DeviceContext& dc) {
  const GdiObject* pen = FindSelectedObject(dc.State().pen, ObjectKind::kPen);
  return pen && pen->penStyle != PS_NULL ? pen : nullptr;
}

const GdiObject* SelectedFont(const DeviceContext& dc) {
  const GdiObject* font = FindSelectedObject(dc.State().font, ObjectKind::kFont);
  return font ? font : FindObject(DefaultFont(), ObjectKind::kFont);
}

std::optional<COLORREF> SelectedBrushColor(const DeviceContext& dc) {
  const GdiObject* brush = FindSelectedObject(dc.State().brush, ObjectKind::kBrush);
  if (!brush || brush->hollow) {
    return std::nullopt;
  }
  return brush->color;
}

}  // namespace platform::gdi

using namespace platform::gdi;

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc && !CheckedDeviceContext(hdc)) {
    return nullptr;
  }
  return AddDeviceContext(std::make_unique<DeviceContext>());
}

BOOL DeleteDC(HDC hdc) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !dc->IsMemory()) {
    return FALSE;
  }
  return RemoveDeviceContext(hdc) ? TRUE : FALSE;
}

int SaveDC(HDC hdc) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  return dc ? dc->Save() : 0;
}

BOOL RestoreDC(HDC hdc, int savedLevel) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  return dc && dc->Restore(savedLevel) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  return dc ? dc->Select(object) : nullptr;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc) {
    return nullptr;
  }
  switch (type) {
    case OBJ_PEN: return dc->State().pen;
    case OBJ_BRUSH: return dc->State().brush;
    case OBJ_FONT: return dc->State().font;
    case OBJ_BITMAP: return dc->State().bitmap;
    default: return nullptr;
  }
}

int GetDeviceCaps(HDC hdc, int index) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc) {
    return 0;
  }
  platform::window::ScreenGeometry screen = platform::window::CurrentScreen();
  switch (index) {
    case HORZRES: return screen.width;
    case VERTRES: return screen.height;
    case BITSPIXEL: return dc->Target() ? dc->Target()->BitsPerPixel() : 24;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case LOGPIXELSX:
    case LOGPIXELSY: return screen.dpi;
    default: return 0;
  }
}

#define MMSFORM_DC_ACCESSOR(Type, SetName, GetName, field, fallback) \
  Type SetName(HDC hdc, Type value) {                               \
    DeviceContext* dc = CheckedDeviceContext(hdc);                                    \
    if (!dc) {                                                      \
      return fallback;                                              \
    }                                                               \
    Type previous = dc->State().field;                              \
    dc->State().field = value;                                      \
    return previous;                                                \
  }                                                                 \
  Type GetName(HDC hdc) {                                           \
    DeviceContext* dc = CheckedDeviceContext(hdc);                                    \
    return dc ? dc->State().field : fallback;                       \
  }

MMSFORM_DC_ACCESSOR(COLORREF, SetTextColor, GetTextColor, textColor, CLR_INVALID)
MMSFORM_DC_ACCESSOR(COLORREF, SetBkColor, GetBkColor, bkColor, CLR_INVALID)
MMSFORM_DC_ACCESSOR(int, SetBkMode, GetBkMode, bkMode, 0)
#undef MMSFORM_DC_ACCESSOR

int SetROP2(HDC hdc, int mode) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || mode < R2_BLACK || mode > R2_WHITE) {
    return 0;
  }
  return std::exchange(dc->State().rop2, mode);
}

int SetStretchBltMode(HDC hdc, int mode) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || mode < BLACKONWHITE || mode > HALFTONE) {
    return 0;
  }
  return std::exchange(dc->State().stretchMode, mode);
}

UINT SetTextAlign(HDC hdc, UINT align) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  return dc ? std::exchange(dc->State().textAlign, align) : 0xFFFFFFFF;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* previous) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc) {
    return FALSE;
  }
  if (previous) {
    *previous = dc->State().viewportOrigin;
  }
  dc->State().viewportOrigin = {x, y};
  return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, POINT* origin) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !origin) {
    return FALSE;
  }
  *origin = dc->State().viewportOrigin;
  return TRUE;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc) {
    return ERROR_REGION;
  }
  RECT wanted = dc->ToDevice(RECT{left, top, right, bottom});
  DcState& state = dc->State();
  state.userClip = state.hasUserClip ? Intersect(state.userClip, wanted) : wanted;
  state.hasUserClip = true;
  return IsEmpty(dc->Clip()) ? NULLREGION : SIMPLEREGION;
}

int GetClipBox(HDC hdc, RECT* box) {
  DeviceContext* dc = CheckedDeviceContext(hdc);
  if (!dc || !box) {
    return ERROR_REGION;
  }
  RECT clip = dc->Clip();
  POINT origin = dc->ToDevice(0, 0);
  *box = {clip.left - origin.x, clip.top - origin.y, clip.right - origin.x, clip.bottom - origin.y};
  return IsEmpty(clip) ? NULLREGION : SIMPLEREGION;
}
