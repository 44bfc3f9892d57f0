// Screen metrics at the device's density, and the cursor as a state (the wait cursor).
#include <utility>

#include "platform/window/screen.h"
#include "platform/window/window_system.h"

using namespace platform::window;

namespace {

// The two cursors this system shows.
HCURSOR const kArrowCursor = reinterpret_cast<HCURSOR>(32512);
HCURSOR const kWaitCursor = reinterpret_cast<HCURSOR>(32514);

}  // namespace

int GetSystemMetrics(int index) {
  ScreenGeometry screen = CurrentScreen();
  switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN: return screen.width;
    case SM_CYSCREEN:
    case SM_CYFULLSCREEN: return screen.height;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return ScaleForDensity(13);
    case SM_CYCAPTION:
    case SM_CYMENU: return ScaleForDensity(26);
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
    case SM_CXEDGE:
    case SM_CYEDGE: return ScaleForDensity(2);
    case SM_CXICON:
    case SM_CYICON: return ScaleForDensity(32);
    case SM_CXSMICON:
    case SM_CYSMICON: return ScaleForDensity(16);
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return ScaleForDensity(4);
    default: return 0;
  }
}

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
  if (name == IDC_ARROW) {
    return kArrowCursor;
  }
  if (name == IDC_WAIT) {
    return kWaitCursor;
  }
  return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) { return std::exchange(System().cursor, cursor); }

HCURSOR GetCursor() { return System().cursor; }
