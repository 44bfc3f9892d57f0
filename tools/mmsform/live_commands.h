// The window command's live forms: `mmsform window read ...` and the inbox of `mmsform window`.
#pragma once

#include <span>

namespace mmsform_tool {

// mmsform window read FILE.mms|ENTRY_ID [--screen WxH@DPI]: the read form in the live window.
int RunLiveRead(std::span<char* const> args);

// mmsform window [--screen WxH@DPI]: the host's inbox in the live window.
int RunLiveInbox(std::span<char* const> args);

// Printed, one JSON line with the view's screen rectangle, each time a read view opens in a live
// window: a script driving the window knows from it that keys now reach the view, and where it is.
void AnnounceReadViews();

}  // namespace mmsform_tool
