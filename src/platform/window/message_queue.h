// The user-interface thread's queues: posted messages (which other threads may add to), the quit
// request, timers, and the idle actions that automation runs between messages.
#pragma once

#include <functional>
#include <optional>

#include "platform/window/window_api.h"

namespace platform::window {

// A WM_KEYDOWN whose character arrives as its own WM_CHAR (a desktop's text input, which knows the
// keyboard layout): TranslateMessage makes none for it. One of the bits Windows leaves reserved.
constexpr LPARAM kKeyTextArrivesApart = 0x02000000;

// Message filter of GetMessageW and PeekMessageW.
struct MessageFilter {
  HWND hwnd = nullptr;  // null: every message of the thread
  UINT first = 0;
  UINT last = 0;        // both 0: every message
  bool Matches(const MSG& msg) const;
};

// Posted messages, first in first out.
void EnqueuePosted(const MSG& msg);
// Puts a message at the head of the queue (the WM_CHAR that TranslateMessage makes).
void EnqueuePostedFront(const MSG& msg);
bool TakePosted(const MessageFilter& filter, bool remove, MSG* out);
void DropPostedFor(HWND hwnd);
// Waits up to `milliseconds` for another thread to post; true when something arrived.
bool WaitForPosted(DWORD milliseconds);

void RequestQuit(int exitCode);
std::optional<int> PendingQuit(bool remove);

// Timers: fired earliest first, never while messages are posted.
UINT_PTR AddTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC procedure);
bool RemoveTimer(HWND hwnd, UINT_PTR id);
void RemoveTimersOf(HWND hwnd);
// The WM_TIMER of the earliest timer due now (rescheduled when removed).
bool TakeDueTimer(const MessageFilter& filter, bool remove, MSG* out);
// Milliseconds until the next timer is due (0 when overdue), or nothing without timers.
std::optional<DWORD> TimeToNextTimer();
// Whether a WM_TIMER's procedure belongs to a live timer (a forged lParam is never called).
bool IsLiveTimerProcedure(HWND hwnd, UINT_PTR id, TIMERPROC procedure);

// Actions to run when the queue is otherwise empty (automation's window hooks).
void AddIdleAction(std::function<void()> action);
bool RunIdleAction();

// Lets a front-end take over the wait of GetMessageW: it is asked to wait up to the given time
// (INFINITE for no timer) while it feeds input in. Null restores the plain wait.
void SetWaitHandler(std::function<void(DWORD)> handler);
const std::function<void(DWORD)>& WaitHandler();

void ClearQueues();

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr UINT USER_TIMER_MINIMUM = 10;

}  // namespace platform::window
