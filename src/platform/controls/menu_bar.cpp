// The soft-key menu bar window.
#include <algorithm>
#include <map>
#include <vector>

#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/controls/menu_bar_api.h"
#include "platform/controls/menu_store.h"
#include "platform/resources/resource_api.h"

namespace platform::controls {
namespace {

struct MenuBarState {
  HMENU menu = nullptr;  // owned
  HWND owner = nullptr;
  COLORREF background = RGB(0, 56, 112);
  std::map<UINT, WORD> keyFlags;  // overridden keys and their flags

  ~MenuBarState() {
    if (menu) DestroyMenu(menu);
  }
};

// One key per top-level item. The usual two soft keys take half the bar each (a single item keeps
// the left key, where the hand expects it). A bar with more items (a window with several menus)
// gives every one a key as wide as its label, and shares out what is left, so that no label is cut
// while the bar has room for all of them.
std::vector<RECT> KeyRects(const MenuBarState& state, HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  MenuRecord* record = FindMenu(state.menu);
  const std::size_t count = record ? std::max<std::size_t>(2, record->items.size()) : 2;
  std::vector<LONG> widths(count, 1);
  if (count > 2) {
    HDC hdc = GetDC(hwnd);
    HGDIOBJ previous = SelectObject(hdc, platform::controls::SystemUiFont());
    for (std::size_t i = 0; i < count; ++i) {
      const std::u16string& text = record->items[i].text;
      SIZE size{};
      GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(text.size()), &size);
      widths[i] = size.cx + 6;
    }
    SelectObject(hdc, previous);
    ReleaseDC(hwnd, hdc);
  }
  LONG total = 0;
  for (LONG width : widths) total += width;
  const LONG spare = std::max<LONG>(0, client.right - total);
  std::vector<RECT> keys;
  LONG left = 0;
  LONG used = 0;
  for (std::size_t i = 0; i < count; ++i) {
    used += widths[i];
    // Spare room is shared evenly; a bar too narrow for the labels scales them all alike.
    const LONG right = i + 1 == count ? client.right
                       : spare > 0   ? used + spare * static_cast<LONG>(i + 1) / static_cast<LONG>(count)
                                     : used * client.right / total;
    keys.push_back(RECT{left, 0, right, client.bottom});
    left = right;
  }
  return keys;
}

int KeyAt(const std::vector<RECT>& keys, POINT point) {
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (PtInRect(&keys[i], point)) return static_cast<int>(i);
  }
  return static_cast<int>(keys.size()) - 1;
}

void Paint(MenuBarState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  HBRUSH background = CreateSolidBrush(state.background);
  FillRect(hdc, &client, background);
  DeleteObject(background);
  const std::vector<RECT> keys = KeyRects(state, hwnd);
  for (std::size_t i = 1; i < keys.size(); ++i) {
    const LONG x = keys[i].left;
    RECT divider{x, client.bottom / 4, x + 1, client.bottom * 3 / 4};
    FillRect(hdc, &divider, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  HGDIOBJ previous = SelectObject(hdc, platform::controls::SystemUiFont());
  SetBkMode(hdc, TRANSPARENT);
  MenuRecord* record = FindMenu(state.menu);
  for (int i = 0; record && i < static_cast<int>(record->items.size()); ++i) {
    const MenuItem& item = record->items[static_cast<std::size_t>(i)];
    const bool grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    SetTextColor(hdc, grayed ? RGB(140, 160, 180) : RGB(255, 255, 255));
    RECT key = keys[static_cast<std::size_t>(i)];
    DrawTextW(hdc, item.text.c_str(), static_cast<int>(item.text.size()), &key,
              DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
  }
  SelectObject(hdc, previous);
  EndPaint(hwnd, &paint);
}

void PressKey(MenuBarState& state, HWND hwnd, int index) {
  MenuRecord* record = FindMenu(state.menu);
  if (!record || index >= static_cast<int>(record->items.size())) return;
  const MenuItem item = record->items[static_cast<std::size_t>(index)];
  if (item.flags & (MF_GRAYED | MF_DISABLED)) return;
  if (!item.submenu) {
    if (state.owner) PostMessageW(state.owner, WM_COMMAND, item.id, 0);
    return;
  }
  // The menu opens above its key: from the left edge for the first, the right edge for the last,
  // centred over a key in between.
  const std::vector<RECT> keys = KeyRects(state, hwnd);
  const int count = static_cast<int>(keys.size());
  RECT key = keys[static_cast<std::size_t>(index)];
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&key), 2);
  UINT align = TPM_CENTERALIGN;
  LONG x = (key.left + key.right) / 2;
  if (index == 0) {
    align = TPM_LEFTALIGN;
    x = key.left;
  } else if (index == count - 1) {
    align = TPM_RIGHTALIGN;
    x = key.right;
  }
  TrackPopupMenuEx(item.submenu, align | TPM_BOTTOMALIGN, x, key.top, state.owner, nullptr);
}

LRESULT GetSubMenuOf(MenuBarState& state, LPARAM key) {
  MenuRecord* record = FindMenu(state.menu);
  if (!record) return 0;
  for (std::size_t i = 0; i < record->items.size(); ++i) {
    const MenuItem& item = record->items[i];
    if (item.submenu && (item.id == static_cast<UINT>(key) || i == static_cast<std::size_t>(key))) {
      return reinterpret_cast<LRESULT>(item.submenu);
    }
  }
  return 0;
}

LRESULT Handle(MenuBarState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONUP:
      PressKey(state, hwnd, KeyAt(KeyRects(state, hwnd), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
      return 0;
    case SHCMBM_GETMENU: return reinterpret_cast<LRESULT>(state.menu);
    case SHCMBM_GETSUBMENU: return GetSubMenuOf(state, lParam);
    case SHCMBM_OVERRIDEKEY:
      state.keyFlags[static_cast<UINT>(wParam)] = HIWORD(static_cast<std::uintptr_t>(lParam));
      return TRUE;
    case WM_KEYDOWN:
    case WM_KEYUP: {
      auto it = state.keyFlags.find(static_cast<UINT>(wParam));
      if (it != state.keyFlags.end() && (it->second & SHMBOF_NOTIFY) && state.owner) {
        return SendMessageW(state.owner, message, wParam, lParam);
      }
      return 0;
    }
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT MenuBarProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlProcedure<MenuBarState>(hwnd, message, wParam, lParam, Handle);
}

}  // namespace

void RegisterMenuBarClass() { RegisterControlClass(kMenuBarClass, MenuBarProcedure, 0); }

}  // namespace platform::controls

using namespace platform::controls;

namespace {

// The bar along the bottom of the screen for `owner`, keeping `menu` (which may be null).
HWND MakeMenuBar(HWND owner, HMENU menu, HINSTANCE instance, DWORD flags, COLORREF background) {
  const int height = GetSystemMetrics(SM_CYMENU);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const DWORD visible = (flags & SHCMBF_HIDDEN) ? 0 : WS_VISIBLE;
  HWND bar = CreateWindowExW(WS_EX_TOPMOST, kMenuBarClass, u"", WS_POPUP | visible, 0,
                             GetSystemMetrics(SM_CYSCREEN) - height, width, height, owner, nullptr, instance, nullptr);
  if (!bar) {
    if (menu) DestroyMenu(menu);
    return nullptr;
  }
  auto* state = StateOf<MenuBarState>(bar);
  state->menu = menu;
  state->owner = owner;
  if (flags & SHCMBF_COLORBK) state->background = background;
  return bar;
}

}  // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
  if (!info || (info->hwndParent && !IsWindow(info->hwndParent))) return FALSE;
  EnsureControlClasses();
  HMENU menu = nullptr;
  if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
    menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId));
    if (!menu) return FALSE;
  }
  info->hwndMB = MakeMenuBar(info->hwndParent, menu, info->hInstRes, info->dwFlags, info->clrBk);
  return info->hwndMB != nullptr ? TRUE : FALSE;
}

HWND platform::controls::CreateMenuBarForMenu(HWND owner, HMENU menu) {
  if (!owner || !IsWindow(owner) || !IsMenu(menu)) return nullptr;
  EnsureControlClasses();
  return MakeMenuBar(owner, menu, nullptr, 0, 0);
}
