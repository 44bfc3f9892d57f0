// The table of drawing objects (brushes, pens, fonts, bitmaps) behind GDI handles. Handles are
// numbers that are never reused, so a stale handle is recognised instead of reaching freed memory.
// An object deleted while a device context still has it selected lives on until it is deselected.
#pragma once

#include <memory>
#include <optional>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/surface.h"

namespace platform::gdi {

class FontSet;

enum class ObjectKind { kBrush, kPen, kFont, kBitmap };

struct GdiObject {
  ObjectKind kind = ObjectKind::kBrush;
  bool stock = false;
  bool deletePending = false;
  int selections = 0;
  // Brush and pen.
  bool hollow = false;
  COLORREF color = 0;
  int penStyle = PS_SOLID;
  int penWidth = 1;
  // Font.
  LOGFONTW logFont{};
  std::shared_ptr<FontSet> font;
  // Bitmap.
  std::shared_ptr<Surface> surface;
  bool dibSection = false;
};

// Adds an object and returns its new handle.
HGDIOBJ AddObject(std::unique_ptr<GdiObject> object);
// The live object of a handle, or null for unknown, deleted or wrong-kind handles.
GdiObject* FindObject(HGDIOBJ handle);
GdiObject* FindObject(HGDIOBJ handle, ObjectKind kind);

// Like FindObject, but also finds an object deleted while selected: the contexts that hold it
// keep drawing with it.
GdiObject* FindSelectedObject(HGDIOBJ handle, ObjectKind kind);

// Selection bookkeeping for device contexts: an object selected somewhere is never freed.
void RetainSelection(HGDIOBJ handle);
void ReleaseSelection(HGDIOBJ handle);

// The colour a brush paints with, or nothing for a hollow or unknown brush. Accepts system colour
// values (COLOR_x + 1) as window classes and FillRect do.
std::optional<COLORREF> BrushColor(HBRUSH brush);

// The 1 x 1 monochrome bitmap that a new memory device context holds.
HBITMAP DefaultBitmap();
HFONT DefaultFont();

// How many objects exist, stock ones included (tests use it to find leaks).
std::size_t LiveObjectCount();

}  // namespace platform::gdi
