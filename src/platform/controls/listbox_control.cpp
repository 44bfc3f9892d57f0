// LISTBOX: a list of texts with one selection, drawn in rows of the font's height from the top
// index; a tap selects the row under it and, with LBS_NOTIFY, reports LBN_SELCHANGE.
#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/controls/list_items.h"

namespace platform::controls {
namespace {

struct ListBoxState {
  HFONT font = nullptr;
  ItemList list;
  int top = 0;
};

int RowHeight(HWND hwnd, HFONT font) {
  HDC hdc = GetDC(hwnd);
  HGDIOBJ previous = SelectObject(hdc, FontOr(font));
  TEXTMETRICW metrics{};
  GetTextMetricsW(hdc, &metrics);
  SelectObject(hdc, previous);
  ReleaseDC(hwnd, hdc);
  return std::max<int>(1, metrics.tmHeight + 2);
}

void Paint(ListBoxState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  HBRUSH brush = ParentColors(hwnd, hdc, WM_CTLCOLORLISTBOX);
  if (brush) FillRect(hdc, &client, brush);
  HGDIOBJ previous = SelectObject(hdc, FontOr(state.font));
  SetBkMode(hdc, TRANSPARENT);
  const int height = RowHeight(hwnd, state.font);
  const auto& items = state.list.Items();
  for (int i = std::max(state.top, 0), y = 0; i < static_cast<int>(items.size()) && y < client.bottom; ++i, y += height) {
    RECT row{client.left, y, client.right, y + height};
    const bool selected = i == state.list.Selection();
    if (selected) FillRect(hdc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(hdc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    row.left += 2;
    DrawTextW(hdc, items[static_cast<std::size_t>(i)].text.c_str(), -1, &row,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  SelectObject(hdc, previous);
  EndPaint(hwnd, &paint);
}

void Tap(ListBoxState& state, HWND hwnd, LPARAM lParam) {
  SetFocus(hwnd);
  const int row = state.top + GET_Y_LPARAM(lParam) / RowHeight(hwnd, state.font);
  if (row < 0 || row >= static_cast<int>(state.list.Items().size()) || row == state.list.Selection()) return;
  state.list.Select(row);
  InvalidateRect(hwnd, nullptr, TRUE);
  if (GetWindowLongW(hwnd, GWL_STYLE) & LBS_NOTIFY) NotifyParent(hwnd, LBN_SELCHANGE);
}

LRESULT Handle(ListBoxState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  bool changed = false;
  if (std::optional<LRESULT> result = state.list.Handle(kListBoxMessages, message, wParam, lParam, &changed)) {
    if (changed) InvalidateRect(hwnd, nullptr, TRUE);
    return *result;
  }
  switch (message) {
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT: state.font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
    case LB_GETITEMHEIGHT: return RowHeight(hwnd, state.font);
    case LB_GETTOPINDEX: return state.top;
    case LB_SETTOPINDEX:
      if (static_cast<std::size_t>(wParam) >= state.list.Items().size()) return LB_ERR;
      state.top = static_cast<int>(wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN: Tap(state, hwnd, lParam); return 0;
    case WM_LBUTTONDBLCLK:
      if (GetWindowLongW(hwnd, GWL_STYLE) & LBS_NOTIFY) NotifyParent(hwnd, LBN_DBLCLK);
      return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT ListBoxProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlProcedure<ListBoxState>(hwnd, message, wParam, lParam, Handle);
}

}  // namespace

void RegisterListBoxClass() { RegisterControlClass(u"LISTBOX", ListBoxProcedure, 0); }

}  // namespace platform::controls
