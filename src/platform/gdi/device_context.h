// Device contexts: where drawing goes (a window's part of the screen, or a memory bitmap), the
// selected objects, colours and modes, the clip and the origin, and the SaveDC state stack.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/surface.h"

namespace platform::gdi {

struct GdiObject;

// Everything SaveDC keeps and RestoreDC brings back.
struct DcState {
  HBRUSH brush = nullptr;
  HPEN pen = nullptr;
  HFONT font = nullptr;
  HBITMAP bitmap = nullptr;  // memory contexts only
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  UINT textAlign = TA_LEFT | TA_TOP;
  POINT viewportOrigin{0, 0};
  POINT position{0, 0};
  bool hasUserClip = false;
  RECT userClip{};  // device coordinates
};

class DeviceContext {
 public:
  // A context onto a surface that someone else owns the placement of (a window, or the screen):
  // `origin` is where logical (0, 0) lies on the surface and `clip` bounds every pixel drawn.
  DeviceContext(std::shared_ptr<Surface> surface, POINT origin, RECT clip);
  // A memory context, holding the default monochrome bitmap.
  DeviceContext();
  ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  bool IsMemory() const { return m_memory; }
  DcState& State() { return m_state; }
  const DcState& State() const { return m_state; }

  // The surface drawn on: the window's screen, or the selected bitmap.
  Surface* Target() const;
  // The rectangle (device coordinates) that drawing may touch: base clip, user clip and surface.
  RECT Clip() const;
  POINT ToDevice(int x, int y) const;
  RECT ToDevice(const RECT& rect) const;

  // Swaps the selected object of the handle's kind; returns the previous one, or null.
  HGDIOBJ Select(HGDIOBJ handle);
  int Save();
  bool Restore(int level);

 private:
  void RetainState(const DcState& state);
  void ReleaseState(const DcState& state);
  POINT Origin() const;

  bool m_memory = false;
  std::shared_ptr<Surface> m_surface;  // non-memory contexts
  POINT m_baseOrigin{0, 0};
  RECT m_baseClip{};
  DcState m_state;
  std::vector<DcState> m_saved;
};

// Adds a context and returns its handle; handles are never reused.
HDC AddDeviceContext(std::unique_ptr<DeviceContext> context);
DeviceContext* FindDeviceContext(HDC hdc);
// The same, setting ERROR_INVALID_HANDLE when there is no such context, as the drawing calls report.
DeviceContext* CheckedDeviceContext(HDC hdc);
// Frees any context (window contexts are freed this way by ReleaseDC and EndPaint).
bool RemoveDeviceContext(HDC hdc);

// Helpers for drawing code: the colour of the selected brush or pen, if it paints at all.
const GdiObject* SelectedPen(const DeviceContext& dc);
const GdiObject* SelectedFont(const DeviceContext& dc);
// The colour of the selected brush, or nothing for a hollow one.
std::optional<COLORREF> SelectedBrushColor(const DeviceContext& dc);

// The intersection of two rectangles, empty (all zero) when they do not meet.
RECT Intersect(const RECT& a, const RECT& b);
bool IsEmpty(const RECT& r);

}  // namespace platform::gdi
