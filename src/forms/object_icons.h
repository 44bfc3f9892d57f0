// The icons of the save-objects list: one image list with an icon for each kind of object, sized
// for the screen's density.
#pragma once

#include "model/media_types.h"
#include "platform/controls/toolbar_api.h"

namespace object_icon {
constexpr int kPicture = 0;
constexpr int kSound = 1;
constexpr int kVideo = 2;
constexpr int kText = 3;
constexpr int kContactCard = 4;
constexpr int kCalendarEntry = 5;
constexpr int kOther = 6;
constexpr int kCount = 7;
// The icons' side at 96 dots per inch.
constexpr int kSide = 20;
}  // namespace object_icon

// The icons' side on this screen: 20 pixels at 96 dots per inch, to the nearest pixel.
int ObjectIconSide(int dotsPerInch);

// A new image list of the kinds' icons (the caller destroys it); null when the faces did not load.
HIMAGELIST CreateObjectIcons();

// The icon of an object of this type.
int ObjectIconFor(MediaType type);
