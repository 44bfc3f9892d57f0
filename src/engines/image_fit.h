// Fitting a picture into a box, and the resize rules built on it.
#pragma once

#include "platform/win_types.h"

// The size of a sourceWidth x sourceHeight picture scaled into the box, never enlarged: scale
// s = min(box width / width, box height / height) at most 1, each side rounded half up, at least 1.
SIZE FitSize(LONG sourceWidth, LONG sourceHeight, SIZE box);

// The DCT divisor a decode into `fitted` asks for: r = max(source / fitted) in whole numbers gives
// 1 below 3, 2 for 3 and 4, 4 for 5 to 8, 8 from 9.
int DecodeDivisor(LONG sourceWidth, LONG sourceHeight, SIZE fitted);

// TRUE when the picture fits neither the box nor the box turned by 90 degrees.
BOOL ExceedsBox(LONG width, LONG height, LONG boxWidth, LONG boxHeight);

// The box of numeric setting DefaultResolution: 0 = 160 x 120, 1 = 320 x 240, 2 = 640 x 480,
// 3 = 1024 x 768, 4 = 1280 x 1024; anything else 0 x 0 (pictures are not resized).
SIZE GetDefaultResolution();
