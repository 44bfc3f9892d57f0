// Sending, posting and retrieving messages. Retrieval follows the device's priorities: posted
// messages first, then WM_QUIT, then painting, then automation's idle actions, then timers.
#include <array>
#include <atomic>
#include <thread>

#include "platform/kernel/clock.h"
#include "platform/kernel/last_error.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen.h"
#include "platform/window/window_system.h"

using namespace platform::window;

namespace {

// Bounds the internal work one PeekMessageW does, so idle actions that keep adding idle actions
// cannot hang the caller.
constexpr int kMaxIdleRounds = 64;

struct InputState {
  std::array<bool, 256> keyDown{};
  DWORD lastPosition = 0;
};

InputState& Input() {
  static InputState state;
  return state;
}

std::atomic<std::thread::id>& UiThread() {
  static std::atomic<std::thread::id> id{};
  return id;
}

void NoteRetrieved(const MSG& msg) {
  InputState& input = Input();
  if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam < 256) {
    input.keyDown[msg.wParam] = msg.message == WM_KEYDOWN;
  }
  input.lastPosition = static_cast<DWORD>(MAKELPARAM(msg.pt.x, msg.pt.y));
}

bool FilterTakesQuit(UINT first, UINT last) {
  return (first == 0 && last == 0) || (WM_QUIT >= first && WM_QUIT <= last);
}

// The character a key makes, or 0 for keys that make none.
WCHAR CharacterFor(UINT key) {
  const bool shift = Input().keyDown[VK_SHIFT];
  if (key >= 'A' && key <= 'Z') {
    return static_cast<WCHAR>(shift ? key : key - 'A' + 'a');
  }
  if (key >= '0' && key <= '9') {
    return static_cast<WCHAR>(key);
  }
  switch (key) {
    case VK_SPACE: return u' ';
    case VK_RETURN: return u'\r';
    case VK_BACK: return 0x08;
    case VK_TAB: return u'\t';
    case VK_ESCAPE: return 0x1B;
    default: return 0;
  }
}

}  // namespace

namespace platform::window {

bool IsUserInterfaceThread() {
  std::thread::id expected{};
  std::thread::id self = std::this_thread::get_id();
  UiThread().compare_exchange_strong(expected, self);
  return UiThread().load() == self;
}

}  // namespace platform::window

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!CheckedWindow(hwnd)) {
    return 0;
  }
  return CallProcedure(hwnd, message, wParam, lParam);
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Other threads may post; the window table is only read on the user-interface thread, and a
  // message for a window that died meanwhile is dropped at dispatch.
  if (hwnd && IsUserInterfaceThread() && !CheckedWindow(hwnd)) {
    return FALSE;
  }
  EnqueuePosted(MSG{hwnd, message, wParam, lParam, GetTickCount(), {0, 0}});
  return TRUE;
}

void PostQuitMessage(int exitCode) { RequestQuit(exitCode); }

BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove) {
  if (!msg) {
    return FALSE;
  }
  IsUserInterfaceThread();
  const MessageFilter filter{hwnd, first, last};
  const bool take = (remove & PM_REMOVE) != 0;
  bool painted = false;
  for (int round = 0; round < kMaxIdleRounds; ++round) {
    if (TakePosted(filter, take, msg)) {
      if (take) {
        NoteRetrieved(*msg);
      }
      return TRUE;
    }
    if (FilterTakesQuit(first, last)) {
      if (std::optional<int> code = PendingQuit(take)) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(*code), 0, GetTickCount(), {0, 0}};
        return TRUE;
      }
    }
    if (!painted && HasDirty()) {
      painted = true;
      PaintDirtyAreas();
      continue;
    }
    if (RunIdleAction()) {
      continue;
    }
    return TakeDueTimer(filter, take, msg) ? TRUE : FALSE;
  }
  return FALSE;
}

BOOL GetMessageW(MSG* msg, HWND hwnd, UINT first, UINT last) {
  if (!msg || (hwnd && !IsWindow(hwnd))) {
    SetLastError(msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
    return -1;
  }
  for (;;) {
    if (PeekMessageW(msg, hwnd, first, last, PM_REMOVE)) {
      return msg->message == WM_QUIT ? FALSE : TRUE;
    }
    std::optional<DWORD> untilTimer = TimeToNextTimer();
    if (const auto& handler = WaitHandler()) {
      handler(untilTimer.value_or(INFINITE));
    } else if (platform::IsVirtualClock() && untilTimer && *untilTimer > 0) {
      platform::AdvanceVirtualClock(*untilTimer);
    } else {
      WaitForPosted(untilTimer ? std::max<DWORD>(*untilTimer, 1) : INFINITE);
    }
  }
}

LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg) {
    return 0;
  }
  if (msg->message == WM_TIMER && msg->lParam) {
    auto procedure = reinterpret_cast<TIMERPROC>(msg->lParam);
    if (IsLiveTimerProcedure(msg->hwnd, msg->wParam, procedure)) {
      procedure(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    }
    return 0;
  }
  if (!msg->hwnd || !IsWindow(msg->hwnd)) {
    return 0;
  }
  return CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || msg->message != WM_KEYDOWN || (msg->lParam & platform::window::kKeyTextArrivesApart)) {
    return FALSE;
  }
  WCHAR c = CharacterFor(static_cast<UINT>(msg->wParam));
  if (!c) {
    return FALSE;
  }
  EnqueuePostedFront(MSG{msg->hwnd, WM_CHAR, c, msg->lParam, msg->time, msg->pt});
  return TRUE;
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return procedure ? procedure(hwnd, message, wParam, lParam) : 0;
}

DWORD GetMessagePos() { return Input().lastPosition; }

short GetKeyState(int virtualKey) {
  return virtualKey >= 0 && virtualKey < 256 && Input().keyDown[static_cast<std::size_t>(virtualKey)]
             ? static_cast<short>(0x8000)
             : 0;
}

short GetAsyncKeyState(int virtualKey) { return GetKeyState(virtualKey); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
  if (hwnd && !CheckedWindow(hwnd)) {
    return 0;
  }
  return AddTimer(hwnd, id, elapse, procedure);
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  if (!RemoveTimer(hwnd, id)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}
