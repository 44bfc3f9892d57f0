// The window manager's state: the windows and classes, the z-order, focus, activation and capture.
// Window handles are numbers that are never reused: a handle outlives its window only as a value
// that every call recognises as dead, so a handler may destroy its own window safely.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/window/window_api.h"

namespace platform::window {

struct WindowClass {
  std::u16string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC procedure = nullptr;
  int classExtra = 0;
  int windowExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  LPCWSTR menuName = nullptr;
  int windowCount = 0;
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> windowClass;
  std::u16string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};  // in the parent's client coordinates, or on the screen for top-level windows
  HWND parent = nullptr;
  HWND owner = nullptr;
  std::vector<HWND> children;  // bottom of the z-order first
  WNDPROC procedure = nullptr;
  LONG_PTR userData = 0;
  LONG_PTR id = 0;
  HINSTANCE instance = nullptr;
  std::vector<BYTE> extra;
  DWORD threadId = 0;
  bool destroying = false;
  // Set while the composition pass asks this window to paint.
  bool inPaint = false;
  bool erasePending = false;
  RECT paintArea{};  // screen coordinates
};

struct WindowSystem {
  std::unordered_map<std::uintptr_t, std::unique_ptr<Window>> windows;
  std::vector<std::shared_ptr<WindowClass>> classes;
  std::vector<HWND> topLevel;  // bottom of the z-order first
  std::uintptr_t nextHandle = 0x30002;  // counts by 4, apart from the drawing handles
  ATOM nextAtom = 0xC000;
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  HCURSOR cursor = nullptr;
  // Asked, in order, to register a class that CreateWindowExW does not know yet.
  std::vector<std::function<bool(std::u16string_view)>> classProviders;
  // Told about every window that finished its creation.
  std::function<void(HWND)> creationObserver;
  // Told when the active window changes or a top-level window's text changes: the shell's title
  // bar follows both.
  std::function<void()> titleObserver;
};

WindowSystem& System();
Window* FindWindowRecord(HWND hwnd);
// The window or null, setting ERROR_INVALID_WINDOW_HANDLE for a dead handle.
Window* CheckedWindow(HWND hwnd);

// A registered class by name (without regard to case) or by atom (a pointer below 0x10000).
std::shared_ptr<WindowClass> FindClass(LPCWSTR nameOrAtom);
bool IsAtom(LPCWSTR nameOrAtom);

// The list a window sits in for its z-order: its parent's children, or the top-level windows.
std::vector<HWND>& SiblingsOf(const Window& window);
// Places a window in its sibling list: at the top (its band, for topmost windows) or bottom.
void PlaceInZOrder(Window& window, HWND insertAfter);
HWND RootOf(HWND hwnd);
bool IsAncestor(HWND ancestor, HWND hwnd);

// Geometry in screen coordinates.
int BorderWidth(const Window& window);
POINT ClientOrigin(const Window& window);
RECT ScreenRect(const Window& window);
RECT ClientScreenRect(const Window& window);
// The part of the screen a window may draw on: its rectangle within every ancestor's client area.
RECT VisibleArea(const Window& window, bool clientOnly);
// Visible itself and every ancestor.
bool IsShown(const Window& window);

// After the active window was hidden or destroyed: activates `preferred` when it is shown, else
// the highest shown top-level window, else nothing.
void ActivateSuccessor(HWND preferred);

// Composes the screen's dirty area again: every shown window that meets it, top-level windows
// from the bottom up and each window before its children. True when something was painted.
bool PaintDirtyAreas();

// The thread that runs the window system (the first to create a window).
bool IsUserInterfaceThread();

// Calls the window's procedure; the window may be gone afterwards.
LRESULT CallProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Destroys every window, class, timer and queued message, and reads the screen geometry again.
void ResetWindowSystem();

// Lets the toolkit register control classes on first use by name.
void AddClassProvider(std::function<bool(std::u16string_view)> provider);

}  // namespace platform::window
