// Invalidation and painting. The screen is composed painter-style into the framebuffer: whatever
// part of it went stale is painted again by every shown window that meets it, top-level windows
// from the bottom up and each window before its children, through WM_ERASEBKGND and WM_PAINT.
#include "platform/gdi/device_context.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/last_error.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

// WM_ERASEBKGND and WM_PAINT go straight to the procedure of a window just looked up, as the
// message loop's SendMessageW would deliver them, so painting stands below the message loop.
using namespace platform::window;
using platform::gdi::DeviceContext;
namespace gdi = platform::gdi;

namespace {

HDC ContextOnScreen(POINT origin, RECT clip) {
  return platform::gdi::AddDeviceContext(std::make_unique<DeviceContext>(Framebuffer(), origin, clip));
}

void DrawBorder(const Window& window, const RECT& area) {
  if (!BorderWidth(window)) {
    return;
  }
  RECT r = ScreenRect(window);
  COLORREF color = GetSysColor(COLOR_WINDOWFRAME);
  auto& surface = *Framebuffer();
  for (RECT edge : {RECT{r.left, r.top, r.right, r.top + 1}, RECT{r.left, r.bottom - 1, r.right, r.bottom},
                    RECT{r.left, r.top, r.left + 1, r.bottom}, RECT{r.right - 1, r.top, r.right, r.bottom}}) {
    RECT visible = platform::gdi::Intersect(edge, area);
    if (!platform::gdi::IsEmpty(visible)) {
      surface.Fill(visible, color);
    }
  }
}

void PaintTree(HWND hwnd, const RECT& dirty) {
  Window* window = FindWindowRecord(hwnd);
  if (!window || !(window->style & WS_VISIBLE)) {
    return;
  }
  RECT area = platform::gdi::Intersect(VisibleArea(*window, false), dirty);
  if (platform::gdi::IsEmpty(area)) {
    return;
  }
  DrawBorder(*window, area);
  RECT clientArea = platform::gdi::Intersect(ClientScreenRect(*window), area);
  if (!platform::gdi::IsEmpty(clientArea)) {
    window->inPaint = true;
    window->erasePending = true;
    window->paintArea = clientArea;
    CallProcedure(hwnd, WM_PAINT, 0, 0);
    if (!(window = FindWindowRecord(hwnd))) {
      return;
    }
    window->inPaint = false;
    window->erasePending = false;
  }
  std::vector<HWND> children = window->children;
  for (HWND child : children) {
    PaintTree(child, dirty);
  }
}

}  // namespace

namespace platform::window {

bool PaintDirtyAreas() {
  RECT dirty = TakeDirty();
  if (gdi::IsEmpty(dirty)) {
    return false;
  }
  // Whatever no window covers shows the desktop.
  Framebuffer()->Fill(dirty, GetSysColor(COLOR_BACKGROUND));
  std::vector<HWND> order = System().topLevel;
  for (HWND hwnd : order) {
    PaintTree(hwnd, dirty);
  }
  NoteFrameChanged();
  return true;
}

}  // namespace platform::window

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL) {
  if (!hwnd) {
    AddDirty(Framebuffer()->Bounds());
    return TRUE;
  }
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return FALSE;
  }
  if (!IsShown(*window)) {
    return TRUE;
  }
  RECT area = VisibleArea(*window, true);
  if (rect) {
    POINT origin = ClientOrigin(*window);
    area = gdi::Intersect(area, RECT{rect->left + origin.x, rect->top + origin.y, rect->right + origin.x,
                                     rect->bottom + origin.y});
  }
  AddDirty(area);
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  if (!CheckedWindow(hwnd)) {
    return FALSE;
  }
  PaintDirtyAreas();
  return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
  Window* window = CheckedWindow(hwnd);
  if (!window || !paint) {
    return nullptr;
  }
  // Outside the composition pass there is nothing to repaint: the context then draws nothing.
  RECT area = window->inPaint ? window->paintArea : RECT{0, 0, 0, 0};
  POINT origin = ClientOrigin(*window);
  HDC hdc = ContextOnScreen(origin, area);
  *paint = PAINTSTRUCT{};
  paint->hdc = hdc;
  paint->rcPaint = gdi::IsEmpty(area) ? RECT{0, 0, 0, 0}
                                      : RECT{area.left - origin.x, area.top - origin.y, area.right - origin.x,
                                             area.bottom - origin.y};
  paint->fErase = FALSE;
  if (window->erasePending) {
    window->erasePending = false;
    paint->fErase = CallProcedure(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
  }
  return hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint) {
  if (!paint) {
    return FALSE;
  }
  return gdi::RemoveDeviceContext(paint->hdc) ? TRUE : FALSE;
}

HDC GetDC(HWND hwnd) {
  if (!hwnd) {
    return ContextOnScreen({0, 0}, Framebuffer()->Bounds());
  }
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return nullptr;
  }
  RECT clip = IsShown(*window) ? VisibleArea(*window, true) : RECT{0, 0, 0, 0};
  return ContextOnScreen(ClientOrigin(*window), clip);
}

HDC GetWindowDC(HWND hwnd) {
  if (!hwnd) {
    return GetDC(nullptr);
  }
  Window* window = CheckedWindow(hwnd);
  if (!window) {
    return nullptr;
  }
  RECT screenRect = ScreenRect(*window);
  RECT clip = IsShown(*window) ? VisibleArea(*window, false) : RECT{0, 0, 0, 0};
  return ContextOnScreen({screenRect.left, screenRect.top}, clip);
}

int ReleaseDC(HWND, HDC hdc) {
  DeviceContext* dc = gdi::FindDeviceContext(hdc);
  if (!dc || dc->IsMemory()) {
    return 0;
  }
  gdi::RemoveDeviceContext(hdc);
  // Drawing outside WM_PAINT reached the screen: a front-end shows the new frame.
  NoteFrameChanged();
  return 1;
}
