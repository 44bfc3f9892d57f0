// Questions about windows and their words: the tree, the z-order, search, text and window words.
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/kernel/last_error.h"
#include "platform/text/text_conversion.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

using namespace platform::window;

namespace {

bool ExtraInRange(const Window& window, int index) {
  return index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= window.extra.size();
}

// Siblings from the top of the z-order down (the order of GW_HWNDFIRST and GW_HWNDNEXT).
HWND Neighbour(const std::vector<HWND>& bottomUp, HWND hwnd, int step) {
  auto it = std::find(bottomUp.begin(), bottomUp.end(), hwnd);
  if (it == bottomUp.end()) {
    return nullptr;
  }
  std::ptrdiff_t index = (it - bottomUp.begin()) - step;
  return index >= 0 && index < static_cast<std::ptrdiff_t>(bottomUp.size()) ? bottomUp[index] : nullptr;
}

}  // namespace

BOOL IsWindow(HWND hwnd) { return hwnd && FindWindowRecord(hwnd) ? TRUE : FALSE; }

BOOL IsWindowVisible(HWND hwnd) {
  Window* window = FindWindowRecord(hwnd);
  return window && IsShown(*window) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Window* window = FindWindowRecord(hwnd);
  return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return FALSE;
  }
  BOOL wasDisabled = (window->style & WS_DISABLED) ? TRUE : FALSE;
  if (wasDisabled == !enable) {
    return wasDisabled;
  }
  window->style = enable ? (window->style & ~WS_DISABLED) : (window->style | WS_DISABLED);
  HWND focus = System().focus;
  if (!enable && focus && (focus == hwnd || IsAncestor(hwnd, focus))) {
    SetFocus(nullptr);
  }
  if (!enable && System().capture == hwnd) {
    ReleaseCapture();
  }
  SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsChild(HWND parent, HWND hwnd) { return IsAncestor(parent, hwnd) ? TRUE : FALSE; }

HWND GetParent(HWND hwnd) {
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return nullptr;
  }
  if (window->style & WS_CHILD) {
    return window->parent;
  }
  // A pop-up reports its owner as its parent, as on the device.
  return (window->style & WS_POPUP) ? window->owner : nullptr;
}

HWND SetParent(HWND hwnd, HWND newParent) {
  Window* window = CheckedWindow(hwnd);
  if (!window || (newParent && (!IsWindow(newParent) || newParent == hwnd || IsAncestor(hwnd, newParent)))) {
    return nullptr;
  }
  HWND previous = window->parent;
  if (IsShown(*window)) {
    AddDirty(VisibleArea(*window, false));
  }
  std::erase(SiblingsOf(*window), hwnd);
  window->parent = newParent;
  window->style = newParent ? (window->style | WS_CHILD) : (window->style & ~WS_CHILD);
  SiblingsOf(*window).push_back(hwnd);
  PlaceInZOrder(*window, HWND_TOP);
  if (IsShown(*window)) {
    AddDirty(VisibleArea(*window, false));
  }
  return previous;
}

HWND GetWindow(HWND hwnd, UINT command) {
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return nullptr;
  }
  const std::vector<HWND>& siblings = SiblingsOf(*window);
  switch (command) {
    case GW_HWNDFIRST: return siblings.empty() ? nullptr : siblings.back();
    case GW_HWNDLAST: return siblings.empty() ? nullptr : siblings.front();
    case GW_HWNDNEXT: return Neighbour(siblings, hwnd, 1);
    case GW_HWNDPREV: return Neighbour(siblings, hwnd, -1);
    case GW_OWNER: return window->owner;
    case GW_CHILD: return window->children.empty() ? nullptr : window->children.back();
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HWND GetDlgItem(HWND parent, int id) {
  Window* window = CheckedWindow(parent);
  if (!window) {
    return nullptr;
  }
  for (auto it = window->children.rbegin(); it != window->children.rend(); ++it) {
    Window* child = FindWindowRecord(*it);
    if (child && child->id == id) {
      return *it;
    }
  }
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  Window* window = CheckedWindow(hwnd);
  return window ? static_cast<int>(window->id) : 0;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  std::shared_ptr<WindowClass> wanted;
  if (className) {
    wanted = FindClass(className);
    if (!wanted) {
      return nullptr;
    }
  }
  const std::vector<HWND>& order = System().topLevel;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    Window* window = FindWindowRecord(*it);
    if (!window || (wanted && window->windowClass != wanted)) {
      continue;
    }
    if (windowName && !platform::EqualsNoCase(window->text, windowName)) {
      continue;
    }
    return *it;
  }
  return nullptr;
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM lParam) {
  if (!callback) {
    return FALSE;
  }
  std::vector<HWND> order(System().topLevel.rbegin(), System().topLevel.rend());
  for (HWND hwnd : order) {
    if (IsWindow(hwnd) && !callback(hwnd, lParam)) {
      return FALSE;
    }
  }
  return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM lParam) {
  Window* window = CheckedWindow(parent);
  if (!window || !callback) {
    return FALSE;
  }
  std::vector<HWND> order(window->children.rbegin(), window->children.rend());
  for (HWND child : order) {
    if (!IsWindow(child)) {
      continue;
    }
    if (!callback(child, lParam) || !EnumChildWindows(child, callback, lParam)) {
      return FALSE;
    }
  }
  return TRUE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return 0;
  }
  if (processId) {
    *processId = static_cast<DWORD>(::getpid());
  }
  return window->threadId;
}

LONG_PTR GetWindowLongW(HWND hwnd, int index) {
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return 0;
  }
  switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(window->parent ? window->parent : window->owner);
    case GWL_ID: return window->id;
    case GWL_STYLE: return static_cast<LONG_PTR>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(window->exStyle);
    case GWL_USERDATA: return window->userData;
    default: break;
  }
  if (!ExtraInRange(*window, index)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  LONG_PTR value = 0;
  std::memcpy(&value, window->extra.data() + index, sizeof(value));
  return value;
}

LONG_PTR SetWindowLongW(HWND hwnd, int index, LONG_PTR value) {
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return 0;
  }
  LONG_PTR previous = GetWindowLongW(hwnd, index);
  switch (index) {
    case GWL_WNDPROC:
      if (!value) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      window->procedure = reinterpret_cast<WNDPROC>(value);
      return previous;
    case GWL_HINSTANCE: window->instance = reinterpret_cast<HINSTANCE>(value); return previous;
    case GWL_ID: window->id = value; return previous;
    case GWL_USERDATA: window->userData = value; return previous;
    case GWL_EXSTYLE: window->exStyle = static_cast<DWORD>(value); return previous;
    case GWL_STYLE: {
      bool wasShown = IsShown(*window);
      window->style = static_cast<DWORD>(value);
      if (wasShown || IsShown(*window)) {
        AddDirty(VisibleArea(*window, false));
      }
      return previous;
    }
    case GWL_HWNDPARENT:
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    default: break;
  }
  if (!ExtraInRange(*window, index)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  std::memcpy(window->extra.data() + index, &value, sizeof(value));
  return previous;
}

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) { return GetWindowLongW(hwnd, index); }

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) { return SetWindowLongW(hwnd, index, value); }

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
  if (!CheckedWindow(hwnd)) {
    return FALSE;
  }
  return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR text, int size) {
  if (!CheckedWindow(hwnd) || !text || size <= 0) {
    return 0;
  }
  text[0] = 0;
  return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND hwnd) {
  if (!CheckedWindow(hwnd)) {
    return 0;
  }
  return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}
