// Draws a decoded picture into an area, its width-to-height ratio kept, centred in the area: as
// large as it fits, or at its own size for the screen's density.
#pragma once

#include "engines/dib_image.h"
#include "platform/gdi/gdi_api.h"

void DrawPictureFitted(HDC hdc, const DibImage* image, const RECT& area);
// The picture's pixels are taken as 96 dpi ones, so that it looks as large on every screen; a
// picture that would then not fit is made as large as fits.
void DrawPictureAtDensity(HDC hdc, const DibImage* image, const RECT& area);
