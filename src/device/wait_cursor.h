// The wait cursor as one process-wide hold count: every long operation takes a hold while it runs.
// The first hold shows the wait cursor and remembers the cursor it replaced; only the release of the
// last hold puts that cursor back, so nested operations do not flicker back to the arrow.
#pragma once

// Holds are taken and released on the user-interface thread only.
void TakeWaitCursorHold();
// A release without a hold does nothing.
void ReleaseWaitCursorHold();
int WaitCursorHolds();

// A hold for the life of a scope.
class WaitCursorHold {
 public:
  WaitCursorHold() { TakeWaitCursorHold(); }
  ~WaitCursorHold() { ReleaseWaitCursorHold(); }
  WaitCursorHold(const WaitCursorHold&) = delete;
  WaitCursorHold& operator=(const WaitCursorHold&) = delete;
};
