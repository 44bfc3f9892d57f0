// Draws a bitmap with every pixel of the key colour left transparent.
#pragma once

#include "platform/gdi/gdi_api.h"

void DrawTransparentBitmap(HDC hdc, int x, int y, HBITMAP bitmap, COLORREF keyColour);
