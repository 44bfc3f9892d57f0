#include "device/wait_cursor.h"

#include "platform/window/window_api.h"

namespace {

int g_holds = 0;
HCURSOR g_previous = nullptr;

}  // namespace

void TakeWaitCursorHold() {
  if (g_holds++ == 0) g_previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void ReleaseWaitCursorHold() {
  // An unmatched release must not drive the count below zero: the next hold would then not show
  // the wait cursor at all.
  if (g_holds == 0) return;
  if (--g_holds == 0) SetCursor(g_previous);
}

int WaitCursorHolds() { return g_holds; }
