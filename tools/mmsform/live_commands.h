// The window command's live forms: `mmsform window read ...`, `mmsform window compose ...` and the
// inbox of `mmsform window`.
#pragma once

#include <span>

namespace mmsform_tool {

// mmsform window read FILE.mms|ENTRY_ID [--screen WxH@DPI]: the read form in the live window.
int RunLiveRead(std::span<char* const> args);

// mmsform window compose [the message options of mmsform compose] [--screen WxH@DPI]: the compose
// form in the live window, for a person to finish.
int RunLiveCompose(std::span<char* const> args);

// mmsform window media FILE [--screen WxH@DPI]: a sound or a video played in the live window.
int RunLiveMedia(std::span<char* const> args);

// mmsform window [--screen WxH@DPI]: the host's inbox in the live window.
int RunLiveInbox(std::span<char* const> args);

// Printed, one JSON line with the view's screen rectangle, each time a read view opens in a live
// window: a script driving the window knows from it that keys now reach the view, and where it is.
void AnnounceReadViews();
// The same for each compose form that opens: one JSON line with its frame's screen rectangle.
void AnnounceComposeForms();
// The same for each popup menu that opens: the screen rectangle of each of its items, by text.
void AnnouncePopupMenus();

}  // namespace mmsform_tool
