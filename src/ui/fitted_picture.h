// Draws a decoded picture as large as it fits into an area, its width-to-height ratio kept,
// centred in the area.
#pragma once

#include "engines/dib_image.h"
#include "platform/gdi/gdi_api.h"

void DrawPictureFitted(HDC hdc, const DibImage* image, const RECT& area);
