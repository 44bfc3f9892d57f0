// Draws a bitmap with every pixel of the key colour left transparent; resizes strips of faces.
#pragma once

#include "platform/gdi/gdi_api.h"

void DrawTransparentBitmap(HDC hdc, int x, int y, HBITMAP bitmap, COLORREF keyColour);

// A new copy of a strip of square cells (as high as a cell) drawn at `side` pixels a cell, pixel
// for pixel so that the key colour stays exact; the caller deletes it. Null when `strip` is none.
HBITMAP StripAtSide(HBITMAP strip, int side);
