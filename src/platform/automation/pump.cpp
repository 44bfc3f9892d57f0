// Pumping the queue and moving the clock for headless runs.
#include "platform/automation/automation.h"
#include "platform/kernel/clock.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

namespace platform::automation {

int PumpUntilIdle(int limit) {
  int dispatched = 0;
  MSG msg;
  while (dispatched < limit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++dispatched;
  }
  return dispatched;
}

void AdvanceClock(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  PumpUntilIdle();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) {
      break;
    }
    DWORD remaining = milliseconds - elapsed;
    std::optional<DWORD> next = window::TimeToNextTimer();
    // Stop at the next due time within the span, else at its end; never stand still.
    DWORD step = next && *next > 0 && *next < remaining ? *next : remaining;
    if (platform::IsVirtualClock()) {
      platform::AdvanceVirtualClock(step);
    } else {
      window::WaitForPosted(step);
    }
    PumpUntilIdle();
  }
}

bool Screenshot(const std::filesystem::path& path, std::string* error) {
  window::PaintDirtyAreas();
  return window::WriteScreenPng(path, error);
}

}  // namespace platform::automation
