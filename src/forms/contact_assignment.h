// Giving a contact something a message brought: a picture as the contact's photo, a sound (or a
// video's sound) as its ring tone. The person picks the contact in the device's chooser; the
// result is told with string 40501 (assigned) or 40502 (not assigned), nothing when cancelled.
#pragma once

#include "platform/win_types.h"

namespace assign_text {
constexpr UINT kAssigned = 40501;
constexpr UINT kNotAssigned = 40502;
}  // namespace assign_text

// A protected picture goes to the chooser as it is; any other is copied into "phototemp\" beside
// the picture, reduced there to at most 72 x 96 pixels (quality 90), and the copy goes; the folder
// is removed afterwards. True when a contact got the photo.
bool AssignContactPhoto(HWND owner, LPCWSTR picture);

// The sound is copied into the contact store's own folder as the chosen contact's ring tone.
bool AssignContactRingTone(HWND owner, LPCWSTR sound);
