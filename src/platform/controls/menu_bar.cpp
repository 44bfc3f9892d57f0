// The soft-key menu bar window.
#include <map>

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

RECT KeyRect(HWND hwnd, int index) {
  RECT client{};
  GetClientRect(hwnd, &client);
  const int half = client.right / 2;
  return index == 0 ? RECT{0, 0, half, client.bottom} : RECT{half, 0, client.right, client.bottom};
}

void Paint(MenuBarState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  HBRUSH background = CreateSolidBrush(state.background);
  FillRect(hdc, &client, background);
  DeleteObject(background);
  RECT divider{client.right / 2, client.bottom / 4, client.right / 2 + 1, client.bottom * 3 / 4};
  FillRect(hdc, &divider, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ previous = SelectObject(hdc, platform::controls::SystemUiFont());
  SetBkMode(hdc, TRANSPARENT);
  MenuRecord* record = FindMenu(state.menu);
  for (int i = 0; record && i < 2 && i < static_cast<int>(record->items.size()); ++i) {
    const MenuItem& item = record->items[static_cast<std::size_t>(i)];
    const bool grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    SetTextColor(hdc, grayed ? RGB(140, 160, 180) : RGB(255, 255, 255));
    RECT key = KeyRect(hwnd, i);
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
  RECT bar{};
  GetWindowRect(hwnd, &bar);
  const UINT align = index == 0 ? TPM_LEFTALIGN : TPM_RIGHTALIGN;
  TrackPopupMenuEx(item.submenu, align | TPM_BOTTOMALIGN, index == 0 ? bar.left : bar.right, bar.top, state.owner,
                   nullptr);
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
    case WM_LBUTTONUP: {
      RECT left = KeyRect(hwnd, 0);
      PressKey(state, hwnd, PtInRect(&left, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) ? 0 : 1);
      return 0;
    }
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

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
  if (!info || (info->hwndParent && !IsWindow(info->hwndParent))) return FALSE;
  EnsureControlClasses();
  HMENU menu = nullptr;
  if (!(info->dwFlags & SHCMBF_EMPTYBAR)) {
    menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId));
    if (!menu) return FALSE;
  }
  const int height = GetSystemMetrics(SM_CYMENU);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const DWORD visible = (info->dwFlags & SHCMBF_HIDDEN) ? 0 : WS_VISIBLE;
  HWND bar = CreateWindowExW(WS_EX_TOPMOST, kMenuBarClass, u"", WS_POPUP | visible, 0,
                             GetSystemMetrics(SM_CYSCREEN) - height, width, height, info->hwndParent, nullptr,
                             info->hInstRes, nullptr);
  if (!bar) {
    if (menu) DestroyMenu(menu);
    return FALSE;
  }
  auto* state = StateOf<MenuBarState>(bar);
  state->menu = menu;
  state->owner = info->hwndParent;
  if (info->dwFlags & SHCMBF_COLORBK) state->background = info->clrBk;
  info->hwndMB = bar;
  return TRUE;
}
