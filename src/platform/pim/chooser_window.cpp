#include "platform/pim/chooser_window.h"

#include <string>

#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/text/text_conversion.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen.h"

namespace platform::pim {
namespace {

constexpr WORD kListId = 100;
constexpr int kCancelled = -1;

struct ChooserState {
  int chosen = 0;  // row number from 1; kCancelled
  bool done = false;
};

int Scaled(int value) { return window::ScaleForDensity(value); }

int CaptionHeight() { return Scaled(22); }

// The title in a caption bar above the list, as the device's own pickers show it.
LRESULT Paint(HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, GetSysColorBrush(COLOR_WINDOW));
  controls::DrawCaptionBar(hdc, RECT{0, 0, client.right, CaptionHeight()}, controls::TextOf(hwnd));
  EndPaint(hwnd, &paint);
  return 0;
}

LRESULT Handle(ChooserState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return Paint(hwnd);
    case WM_ERASEBKGND: return 1;
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (id == IDCANCEL) {
        state.chosen = kCancelled;
        state.done = true;
      } else if (id == IDOK || (id == kListId && code == LBN_DBLCLK)) {
        const LRESULT row = SendMessageW(GetDlgItem(hwnd, kListId), LB_GETCURSEL, 0, 0);
        if (row >= 0) {
          state.chosen = static_cast<int>(row) + 1;
          state.done = true;
        }
      }
      return 0;
    }
    case WM_CLOSE:
      state.chosen = kCancelled;
      state.done = true;
      return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT ChooserProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return controls::ControlProcedure<ChooserState>(hwnd, message, wParam, lParam, Handle);
}

HMENU ChildId(WORD id) { return reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)); }

HWND CreateChooserWindow(const ChooserRows& chooser) {
  controls::EnsureControlClasses();
  controls::RegisterControlClass(chooser.windowClass, ChooserProcedure, COLOR_WINDOW);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, chooser.windowClass, chooser.title.c_str(), WS_POPUP, 0, 0, width,
                                height, chooser.owner, nullptr, nullptr, nullptr);
  if (window == nullptr) return nullptr;
  const int buttonHeight = Scaled(24);
  const int top = CaptionHeight() + Scaled(4);
  HWND list = CreateWindowExW(0, u"LISTBOX", u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOTIFY,
                              Scaled(4), top, width - Scaled(8), height - top - buttonHeight - Scaled(32), window,
                              ChildId(kListId), nullptr, nullptr);
  for (const std::u16string& row : chooser.rows) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  const int buttonWidth = Scaled(70);
  const int y = height - buttonHeight - Scaled(22);
  CreateWindowExW(0, u"BUTTON", u"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, width / 2 - buttonWidth - Scaled(4), y,
                  buttonWidth, buttonHeight, window, ChildId(IDOK), nullptr, nullptr);
  CreateWindowExW(0, u"BUTTON", u"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, width / 2 + Scaled(4), y, buttonWidth,
                  buttonHeight, window, ChildId(IDCANCEL), nullptr, nullptr);
  ShowWindow(window, SW_SHOW);
  SetFocus(list);
  return window;
}

// Runs the window until a row is picked or the chooser is cancelled (Escape, Cancel, or IDCANCEL
// sent by the owner when it closes).
int RunChooserWindow(const ChooserRows& chooser) {
  HWND window = CreateChooserWindow(chooser);
  if (window == nullptr) return kCancelled;
  ChooserState* state = controls::StateOf<ChooserState>(window);
  HWND owner = chooser.owner;
  const bool reenableOwner = owner && IsWindowEnabled(owner);
  if (reenableOwner) EnableWindow(owner, FALSE);
  MSG msg;
  while (IsWindow(window) && !state->done) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      state->chosen = kCancelled;
      state->done = true;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  const int chosen = IsWindow(window) && state->done ? state->chosen : kCancelled;
  if (reenableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(window)) DestroyWindow(window);
  return chosen;
}

int AskHeadless(const ChooserRows& chooser) {
  std::u16string listing;
  for (std::size_t i = 0; i < chooser.rows.size(); ++i) {
    listing += Utf8ToUtf16(std::to_string(i + 1) + ". ") + chooser.rows[i] + u"\n";
  }
  automation::Prompt prompt{chooser.promptKind, chooser.owner, chooser.title, listing, 0};
  return automation::Answer(prompt, 0);
}

}  // namespace

int ChooseRow(const ChooserRows& chooser) {
  if (chooser.rows.empty()) return kCancelled;
  // A person at a live front-end answers for themselves, unless a script has answers waiting.
  const bool live = window::WaitHandler() && automation::PendingAnswers() == 0;
  const int chosen = live ? RunChooserWindow(chooser) : AskHeadless(chooser);
  if (chosen < 1 || static_cast<std::size_t>(chosen) > chooser.rows.size()) return kCancelled;
  return chosen;
}

}  // namespace platform::pim
