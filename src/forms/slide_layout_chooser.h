// The slide layout: where a slide's picture and text go, as a code the composer keeps, the
// chooser dialog that lets the user pick one, and the code a message's own layout stands for.
//
// The codes, each the last digit of its button in dialogs 381 and 386:
//   1  the text above the picture;
//   3  the picture above the text (the default, and the layout of a new message);
//   4  the picture left of the text;
//   5  a large picture above the text: the picture takes the taller area.
#pragma once

#include "model/message_model.h"
#include "platform/window/window_api.h"

namespace slide_layout {
constexpr int kTextOnTop = 1;
constexpr int kPictureOnTop = 3;
constexpr int kPictureLeft = 4;
constexpr int kLargePicture = 5;
constexpr DWORD kPortraitDialog = 381;
constexpr DWORD kLandscapeDialog = 386;
// The button of a code is this plus the code.
constexpr int kFirstButton = 1000;
}  // namespace slide_layout

// The code itself when it is one of 1, 3, 4 and 5; any other value stands for the default 3.
int ValidLayoutCode(int code);

// Runs the chooser (381 on a portrait screen, 386 on a landscape one) with `currentCode` chosen;
// the code chosen with OK, or 0 when the user cancelled.
int ChooseSlideLayout(HWND owner, int currentCode);

// The code of a message's layout, from how its image and text regions lie to each other; a layout
// without both regions, or one whose regions overlap, gives 3.
int LayoutCodeFromMessageLayout(const MessageLayout& layout);

// Gives the layout the image and text regions of the code, in the units of its root layout (100 x
// 100 when it has no size); the background colour stays.
void ApplyLayoutCode(MessageLayout& layout, int code);
