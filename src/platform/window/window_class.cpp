// Window classes: registration by name or atom, looked up without regard to case.
#include <algorithm>

#include "platform/kernel/last_error.h"
#include "platform/text/text_conversion.h"
#include "platform/window/window_system.h"

namespace platform::window {

bool IsAtom(LPCWSTR nameOrAtom) { return reinterpret_cast<std::uintptr_t>(nameOrAtom) < 0x10000; }

std::shared_ptr<WindowClass> FindClass(LPCWSTR nameOrAtom) {
  if (!nameOrAtom) {
    return nullptr;
  }
  for (const auto& windowClass : System().classes) {
    if (IsAtom(nameOrAtom) ? windowClass->atom == reinterpret_cast<std::uintptr_t>(nameOrAtom)
                           : platform::EqualsNoCase(windowClass->name, nameOrAtom)) {
      return windowClass;
    }
  }
  return nullptr;
}

}  // namespace platform::window

using namespace platform::window;

ATOM RegisterClassW(const WNDCLASSW* info) {
  if (!info || !info->lpfnWndProc || !info->lpszClassName || IsAtom(info->lpszClassName) ||
      info->lpszClassName[0] == 0 || info->cbWndExtra < 0 || info->cbClsExtra < 0 || info->cbWndExtra > 1024) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (FindClass(info->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  WindowSystem& system = System();
  if (system.nextAtom == 0xFFFF) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  auto windowClass = std::make_shared<WindowClass>();
  windowClass->name = info->lpszClassName;
  windowClass->atom = system.nextAtom++;
  windowClass->style = info->style;
  windowClass->procedure = info->lpfnWndProc;
  windowClass->classExtra = info->cbClsExtra;
  windowClass->windowExtra = info->cbWndExtra;
  windowClass->instance = info->hInstance;
  windowClass->icon = info->hIcon;
  windowClass->cursor = info->hCursor;
  windowClass->background = info->hbrBackground;
  windowClass->menuName = info->lpszMenuName;
  system.classes.push_back(windowClass);
  return windowClass->atom;
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
  std::shared_ptr<WindowClass> windowClass = FindClass(className);
  if (!windowClass) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (windowClass->windowCount > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  std::erase(System().classes, windowClass);
  return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, WNDCLASSW* out) {
  std::shared_ptr<WindowClass> windowClass = FindClass(className);
  if (!windowClass || !out) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  *out = WNDCLASSW{windowClass->style,      windowClass->procedure, windowClass->classExtra,
                   windowClass->windowExtra, windowClass->instance, windowClass->icon,
                   windowClass->cursor,      windowClass->background, windowClass->menuName,
                   windowClass->name.c_str()};
  return TRUE;
}

int GetClassNameW(HWND hwnd, LPWSTR name, int size) {
  Window* window = CheckedWindow(hwnd);
  if (!window || !name || size <= 0) {
    return 0;
  }
  const std::u16string& text = window->windowClass->name;
  int count = std::min(static_cast<int>(text.size()), size - 1);
  std::copy_n(text.begin(), count, name);
  name[count] = 0;
  return count;
}
