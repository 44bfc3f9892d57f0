#include "platform/dialog/message_box_window.h"

#include <string>
#include <vector>

#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen.h"

namespace platform::dialog {
namespace {

constexpr const WCHAR* kMessageBoxClass = u"MessageBoxWindow";

struct BoxButton {
  int id;
  const WCHAR* text;
};

std::vector<BoxButton> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, u"Abort"}, {IDRETRY, u"Retry"}, {IDIGNORE, u"Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO: return {{IDYES, u"Yes"}, {IDNO, u"No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, u"Retry"}, {IDCANCEL, u"Cancel"}};
    default: return {{IDOK, u"OK"}};
  }
}

int Scaled(int value) { return platform::window::ScaleForDensity(value); }

struct BoxState {
  std::u16string text;
  bool modal = false;  // the choice is kept for RunMessageBoxWindow instead of posted to the owner
  int choice = 0;
};

LRESULT Paint(HWND hwnd, const BoxState& state) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, GetSysColorBrush(COLOR_WINDOW));
  const int bar = Scaled(22);
  platform::controls::DrawCaptionBar(hdc, RECT{0, 0, client.right, bar}, platform::controls::TextOf(hwnd));
  HGDIOBJ previous = SelectObject(hdc, platform::controls::SystemUiFont());
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
  RECT body{Scaled(8), bar + Scaled(8), client.right - Scaled(8), client.bottom - Scaled(34)};
  DrawTextW(hdc, state.text.c_str(), -1, &body, DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(hdc, previous);
  EndPaint(hwnd, &paint);
  return 0;
}

LRESULT Handle(BoxState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: return Paint(hwnd, state);
    case WM_ERASEBKGND: return 1;
    case WM_COMMAND:
      if (state.modal) {
        state.choice = LOWORD(wParam);
        return 0;
      }
      if (HWND owner = GetWindow(hwnd, GW_OWNER)) PostMessageW(owner, WM_COMMAND, LOWORD(wParam), 0);
      DestroyWindow(hwnd);
      return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT BoxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::controls::ControlProcedure<BoxState>(hwnd, message, wParam, lParam, Handle);
}

int TextHeight(const std::u16string& text, int width) {
  HDC hdc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(hdc, platform::controls::SystemUiFont());
  RECT measure{0, 0, width, 0};
  DrawTextW(hdc, text.c_str(), -1, &measure, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
  SelectObject(hdc, previous);
  ReleaseDC(nullptr, hdc);
  return measure.bottom;
}

bool BelongsTo(HWND window, HWND box) { return window == box || (window && GetParent(window) == box); }

// Escape gives the answer that changes nothing; Enter reaches the focused button, which presses itself.
bool HandleEscape(const MSG& msg, HWND box, UINT type) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || !BelongsTo(msg.hwnd, box)) return false;
  platform::controls::StateOf<BoxState>(box)->choice = platform::automation::CautiousAnswer(type);
  return true;
}

}  // namespace

HWND CreateMessageBoxWindow(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  platform::controls::EnsureControlClasses();
  platform::controls::RegisterControlClass(kMessageBoxClass, BoxProcedure, 0);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int width = screenWidth - Scaled(24);
  std::u16string body = text ? text : u"";
  const int height = Scaled(22) + Scaled(16) + TextHeight(body, width - Scaled(16)) + Scaled(34);
  const int x = (screenWidth - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  HWND box = CreateWindowExW(WS_EX_TOPMOST, kMessageBoxClass, caption ? caption : u"", WS_POPUP | WS_BORDER, x, y,
                             width, height, owner, nullptr, nullptr, nullptr);
  if (!box) return nullptr;
  platform::controls::StateOf<BoxState>(box)->text = body;
  std::vector<BoxButton> buttons = ButtonsOf(type);
  const int buttonWidth = Scaled(60);
  const int gap = Scaled(8);
  const int count = static_cast<int>(buttons.size());
  int bx = (width - 2 - count * buttonWidth - (count - 1) * gap) / 2;
  for (const BoxButton& button : buttons) {
    CreateWindowExW(0, u"BUTTON", button.text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, bx, height - 2 - Scaled(28),
                    buttonWidth, Scaled(22), box, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(button.id)),
                    nullptr, nullptr);
    bx += buttonWidth + gap;
  }
  ShowWindow(box, SW_SHOW);
  return box;
}

int RunMessageBoxWindow(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  const int cautious = platform::automation::CautiousAnswer(type);
  HWND box = CreateMessageBoxWindow(owner, text, caption, type);
  if (!box) return cautious;
  BoxState* state = platform::controls::StateOf<BoxState>(box);
  state->modal = true;
  const bool reenableOwner = owner && IsWindowEnabled(owner);
  if (reenableOwner) EnableWindow(owner, FALSE);
  if (HWND first = GetDlgItem(box, ButtonsOf(type).front().id)) SetFocus(first);
  MSG msg;
  while (IsWindow(box) && state->choice == 0) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      // The quit belongs to the outer loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (HandleEscape(msg, box, type)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  const int choice = IsWindow(box) && state->choice != 0 ? state->choice : cautious;
  if (reenableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(box)) DestroyWindow(box);
  if (owner && IsWindow(owner) && IsWindowVisible(owner)) SetActiveWindow(owner);
  return choice;
}

}  // namespace platform::dialog

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  platform::automation::Prompt prompt{u"MessageBox", owner, caption ? caption : u"", text ? text : u"", type};
  // A person at a live front-end answers for themselves, unless a script has answers waiting.
  if (platform::window::WaitHandler() && platform::automation::PendingAnswers() == 0) {
    return platform::dialog::RunMessageBoxWindow(owner, text, caption, type);
  }
  return platform::automation::Answer(prompt, platform::automation::CautiousAnswer(type));
}
