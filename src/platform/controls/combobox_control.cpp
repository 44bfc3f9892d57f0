// COMBOBOX: the selected text in a box with a drop arrow. A tap opens the items as a popup menu
// (answered from the automation queue when headless) and a choice reports CBN_SELCHANGE.
#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/controls/list_items.h"
#include "platform/controls/menu_api.h"

namespace platform::controls {
namespace {

struct ComboBoxState {
  HFONT font = nullptr;
  ItemList list;
};

void Paint(ComboBoxState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  HBRUSH brush = ParentColors(hwnd, hdc, WM_CTLCOLOREDIT);
  if (brush) FillRect(hdc, &client, brush);
  DrawFrame(hdc, client, GetSysColor(COLOR_WINDOWFRAME));
  const int arrow = client.bottom - client.top;
  RECT button{client.right - arrow, client.top, client.right, client.bottom};
  FillRect(hdc, &button, GetSysColorBrush(COLOR_BTNFACE));
  DrawFrame(hdc, button, GetSysColor(COLOR_WINDOWFRAME));
  const int cx = (button.left + button.right) / 2;
  const int cy = (button.top + button.bottom) / 2;
  for (int i = 0; i < arrow / 4; ++i) {
    RECT line{cx - arrow / 4 + i, cy - arrow / 8 + i, cx + arrow / 4 - i + 1, cy - arrow / 8 + i + 1};
    FillRect(hdc, &line, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  if (state.list.Selection() >= 0) {
    HGDIOBJ previous = SelectObject(hdc, FontOr(state.font));
    SetBkMode(hdc, TRANSPARENT);
    RECT text{client.left + 3, client.top, button.left - 2, client.bottom};
    DrawTextW(hdc, state.list.Items()[static_cast<std::size_t>(state.list.Selection())].text.c_str(), -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(hdc, previous);
  }
  EndPaint(hwnd, &paint);
}

void Drop(ComboBoxState& state, HWND hwnd) {
  const auto& items = state.list.Items();
  if (items.empty()) return;
  HMENU menu = CreatePopupMenu();
  for (std::size_t i = 0; i < items.size(); ++i) {
    AppendMenuW(menu, MF_STRING | (static_cast<int>(i) == state.list.Selection() ? MF_CHECKED : 0), i + 1,
                items[i].text.c_str());
  }
  RECT window{};
  GetWindowRect(hwnd, &window);
  const int choice = TrackPopupMenuEx(menu, TPM_RETURNCMD, window.left, window.bottom, hwnd, nullptr);
  DestroyMenu(menu);
  if (!IsWindow(hwnd) || choice <= 0 || choice - 1 == state.list.Selection()) return;
  state.list.Select(choice - 1);
  InvalidateRect(hwnd, nullptr, TRUE);
  NotifyParent(hwnd, CBN_SELCHANGE);
}

LRESULT Handle(ComboBoxState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  bool changed = false;
  if (std::optional<LRESULT> result = state.list.Handle(kComboBoxMessages, message, wParam, lParam, &changed)) {
    if (changed) InvalidateRect(hwnd, nullptr, TRUE);
    return *result;
  }
  switch (message) {
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT: state.font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      Drop(state, hwnd);
      return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT ComboBoxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlProcedure<ComboBoxState>(hwnd, message, wParam, lParam, Handle);
}

}  // namespace

void RegisterComboBoxClass() { RegisterControlClass(u"COMBOBOX", ComboBoxProcedure, 0); }

}  // namespace platform::controls
