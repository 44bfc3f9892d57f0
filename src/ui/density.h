// Layout values of the forms are given for 96 dots per inch and scaled to the screen's density:
// (v * d + 95) / 96, horizontal values with the horizontal density, vertical with the vertical.
#pragma once

int ScaleX(int value);
int ScaleY(int value);
// The screen's logical horizontal density.
int ScreenDpiX();
