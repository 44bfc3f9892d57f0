// The toolbar: buttons laid out from the left, each the image list's width plus a margin,
// separators a narrow gap; tapping an enabled button tells the parent. A button held down for the
// shell's hold time shows its tool tip above it until the press ends; the parent hears TTN_SHOW
// and TTN_POP around it.
#include <algorithm>
#include <utility>

#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/controls/shell_gesture.h"
#include "platform/controls/toolbar_api.h"
#include "platform/gdi/gdi_api.h"
#include "platform/window/screen.h"

namespace platform::controls {
namespace {

struct ToolbarButton {
  TBBUTTON button{};
  int width = 0;  // 0: from the image list
};

struct ToolbarState {
  std::vector<ToolbarButton> buttons;
  HIMAGELIST images = nullptr;
  std::vector<std::u16string> toolTips;
  int buttonWidth = 0;
  int pressed = -1;
  HWND toolTip = nullptr;  // the tip of the button held down, while it shows
};

constexpr UINT_PTR kHoldTimer = 0x7001;

int Scaled(int value) { return platform::window::ScaleForDensity(value); }

int WidthOf(const ToolbarState& state, const ToolbarButton& b) {
  if (b.button.fsStyle & TBSTYLE_SEP) return Scaled(6);
  if (b.width) return b.width;
  if (state.buttonWidth) return state.buttonWidth;
  int width = 16, height = 16;
  ImageList_GetIconSize(state.images, &width, &height);
  return width + Scaled(8);
}

std::vector<RECT> Layout(const ToolbarState& state, HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  std::vector<RECT> rects;
  int x = Scaled(2);
  for (const ToolbarButton& b : state.buttons) {
    const int width = (b.button.fsState & TBSTATE_HIDDEN) ? 0 : WidthOf(state, b);
    rects.push_back(RECT{x, 0, x + width, client.bottom});
    x += width;
  }
  return rects;
}

int IndexOf(const ToolbarState& state, int command) {
  for (std::size_t i = 0; i < state.buttons.size(); ++i) {
    if (state.buttons[i].button.idCommand == command && !(state.buttons[i].button.fsStyle & TBSTYLE_SEP)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void DrawButton(const ToolbarState& state, HDC hdc, const ToolbarButton& b, const RECT& r, bool pressed) {
  const BYTE fsState = b.button.fsState;
  if (pressed || (fsState & TBSTATE_CHECKED)) {
    FillRect(hdc, &r, GetSysColorBrush(COLOR_3DLIGHT));
    DrawFrame(hdc, r, GetSysColor(COLOR_BTNSHADOW));
  }
  int width = 16, height = 16;
  ImageList_GetIconSize(state.images, &width, &height);
  const int x = (r.left + r.right - width) / 2;
  const int y = (r.top + r.bottom - height) / 2;
  ImageList_Draw(state.images, b.button.iBitmap, hdc, x, y, ILD_TRANSPARENT);
  if (!(fsState & TBSTATE_ENABLED)) {
    // A disabled face shows through a dither of the bar's colour.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int py = y; py < y + height; ++py) {
      for (int px = x + (py & 1); px < x + width; px += 2) SetPixel(hdc, px, py, face);
    }
  }
}

void Paint(ToolbarState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, GetSysColorBrush(COLOR_BTNFACE));
  RECT line{client.left, client.top, client.right, client.top + 1};
  FillRect(hdc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
  std::vector<RECT> rects = Layout(state, hwnd);
  for (std::size_t i = 0; i < state.buttons.size(); ++i) {
    const ToolbarButton& b = state.buttons[i];
    if ((b.button.fsStyle & TBSTYLE_SEP) || (b.button.fsState & TBSTATE_HIDDEN)) continue;
    DrawButton(state, hdc, b, rects[i], static_cast<int>(i) == state.pressed);
  }
  EndPaint(hwnd, &paint);
}

int HitTest(const ToolbarState& state, HWND hwnd, LPARAM lParam) {
  std::vector<RECT> rects = Layout(state, hwnd);
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const TBBUTTON& b = state.buttons[i].button;
    if (PtInRect(&rects[i], point) && !(b.fsStyle & TBSTYLE_SEP) && (b.fsState & TBSTATE_ENABLED)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void NotifyToolTip(HWND hwnd, int command, UINT code) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  NMHDR notify{hwnd, static_cast<UINT_PTR>(command), code};
  SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(hwnd)), reinterpret_cast<LPARAM>(&notify));
}

const std::u16string* ToolTipOf(const ToolbarState& state, int index) {
  if (index < 0 || index >= static_cast<int>(state.toolTips.size())) return nullptr;
  const std::u16string& text = state.toolTips[static_cast<std::size_t>(index)];
  return text.empty() ? nullptr : &text;
}

// The tip stands above the button (below it when there is no room), as wide as its text.
void ShowToolTip(ToolbarState& state, HWND hwnd) {
  const std::u16string* text = ToolTipOf(state, state.pressed);
  if (text == nullptr || state.toolTip != nullptr) return;
  RECT button = Layout(state, hwnd)[static_cast<std::size_t>(state.pressed)];
  SIZE extent{};
  if (HDC dc = GetDC(hwnd)) {
    GetTextExtentPoint32W(dc, text->c_str(), static_cast<int>(text->size()), &extent);
    ReleaseDC(hwnd, dc);
  }
  const int width = static_cast<int>(extent.cx) + Scaled(8);
  const int height = std::max(static_cast<int>(extent.cy), Scaled(12)) + Scaled(4);
  POINT corner{button.left, button.top};
  ClientToScreen(hwnd, &corner);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int x = std::clamp(static_cast<int>(corner.x), 0, std::max(0, screenWidth - width));
  int y = corner.y - height - Scaled(2);
  if (y < 0) y = corner.y + (button.bottom - button.top) + Scaled(2);
  state.toolTip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, u"STATIC", text->c_str(),
                                  WS_POPUP | WS_BORDER | WS_VISIBLE | SS_CENTER, x, y, width, height, hwnd, nullptr,
                                  nullptr, nullptr);
  NotifyToolTip(hwnd, state.buttons[static_cast<std::size_t>(state.pressed)].button.idCommand, TTN_SHOW);
}

// Ends a hold: the tip goes and the parent hears of it.
void HideToolTip(ToolbarState& state, HWND hwnd, int command) {
  KillTimer(hwnd, kHoldTimer);
  if (state.toolTip == nullptr) return;
  HWND tip = std::exchange(state.toolTip, nullptr);
  if (IsWindow(tip)) DestroyWindow(tip);
  NotifyToolTip(hwnd, command, TTN_POP);
}

void Press(ToolbarState& state, HWND hwnd, LPARAM lParam) {
  state.pressed = HitTest(state, hwnd, lParam);
  if (state.pressed >= 0) {
    SetCapture(hwnd);
    if (ToolTipOf(state, state.pressed)) SetTimer(hwnd, kHoldTimer, kShellHoldMilliseconds, nullptr);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
}

void Release(ToolbarState& state, HWND hwnd, LPARAM lParam) {
  const int index = state.pressed;
  state.pressed = -1;
  HideToolTip(state, hwnd, index >= 0 ? state.buttons[static_cast<std::size_t>(index)].button.idCommand : 0);
  ReleaseCapture();
  InvalidateRect(hwnd, nullptr, TRUE);
  if (index < 0 || HitTest(state, hwnd, lParam) != index) return;
  TBBUTTON& b = state.buttons[static_cast<std::size_t>(index)].button;
  if (b.fsStyle & TBSTYLE_CHECK) b.fsState ^= TBSTATE_CHECKED;
  const int command = b.idCommand;
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  NMHDR notify{hwnd, static_cast<UINT_PTR>(command), NM_CLICK};
  SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(hwnd)), reinterpret_cast<LPARAM>(&notify));
  if (IsWindow(hwnd)) SendMessageW(parent, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

LRESULT SetButtonInfo(ToolbarState& state, HWND hwnd, WPARAM command, const TBBUTTONINFOW* info) {
  const int index = IndexOf(state, static_cast<int>(command));
  if (index < 0 || !info) return FALSE;
  ToolbarButton& b = state.buttons[static_cast<std::size_t>(index)];
  if (info->dwMask & TBIF_IMAGE) b.button.iBitmap = info->iImage;
  if (info->dwMask & TBIF_COMMAND) b.button.idCommand = info->idCommand;
  if (info->dwMask & TBIF_STATE) b.button.fsState = info->fsState;
  if (info->dwMask & TBIF_STYLE) b.button.fsStyle = info->fsStyle;
  if (info->dwMask & TBIF_LPARAM) b.button.dwData = info->lParam;
  if (info->dwMask & TBIF_SIZE) b.width = info->cx;
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT GetButtonInfo(ToolbarState& state, WPARAM command, TBBUTTONINFOW* info) {
  const int index = IndexOf(state, static_cast<int>(command));
  if (index < 0 || !info) return -1;
  const TBBUTTON& b = state.buttons[static_cast<std::size_t>(index)].button;
  info->idCommand = b.idCommand;
  info->iImage = b.iBitmap;
  info->fsState = b.fsState;
  info->fsStyle = b.fsStyle;
  info->lParam = b.dwData;
  return index;
}

// Sets or clears one state bit of the button with the command.
LRESULT SetStateBit(ToolbarState& state, HWND hwnd, WPARAM command, BYTE bit, bool on) {
  const int index = IndexOf(state, static_cast<int>(command));
  if (index < 0) return FALSE;
  BYTE& fsState = state.buttons[static_cast<std::size_t>(index)].button.fsState;
  fsState = on ? (fsState | bit) : (fsState & ~bit);
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT HasStateBit(ToolbarState& state, WPARAM command, BYTE bit) {
  const int index = IndexOf(state, static_cast<int>(command));
  return index < 0 ? 0 : (state.buttons[static_cast<std::size_t>(index)].button.fsState & bit) ? TRUE : FALSE;
}

LRESULT Handle(ToolbarState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case TB_BUTTONSTRUCTSIZE:
    case TB_AUTOSIZE: return 0;
    case TB_SETIMAGELIST: return reinterpret_cast<LRESULT>(std::exchange(state.images, reinterpret_cast<HIMAGELIST>(lParam)));
    case TB_SETBUTTONSIZE: state.buttonWidth = LOWORD(static_cast<std::uintptr_t>(lParam)); return TRUE;
    case TB_ADDBUTTONSW: {
      const auto* buttons = reinterpret_cast<const TBBUTTON*>(lParam);
      for (WPARAM i = 0; buttons && i < wParam && i < 256; ++i) state.buttons.push_back(ToolbarButton{buttons[i], 0});
      InvalidateRect(hwnd, nullptr, TRUE);
      return buttons ? TRUE : FALSE;
    }
    case TB_DELETEBUTTON:
      if (wParam >= state.buttons.size()) return FALSE;
      state.buttons.erase(state.buttons.begin() + static_cast<std::ptrdiff_t>(wParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TB_BUTTONCOUNT: return static_cast<LRESULT>(state.buttons.size());
    case TB_ENABLEBUTTON: return SetStateBit(state, hwnd, wParam, TBSTATE_ENABLED, LOWORD(static_cast<std::uintptr_t>(lParam)) != 0);
    case TB_CHECKBUTTON: return SetStateBit(state, hwnd, wParam, TBSTATE_CHECKED, LOWORD(static_cast<std::uintptr_t>(lParam)) != 0);
    case TB_ISBUTTONENABLED: return HasStateBit(state, wParam, TBSTATE_ENABLED);
    case TB_ISBUTTONCHECKED: return HasStateBit(state, wParam, TBSTATE_CHECKED);
    case TB_SETBUTTONINFOW: return SetButtonInfo(state, hwnd, wParam, reinterpret_cast<const TBBUTTONINFOW*>(lParam));
    case TB_GETBUTTONINFOW: return GetButtonInfo(state, wParam, reinterpret_cast<TBBUTTONINFOW*>(lParam));
    case TB_SETTOOLTIPS: {
      const auto* texts = reinterpret_cast<const LPCWSTR*>(lParam);
      state.toolTips.clear();
      for (WPARAM i = 0; texts && i < wParam && i < 256; ++i) state.toolTips.emplace_back(texts[i] ? texts[i] : u"");
      return TRUE;
    }
    case WM_LBUTTONDOWN: Press(state, hwnd, lParam); return 0;
    case WM_MOUSEMOVE:
      // Moving off the button before the hold time is no hold.
      if (state.pressed >= 0 && state.toolTip == nullptr && HitTest(state, hwnd, lParam) != state.pressed) {
        KillTimer(hwnd, kHoldTimer);
      }
      return 0;
    case WM_TIMER:
      if (wParam != kHoldTimer) return DefWindowProcW(hwnd, message, wParam, lParam);
      KillTimer(hwnd, kHoldTimer);
      if (state.pressed >= 0) ShowToolTip(state, hwnd);
      return 0;
    case WM_LBUTTONUP: Release(state, hwnd, lParam); return 0;
    case WM_DESTROY:
      if (IsWindow(state.toolTip)) DestroyWindow(state.toolTip);
      state.toolTip = nullptr;
      return DefWindowProcW(hwnd, message, wParam, lParam);
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT ToolbarProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlProcedure<ToolbarState>(hwnd, message, wParam, lParam, Handle);
}

}  // namespace

void RegisterToolbarClass() { RegisterControlClass(TOOLBARCLASSNAMEW, ToolbarProcedure, 0); }

std::u16string ToolbarToolTip(HWND toolbar, int index) {
  WCHAR name[64] = {};
  GetClassNameW(toolbar, name, 64);
  if (std::u16string_view(name) != TOOLBARCLASSNAMEW) return {};
  ToolbarState* state = StateOf<ToolbarState>(toolbar);
  return state && index >= 0 && index < static_cast<int>(state->toolTips.size())
             ? state->toolTips[static_cast<std::size_t>(index)]
             : std::u16string();
}

bool ToolbarButtonRect(HWND toolbar, int command, RECT* rect) {
  ToolbarState* state = IsWindow(toolbar) ? StateOf<ToolbarState>(toolbar) : nullptr;
  const int index = state ? IndexOf(*state, command) : -1;
  if (index < 0 || !rect) return false;
  *rect = Layout(*state, toolbar)[static_cast<std::size_t>(index)];
  return true;
}

}  // namespace platform::controls
