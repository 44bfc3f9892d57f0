#include "platform/window/window_system.h"

#include <algorithm>

#include "platform/gdi/device_context.h"
#include "platform/kernel/last_error.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen.h"

namespace platform::window {

WindowSystem& System() {
  static WindowSystem system;
  return system;
}

Window* FindWindowRecord(HWND hwnd) {
  auto& windows = System().windows;
  auto it = windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
  return it == windows.end() ? nullptr : it->second.get();
}

Window* CheckedWindow(HWND hwnd) {
  Window* window = FindWindowRecord(hwnd);
  if (!window) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  }
  return window;
}

std::vector<HWND>& SiblingsOf(const Window& window) {
  if (Window* parent = FindWindowRecord(window.parent)) {
    return parent->children;
  }
  return System().topLevel;
}

void PlaceInZOrder(Window& window, HWND insertAfter) {
  std::vector<HWND>& siblings = SiblingsOf(window);
  std::erase(siblings, window.handle);
  auto isTopmost = [](HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    return w && (w->exStyle & WS_EX_TOPMOST);
  };
  if (insertAfter == HWND_BOTTOM) {
    auto firstSameBand = std::find_if(siblings.begin(), siblings.end(), [&](HWND h) {
      return isTopmost(h) == ((window.exStyle & WS_EX_TOPMOST) != 0);
    });
    siblings.insert(window.exStyle & WS_EX_TOPMOST ? firstSameBand : siblings.begin(), window.handle);
    return;
  }
  auto after = std::find(siblings.begin(), siblings.end(), insertAfter);
  if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST &&
      after != siblings.end()) {
    // The window goes directly below `insertAfter`.
    siblings.insert(after, window.handle);
    return;
  }
  // The top of the window's band: topmost windows above all others.
  auto end = siblings.end();
  if (!(window.exStyle & WS_EX_TOPMOST)) {
    end = std::find_if(siblings.begin(), siblings.end(), isTopmost);
  }
  siblings.insert(end, window.handle);
}

HWND RootOf(HWND hwnd) {
  Window* window = FindWindowRecord(hwnd);
  while (window && window->parent) {
    hwnd = window->parent;
    window = FindWindowRecord(hwnd);
  }
  return window ? hwnd : nullptr;
}

bool IsAncestor(HWND ancestor, HWND hwnd) {
  Window* window = FindWindowRecord(hwnd);
  while (window && window->parent) {
    if (window->parent == ancestor) {
      return true;
    }
    window = FindWindowRecord(window->parent);
  }
  return false;
}

int BorderWidth(const Window& window) { return (window.style & WS_BORDER) ? 1 : 0; }

POINT ClientOrigin(const Window& window) {
  POINT origin{window.rect.left + BorderWidth(window), window.rect.top + BorderWidth(window)};
  if (Window* parent = FindWindowRecord(window.parent)) {
    POINT parentOrigin = ClientOrigin(*parent);
    origin.x += parentOrigin.x;
    origin.y += parentOrigin.y;
  }
  return origin;
}

RECT ScreenRect(const Window& window) {
  POINT offset{0, 0};
  if (Window* parent = FindWindowRecord(window.parent)) {
    offset = ClientOrigin(*parent);
  }
  return {window.rect.left + offset.x, window.rect.top + offset.y, window.rect.right + offset.x,
          window.rect.bottom + offset.y};
}

RECT ClientScreenRect(const Window& window) {
  RECT r = ScreenRect(window);
  int border = BorderWidth(window);
  return {r.left + border, r.top + border, std::max(r.left + border, r.right - border),
          std::max(r.top + border, r.bottom - border)};
}

RECT VisibleArea(const Window& window, bool clientOnly) {
  ScreenGeometry screen = CurrentScreen();
  RECT area = gdi::Intersect(clientOnly ? ClientScreenRect(window) : ScreenRect(window),
                             RECT{0, 0, screen.width, screen.height});
  for (Window* parent = FindWindowRecord(window.parent); parent; parent = FindWindowRecord(parent->parent)) {
    area = gdi::Intersect(area, ClientScreenRect(*parent));
  }
  return area;
}

bool IsShown(const Window& window) {
  for (const Window* w = &window; w; w = FindWindowRecord(w->parent)) {
    if (!(w->style & WS_VISIBLE)) {
      return false;
    }
  }
  return true;
}

LRESULT CallProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = FindWindowRecord(hwnd);
  if (!window || !window->procedure) {
    return 0;
  }
  return window->procedure(hwnd, message, wParam, lParam);
}

void AddClassProvider(std::function<bool(std::u16string_view)> provider) {
  System().classProviders.push_back(std::move(provider));
}

void ResetWindowSystem() {
  WindowSystem& system = System();
  while (!system.topLevel.empty()) {
    HWND top = system.topLevel.back();
    if (!DestroyWindow(top)) {
      std::erase(system.topLevel, top);
    }
  }
  system.windows.clear();
  system.classes.clear();
  system.focus = system.active = system.capture = nullptr;
  system.cursor = nullptr;
  system.classProviders.clear();
  system.creationObserver = nullptr;
  system.titleObserver = nullptr;
  ClearQueues();
  SetWaitHandler(nullptr);
  ResetScreen();
}

}  // namespace platform::window
