// Showing, moving, sizing and stacking windows, deferred positioning, and coordinate mapping.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/kernel/last_error.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

using namespace platform::window;

namespace {

struct DeferredMove {
  HWND hwnd;
  HWND insertAfter;
  int x, y, width, height;
  UINT flags;
};

struct DeferTable {
  std::unordered_map<std::uintptr_t, std::vector<DeferredMove>> sets;
  std::uintptr_t next = 0x40003;
};

DeferTable& Deferred() {
  static DeferTable table;
  return table;
}

void MarkShownArea(const Window& window) {
  if (IsShown(window)) {
    AddDirty(VisibleArea(window, false));
  }
}

bool IsTopLevel(const Window& window) { return !(window.style & WS_CHILD); }

// The deepest shown, enabled window under a screen point, among `bottomUp` and their children.
HWND HitTest(const std::vector<HWND>& bottomUp, POINT screen) {
  for (auto it = bottomUp.rbegin(); it != bottomUp.rend(); ++it) {
    Window* window = FindWindowRecord(*it);
    if (!window || !(window->style & WS_VISIBLE) || (window->style & WS_DISABLED)) {
      continue;
    }
    RECT area = ScreenRect(*window);
    if (screen.x < area.left || screen.x >= area.right || screen.y < area.top || screen.y >= area.bottom) {
      continue;
    }
    RECT client = ClientScreenRect(*window);
    bool inClient = screen.x >= client.left && screen.x < client.right && screen.y >= client.top &&
                    screen.y < client.bottom;
    HWND child = inClient ? HitTest(window->children, screen) : nullptr;
    return child ? child : *it;
  }
  return nullptr;
}

}  // namespace

BOOL ShowWindow(HWND hwnd, int command) {
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return FALSE;
  }
  const BOOL wasVisible = (window->style & WS_VISIBLE) ? TRUE : FALSE;
  const bool show = command != SW_HIDE && command != SW_MINIMIZE;
  if (show != static_cast<bool>(wasVisible)) {
    SendMessageW(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!(window = FindWindowRecord(hwnd))) {
      return wasVisible;
    }
    MarkShownArea(*window);
    window->style = show ? (window->style | WS_VISIBLE) : (window->style & ~WS_VISIBLE);
    MarkShownArea(*window);
  }
  const bool activates = command == SW_SHOW || command == SW_SHOWNORMAL || command == SW_RESTORE;
  if (show && activates && IsTopLevel(*window) && !(window->exStyle & WS_EX_NOACTIVATE)) {
    SetActiveWindow(hwnd);
  } else if (!show && System().active == hwnd) {
    ActivateSuccessor(window->owner);
  }
  return wasVisible;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return FALSE;
  }
  const bool redraw = !(flags & SWP_NOREDRAW);
  if (redraw) {
    MarkShownArea(*window);
  }
  const RECT old = window->rect;
  if (!(flags & SWP_NOMOVE)) {
    window->rect = {x, y, x + (old.right - old.left), y + (old.bottom - old.top)};
  }
  if (!(flags & SWP_NOSIZE)) {
    window->rect.right = window->rect.left + std::max(width, 0);
    window->rect.bottom = window->rect.top + std::max(height, 0);
  }
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_TOPMOST) {
      window->exStyle |= WS_EX_TOPMOST;
    } else if (insertAfter == HWND_NOTOPMOST) {
      window->exStyle &= ~WS_EX_TOPMOST;
    }
    PlaceInZOrder(*window, insertAfter);
  }
  if (redraw) {
    MarkShownArea(*window);
  }
  const RECT now = window->rect;
  if (now.left != old.left || now.top != old.top) {
    SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(now.left + BorderWidth(*window), now.top + BorderWidth(*window)));
  }
  if ((window = FindWindowRecord(hwnd)) &&
      (now.right - now.left != old.right - old.left || now.bottom - now.top != old.bottom - old.top)) {
    RECT client = ClientScreenRect(*window);
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
  }
  if (!IsWindow(hwnd)) {
    return TRUE;
  }
  if (flags & SWP_SHOWWINDOW) {
    ShowWindow(hwnd, SW_SHOWNA);
  } else if (flags & SWP_HIDEWINDOW) {
    ShowWindow(hwnd, SW_HIDE);
  }
  window = FindWindowRecord(hwnd);
  if (window && !(flags & SWP_NOACTIVATE) && IsTopLevel(*window) && IsShown(*window) &&
      !(window->exStyle & WS_EX_NOACTIVATE)) {
    SetActiveWindow(hwnd);
  }
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

HDWP BeginDeferWindowPos(int count) {
  if (count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  DeferTable& table = Deferred();
  std::uintptr_t id = table.next;
  table.next += 4;
  table.sets[id].reserve(static_cast<std::size_t>(std::min(count, 256)));
  return reinterpret_cast<HDWP>(id);
}

HDWP DeferWindowPos(HDWP hdwp, HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  DeferTable& table = Deferred();
  auto it = table.sets.find(reinterpret_cast<std::uintptr_t>(hdwp));
  if (it == table.sets.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!IsWindow(hwnd)) {
    // As on the device, a bad window abandons the whole set.
    table.sets.erase(it);
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  it->second.push_back({hwnd, insertAfter, x, y, width, height, flags});
  return hdwp;
}

BOOL EndDeferWindowPos(HDWP hdwp) {
  DeferTable& table = Deferred();
  auto it = table.sets.find(reinterpret_cast<std::uintptr_t>(hdwp));
  if (it == table.sets.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::vector<DeferredMove> moves = std::move(it->second);
  table.sets.erase(it);
  for (const DeferredMove& move : moves) {
    if (IsWindow(move.hwnd)) {
      SetWindowPos(move.hwnd, move.insertAfter, move.x, move.y, move.width, move.height, move.flags);
    }
  }
  return TRUE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  Window* window = CheckedWindow(hwnd);
  if (!window || !rect) {
    return FALSE;
  }
  *rect = ScreenRect(*window);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
  Window* window = CheckedWindow(hwnd);
  if (!window || !rect) {
    return FALSE;
  }
  RECT client = ClientScreenRect(*window);
  *rect = {0, 0, client.right - client.left, client.bottom - client.top};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
  Window* window = CheckedWindow(hwnd);
  if (!window || !point) {
    return FALSE;
  }
  POINT origin = ClientOrigin(*window);
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
  Window* window = CheckedWindow(hwnd);
  if (!window || !point) {
    return FALSE;
  }
  POINT origin = ClientOrigin(*window);
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  POINT fromOrigin{0, 0}, toOrigin{0, 0};
  if (from) {
    Window* window = CheckedWindow(from);
    if (!window) {
      return 0;
    }
    fromOrigin = ClientOrigin(*window);
  }
  if (to) {
    Window* window = CheckedWindow(to);
    if (!window) {
      return 0;
    }
    toOrigin = ClientOrigin(*window);
  }
  int dx = fromOrigin.x - toOrigin.x, dy = fromOrigin.y - toOrigin.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return static_cast<int>(MAKELPARAM(dx, dy));
}

HWND WindowFromPoint(POINT point) { return HitTest(System().topLevel, point); }

HWND ChildWindowFromPoint(HWND parent, POINT point) {
  Window* window = CheckedWindow(parent);
  if (!window) {
    return nullptr;
  }
  RECT client = ClientScreenRect(*window);
  POINT screen{point.x + client.left, point.y + client.top};
  if (screen.x < client.left || screen.x >= client.right || screen.y < client.top || screen.y >= client.bottom) {
    return nullptr;
  }
  for (auto it = window->children.rbegin(); it != window->children.rend(); ++it) {
    Window* child = FindWindowRecord(*it);
    if (!child) {
      continue;
    }
    RECT area = ScreenRect(*child);
    if (screen.x >= area.left && screen.x < area.right && screen.y >= area.top && screen.y < area.bottom) {
      return *it;
    }
  }
  return parent;
}
