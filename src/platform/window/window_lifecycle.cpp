// Creating and destroying windows, with the message sequence of the device: WM_NCCREATE, WM_CREATE,
// WM_SIZE and WM_MOVE on creation; WM_DESTROY from the parent down and WM_NCDESTROY from the
// children up on destruction. Every step checks that the window still lives, because any handler
// may destroy it.
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "platform/kernel/last_error.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

using namespace platform::window;

namespace {

constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;

DWORD CurrentThread() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

std::shared_ptr<WindowClass> ClassForCreation(LPCWSTR className) {
  std::shared_ptr<WindowClass> windowClass = FindClass(className);
  if (!windowClass && className && !IsAtom(className)) {
    for (const auto& provider : System().classProviders) {
      if (provider(className) && (windowClass = FindClass(className))) {
        break;
      }
    }
  }
  return windowClass;
}

RECT InitialRect(DWORD style, int x, int y, int width, int height) {
  ScreenGeometry screen = CurrentScreen();
  const bool child = (style & WS_CHILD) != 0;
  if (x == CW_USEDEFAULT) {
    x = 0;
    y = child ? 0 : (y == CW_USEDEFAULT ? 0 : y);
  }
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : screen.width - x;
    height = child ? 0 : screen.height - y;
  }
  return {x, y, x + std::max(width, 0), y + std::max(height, 0)};
}

HWND AddWindow(std::unique_ptr<Window> window) {
  WindowSystem& system = System();
  HWND hwnd = reinterpret_cast<HWND>(system.nextHandle);
  system.nextHandle += 4;
  window->handle = hwnd;
  Window& added = *window;
  system.windows.emplace(reinterpret_cast<std::uintptr_t>(hwnd), std::move(window));
  ++added.windowClass->windowCount;
  SiblingsOf(added).push_back(hwnd);
  PlaceInZOrder(added, HWND_TOP);
  return hwnd;
}

void SendSizeAndMove(HWND hwnd) {
  Window* window = FindWindowRecord(hwnd);
  if (!window) {
    return;
  }
  RECT client = ClientScreenRect(*window);
  SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - client.left, client.bottom - client.top));
  if ((window = FindWindowRecord(hwnd))) {
    SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(window->rect.left + BorderWidth(*window),
                                              window->rect.top + BorderWidth(*window)));
  }
}

// WM_DESTROY goes to a window before its children.
void SendDestroy(HWND hwnd) {
  Window* window = FindWindowRecord(hwnd);
  if (!window) {
    return;
  }
  window->destroying = true;
  SendMessageW(hwnd, WM_DESTROY, 0, 0);
  if ((window = FindWindowRecord(hwnd))) {
    std::vector<HWND> children = window->children;
    for (HWND child : children) {
      SendDestroy(child);
    }
  }
}

// WM_NCDESTROY goes to the children before their parent; then the record goes.
void FreeWindow(HWND hwnd) {
  Window* window = FindWindowRecord(hwnd);
  if (!window) {
    return;
  }
  std::vector<HWND> children = window->children;
  for (HWND child : children) {
    FreeWindow(child);
  }
  SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
  window = FindWindowRecord(hwnd);
  if (!window) {
    return;
  }
  WindowSystem& system = System();
  RemoveTimersOf(hwnd);
  DropPostedFor(hwnd);
  std::erase(SiblingsOf(*window), hwnd);
  --window->windowClass->windowCount;
  if (system.focus == hwnd) {
    system.focus = nullptr;
  }
  if (system.capture == hwnd) {
    system.capture = nullptr;
  }
  if (system.active == hwnd) {
    system.active = nullptr;
  }
  system.windows.erase(reinterpret_cast<std::uintptr_t>(hwnd));
}

}  // namespace

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
  std::shared_ptr<WindowClass> windowClass = ClassForCreation(className);
  if (!windowClass) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  if (parent && !IsWindow(parent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if ((style & WS_CHILD) && !parent) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }
  auto window = std::make_unique<Window>();
  window->windowClass = windowClass;
  window->style = style & ~WS_VISIBLE;
  window->exStyle = exStyle;
  window->rect = InitialRect(style, x, y, width, height);
  window->parent = (style & WS_CHILD) ? parent : nullptr;
  window->owner = (style & WS_CHILD) ? nullptr : RootOf(parent);
  window->procedure = windowClass->procedure;
  window->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menuOrId) : 0;
  window->instance = instance;
  window->extra.assign(static_cast<std::size_t>(windowClass->windowExtra), 0);
  window->threadId = CurrentThread();
  HWND hwnd = AddWindow(std::move(window));

  CREATESTRUCTW create{param, instance, menuOrId, parent, height, width, y, x, static_cast<LONG>(style),
                       windowName, className, exStyle};
  if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
    if (IsWindow(hwnd)) {
      FreeWindow(hwnd);
    }
    return nullptr;
  }
  if (!IsWindow(hwnd) || SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  SendSizeAndMove(hwnd);
  if ((style & WS_VISIBLE) && IsWindow(hwnd)) {
    ShowWindow(hwnd, SW_SHOW);
  }
  if (!IsWindow(hwnd)) {
    return nullptr;
  }
  if (System().creationObserver) {
    System().creationObserver(hwnd);
  }
  return hwnd;
}

HWND CreateWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
                   HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
  return CreateWindowExW(0, className, windowName, style, x, y, width, height, parent, menuOrId, instance, param);
}

BOOL DestroyWindow(HWND hwnd) {
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return FALSE;
  }
  if (window->destroying) {
    return TRUE;
  }
  window->destroying = true;
  const bool wasActive = System().active == hwnd;
  const HWND owner = window->owner;
  // Owned windows go first, as on the device.
  std::vector<HWND> owned;
  for (HWND top : System().topLevel) {
    Window* candidate = FindWindowRecord(top);
    if (candidate && candidate->owner == hwnd) {
      owned.push_back(top);
    }
  }
  for (HWND top : owned) {
    DestroyWindow(top);
  }
  if ((window = FindWindowRecord(hwnd)) && IsShown(*window)) {
    AddDirty(VisibleArea(*window, false));
  }
  WindowSystem& system = System();
  if (system.capture && (system.capture == hwnd || IsAncestor(hwnd, system.capture))) {
    ReleaseCapture();
  }
  if (system.focus && (system.focus == hwnd || IsAncestor(hwnd, system.focus))) {
    system.focus = nullptr;
  }
  SendDestroy(hwnd);
  FreeWindow(hwnd);
  if (wasActive && !System().active) {
    ActivateSuccessor(owner);
  }
  return TRUE;
}
