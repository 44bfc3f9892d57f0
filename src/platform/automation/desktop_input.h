// Input a desktop front-end feeds in as it arrives, queued without pumping: keys whose characters
// the desktop's text input delivers apart (it knows the keyboard layout), and those characters.
#pragma once

#include <string_view>

#include "platform/window/window_api.h"

namespace platform::automation {

// A key to the focus window (else the active one), like PostKeyInput; its WM_KEYDOWN makes no
// WM_CHAR in TranslateMessage, because PostTextInput brings the character.
bool PostKeyInputTextApart(UINT message, UINT virtualKey);
// Characters typed, as WM_CHAR to the focus window (else the active one).
bool PostTextInput(std::u16string_view text);

}  // namespace platform::automation
