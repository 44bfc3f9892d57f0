#include "platform/controls/shell_gesture.h"

#include <cstdlib>

#include "platform/kernel/clock.h"
#include "platform/window/message_queue.h"

namespace {

enum class Queued { kNothing, kRelease, kStill };

// Looks at the mouse input waiting: a release, or a move beyond the tolerance, ends the gesture;
// small moves are taken off the queue.
Queued LookAtQueue(POINT downScreen) {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, WM_MOUSEMOVE, WM_LBUTTONUP, PM_NOREMOVE)) {
    if (msg.message != WM_MOUSEMOVE) return Queued::kRelease;
    if (std::abs(msg.pt.x - downScreen.x) > kShellHoldTolerance ||
        std::abs(msg.pt.y - downScreen.y) > kShellHoldTolerance) {
      return Queued::kRelease;
    }
    PeekMessageW(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
  }
  return Queued::kNothing;
}

}  // namespace

DWORD SHRecognizeGesture(SHRGINFO* info) {
  if (info == nullptr || info->cbSize != sizeof(SHRGINFO) || !IsWindow(info->hwndClient)) return 0;
  POINT downScreen = info->ptDown;
  ClientToScreen(info->hwndClient, &downScreen);
  const DWORD hold = (info->dwFlags & SHRG_LONGDELAY) ? kShellLongHoldMilliseconds : kShellHoldMilliseconds;
  const DWORD start = GetTickCount();
  const auto& wait = platform::window::WaitHandler();
  while (true) {
    if (LookAtQueue(downScreen) == Queued::kRelease) return 0;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= hold) return GN_CONTEXTMENU;
    if (wait) {
      wait(hold - elapsed);
    } else if (platform::IsVirtualClock()) {
      platform::AdvanceVirtualClock(hold - elapsed);
    } else {
      Sleep(hold - elapsed);
    }
  }
}
