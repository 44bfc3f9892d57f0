#include "platform/window/message_queue.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/window/window_system.h"

namespace platform::window {
namespace {

struct PostedQueue {
  std::mutex mutex;
  std::condition_variable posted;
  std::deque<MSG> messages;
  std::optional<int> quitCode;
};

PostedQueue& Posted() {
  static PostedQueue queue;
  return queue;
}

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT elapse;
  TIMERPROC procedure;
  DWORD due;
  std::uint64_t order;  // creation order breaks ties between timers due at once
};

struct TimerState {
  std::vector<Timer> timers;
  std::uint64_t nextOrder = 0;
  UINT_PTR nextThreadTimerId = 1;
  std::deque<std::function<void()>> idleActions;
  std::function<void(DWORD)> waitHandler;
};

TimerState& Timers() {
  static TimerState state;
  return state;
}

// Tick counts wrap after 49.7 days; compare by signed difference.
bool IsDue(DWORD due, DWORD now) { return static_cast<std::int32_t>(now - due) >= 0; }

}  // namespace

bool MessageFilter::Matches(const MSG& msg) const {
  if (hwnd && msg.hwnd != hwnd && !IsAncestor(hwnd, msg.hwnd)) {
    return false;
  }
  if (first == 0 && last == 0) {
    return true;
  }
  return msg.message >= first && msg.message <= last;
}

void EnqueuePosted(const MSG& msg) {
  PostedQueue& queue = Posted();
  {
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.messages.push_back(msg);
  }
  queue.posted.notify_all();
}

void EnqueuePostedFront(const MSG& msg) {
  PostedQueue& queue = Posted();
  {
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.messages.push_front(msg);
  }
  queue.posted.notify_all();
}

bool TakePosted(const MessageFilter& filter, bool remove, MSG* out) {
  PostedQueue& queue = Posted();
  std::lock_guard<std::mutex> lock(queue.mutex);
  for (auto it = queue.messages.begin(); it != queue.messages.end(); ++it) {
    if (filter.Matches(*it)) {
      *out = *it;
      if (remove) {
        queue.messages.erase(it);
      }
      return true;
    }
  }
  return false;
}

void DropPostedFor(HWND hwnd) {
  PostedQueue& queue = Posted();
  std::lock_guard<std::mutex> lock(queue.mutex);
  std::erase_if(queue.messages, [hwnd](const MSG& msg) { return msg.hwnd == hwnd; });
}

bool WaitForPosted(DWORD milliseconds) {
  PostedQueue& queue = Posted();
  std::unique_lock<std::mutex> lock(queue.mutex);
  auto ready = [&queue] { return !queue.messages.empty() || queue.quitCode.has_value(); };
  if (milliseconds == INFINITE) {
    queue.posted.wait(lock, ready);
    return true;
  }
  return queue.posted.wait_for(lock, std::chrono::milliseconds(milliseconds), ready);
}

void RequestQuit(int exitCode) {
  PostedQueue& queue = Posted();
  {
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.quitCode = exitCode;
  }
  queue.posted.notify_all();
}

std::optional<int> PendingQuit(bool remove) {
  PostedQueue& queue = Posted();
  std::lock_guard<std::mutex> lock(queue.mutex);
  std::optional<int> code = queue.quitCode;
  if (remove) {
    queue.quitCode.reset();
  }
  return code;
}

UINT_PTR AddTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
  TimerState& state = Timers();
  elapse = elapse < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : elapse;
  DWORD due = GetTickCount() + elapse;
  for (Timer& timer : state.timers) {
    if (timer.hwnd == hwnd && timer.id == id && hwnd) {
      timer.elapse = elapse;
      timer.procedure = procedure;
      timer.due = due;
      return id;
    }
  }
  if (!hwnd) {
    id = state.nextThreadTimerId++;
  }
  state.timers.push_back({hwnd, id, elapse, procedure, due, state.nextOrder++});
  return hwnd && id == 0 ? 1 : id;
}

bool RemoveTimer(HWND hwnd, UINT_PTR id) {
  return std::erase_if(Timers().timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }) > 0;
}

void RemoveTimersOf(HWND hwnd) {
  std::erase_if(Timers().timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
}

bool TakeDueTimer(const MessageFilter& filter, bool remove, MSG* out) {
  TimerState& state = Timers();
  const DWORD now = GetTickCount();
  Timer* earliest = nullptr;
  for (Timer& timer : state.timers) {
    MSG candidate{timer.hwnd, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.procedure), now, {0, 0}};
    if (!IsDue(timer.due, now) || !filter.Matches(candidate)) {
      continue;
    }
    std::int32_t lateness = static_cast<std::int32_t>(now - timer.due);
    if (!earliest || lateness > static_cast<std::int32_t>(now - earliest->due) ||
        (timer.due == earliest->due && timer.order < earliest->order)) {
      earliest = &timer;
    }
  }
  if (!earliest) {
    return false;
  }
  *out = MSG{earliest->hwnd, WM_TIMER, earliest->id, reinterpret_cast<LPARAM>(earliest->procedure), now, {0, 0}};
  if (remove) {
    earliest->due = now + earliest->elapse;
  }
  return true;
}

std::optional<DWORD> TimeToNextTimer() {
  const TimerState& state = Timers();
  if (state.timers.empty()) {
    return std::nullopt;
  }
  const DWORD now = GetTickCount();
  std::int32_t soonest = INT32_MAX;
  for (const Timer& timer : state.timers) {
    soonest = std::min(soonest, static_cast<std::int32_t>(timer.due - now));
  }
  return soonest < 0 ? 0 : static_cast<DWORD>(soonest);
}

bool IsLiveTimerProcedure(HWND hwnd, UINT_PTR id, TIMERPROC procedure) {
  for (const Timer& timer : Timers().timers) {
    if (timer.hwnd == hwnd && timer.id == id && timer.procedure == procedure) {
      return true;
    }
  }
  return false;
}

void AddIdleAction(std::function<void()> action) { Timers().idleActions.push_back(std::move(action)); }

bool RunIdleAction() {
  auto& actions = Timers().idleActions;
  if (actions.empty()) {
    return false;
  }
  std::function<void()> action = std::move(actions.front());
  actions.pop_front();
  action();
  return true;
}

void SetWaitHandler(std::function<void(DWORD)> handler) { Timers().waitHandler = std::move(handler); }

const std::function<void(DWORD)>& WaitHandler() { return Timers().waitHandler; }

void ClearQueues() {
  {
    PostedQueue& queue = Posted();
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.messages.clear();
    queue.quitCode.reset();
  }
  TimerState& state = Timers();
  state.timers.clear();
  state.idleActions.clear();
}

}  // namespace platform::window
