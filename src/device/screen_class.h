// The screen class the forms and the device services choose their layouts and files by.
#pragma once

// From the shorter side m and the longer side M: 480 x 640 gives 1, 320 x 320 gives 3, any other
// square 2, 176 x 220 gives 4, 480 x 800 gives 5, and 240 x 320 and every size not listed 0.
int ScreenClass(int width, int height);
// The class of the device's screen now.
int CurrentScreenClass();
