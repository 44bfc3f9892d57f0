// Popup menus: the popup window, its layout and drawing, and TrackPopupMenuEx.
#include "platform/controls/popup_menu.h"

#include <utility>

#include "platform/automation/automation.h"
#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/controls/menu_store.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen.h"

namespace platform::controls {
namespace {

constexpr const WCHAR* kPopupClass = kPopupMenuClass;
// Submenus open one inside the other at most this deep; a menu that nests itself stops there.
constexpr int kMaxOpenSubmenus = 8;

struct PopupState {
  HMENU menu = nullptr;
  HWND owner = nullptr;
  std::vector<RECT> rows;  // one per item, client coordinates
  int choice = -1;
  // A submenu row that was tapped: its menu opens beside the row, this popup staying open.
  HMENU tappedSubmenu = nullptr;
  std::size_t tappedRow = 0;
};

int Scaled(int value) { return platform::window::ScaleForDensity(value); }

HFONT MenuFont() { return SystemUiFont(); }

SIZE MeasureItem(HDC hdc, HWND owner, const MenuItem& item) {
  if (item.flags & MF_SEPARATOR) return {0, Scaled(7)};
  if (item.flags & MF_OWNERDRAW) {
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, item.id, 0, 0, item.itemData};
    if (owner) SendMessageW(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    return {static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
  }
  SIZE extent{};
  GetTextExtentPoint32W(hdc, item.text.c_str(), static_cast<int>(item.text.size()), &extent);
  return {extent.cx + Scaled(34), extent.cy + Scaled(8)};
}

// Lays the rows out and returns the window size they need.
SIZE Layout(PopupState& state) {
  MenuRecord* record = FindMenu(state.menu);
  HDC hdc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(hdc, MenuFont());
  int width = Scaled(60);
  int y = 1;
  state.rows.clear();
  for (const MenuItem& item : record->items) {
    SIZE size = MeasureItem(hdc, state.owner, item);
    width = std::max<int>(width, size.cx + 2);
    state.rows.push_back(RECT{1, y, 0, y + size.cy});
    y += size.cy;
  }
  for (RECT& row : state.rows) row.right = width - 1;
  SelectObject(hdc, previous);
  ReleaseDC(nullptr, hdc);
  return {width, y + 1};
}

void DrawItem(HDC hdc, const PopupState& state, const MenuItem& item, const RECT& row) {
  const bool grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
  if (item.flags & MF_SEPARATOR) {
    const int y = (row.top + row.bottom) / 2;
    RECT line{row.left + Scaled(4), y, row.right - Scaled(4), y + 1};
    FillRect(hdc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
    return;
  }
  if (item.flags & MF_OWNERDRAW) {
    DRAWITEMSTRUCT draw{ODT_MENU, 0, item.id, ODA_DRAWENTIRE,
                        (grayed ? ODS_GRAYED : 0u) | ((item.flags & MF_CHECKED) ? ODS_CHECKED : 0u),
                        reinterpret_cast<HWND>(state.menu), hdc, row, item.itemData};
    if (state.owner) SendMessageW(state.owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    return;
  }
  SetTextColor(hdc, GetSysColor(grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
  if (item.flags & MF_CHECKED) {
    const int size = Scaled(6);
    const int cx = row.left + Scaled(12);
    const int cy = (row.top + row.bottom) / 2;
    HBRUSH mark = CreateSolidBrush(GetSysColor(COLOR_MENUTEXT));
    HGDIOBJ previous = SelectObject(hdc, mark);
    if (item.flags & MFT_RADIOCHECK) {
      Ellipse(hdc, cx - size / 2, cy - size / 2, cx + size / 2 + 1, cy + size / 2 + 1);
    } else {
      Rectangle(hdc, cx - size / 2, cy - size / 2, cx + size / 2 + 1, cy + size / 2 + 1);
    }
    SelectObject(hdc, previous);
    DeleteObject(mark);
  }
  RECT text{row.left + Scaled(24), row.top, row.right - Scaled(4), row.bottom};
  DrawTextW(hdc, item.text.c_str(), static_cast<int>(item.text.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item.submenu) DrawTextW(hdc, u"\u25B8", 1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

void Paint(PopupState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  FillRect(hdc, &client, GetSysColorBrush(COLOR_MENU));
  DrawFrame(hdc, client, GetSysColor(COLOR_WINDOWFRAME));
  MenuRecord* record = FindMenu(state.menu);
  HGDIOBJ previous = SelectObject(hdc, MenuFont());
  SetBkMode(hdc, TRANSPARENT);
  for (std::size_t i = 0; record && i < record->items.size() && i < state.rows.size(); ++i) {
    DrawItem(hdc, state, record->items[i], state.rows[i]);
  }
  SelectObject(hdc, previous);
  EndPaint(hwnd, &paint);
}

void Tap(PopupState& state, HWND hwnd, LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  MenuRecord* record = FindMenu(state.menu);
  state.choice = 0;
  for (std::size_t i = 0; record && i < state.rows.size() && i < record->items.size(); ++i) {
    const MenuItem& item = record->items[i];
    if (!PtInRect(&state.rows[i], point) || (item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED))) continue;
    if (item.submenu && FindMenu(item.submenu)) {
      state.choice = -1;
      state.tappedSubmenu = item.submenu;
      state.tappedRow = i;
      return;
    }
    if (!item.submenu) state.choice = static_cast<int>(item.id);
  }
  ReleaseCapture();
  ShowWindow(hwnd, SW_HIDE);
}

LRESULT Handle(PopupState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: Tap(state, hwnd, lParam); return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        state.choice = 0;
        ShowWindow(hwnd, SW_HIDE);
      }
      return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT PopupProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlProcedure<PopupState>(hwnd, message, wParam, lParam, Handle);
}

std::u16string DescribeItems(HMENU menu) {
  std::u16string text;
  MenuRecord* record = FindMenu(menu);
  for (const MenuItem& item : record->items) {
    if (item.flags & MF_SEPARATOR) continue;
    if (!text.empty()) text += u'\n';
    text += item.text;
  }
  return text;
}

// Headless: the queue says which command a person would have picked; anything that is no
// enabled command of the menu picks nothing.
int ChooseHeadless(HMENU menu, HWND owner) {
  platform::automation::Prompt prompt{u"PopupMenu", owner, u"", DescribeItems(menu), 0};
  const int answer = platform::automation::Answer(prompt, 0);
  std::vector<UINT> commands;
  CollectCommands(menu, &commands);
  return answer > 0 && std::find(commands.begin(), commands.end(), static_cast<UINT>(answer)) != commands.end()
             ? answer
             : 0;
}

int ChooseLive(HMENU menu, UINT flags, int x, int y, HWND owner, int depth = 0);

// A tapped submenu opens beside its row, prepared by the owner as the top menu was; what is
// picked there is the choice of the whole menu, and dismissing it goes back to this one.
int ChooseInSubmenu(HWND popup, HWND owner, int depth) {
  PopupState* state = StateOf<PopupState>(popup);
  HMENU submenu = std::exchange(state->tappedSubmenu, nullptr);
  if (depth >= kMaxOpenSubmenus || state->tappedRow >= state->rows.size()) return 0;
  RECT row = state->rows[state->tappedRow];
  MapWindowPoints(popup, nullptr, reinterpret_cast<POINT*>(&row), 2);
  if (owner) SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(submenu), static_cast<LPARAM>(state->tappedRow));
  if (!FindMenu(submenu)) return 0;
  // To the right of the row when it fits there, else to its left.
  const bool right = row.right + Scaled(60) <= GetSystemMetrics(SM_CXSCREEN);
  const int choice = ChooseLive(submenu, (right ? TPM_LEFTALIGN : TPM_RIGHTALIGN) | TPM_TOPALIGN,
                                right ? row.right : row.left, row.top, owner, depth + 1);
  if (IsWindow(popup)) SetCapture(popup);
  return choice;
}

int ChooseLive(HMENU menu, UINT flags, int x, int y, HWND owner, int depth) {
  HWND popup = OpenPopupMenuWindow(menu, flags, x, y, owner);
  if (!popup) return 0;
  SetCapture(popup);
  MSG msg;
  while (IsWindow(popup) && PopupMenuChoice(popup) < 0) {
    if (StateOf<PopupState>(popup)->tappedSubmenu != nullptr) {
      if (const int choice = ChooseInSubmenu(popup, owner, depth); choice > 0 && IsWindow(popup)) {
        StateOf<PopupState>(popup)->choice = choice;
      }
      continue;
    }
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  const int choice = IsWindow(popup) ? std::max(PopupMenuChoice(popup), 0) : 0;
  if (IsWindow(popup)) DestroyWindow(popup);
  return choice;
}

}  // namespace

void RegisterPopupMenuClass() { RegisterControlClass(kPopupClass, PopupProcedure, 0); }

HWND OpenPopupMenuWindow(HMENU menu, UINT flags, int x, int y, HWND owner) {
  if (!FindMenu(menu)) return nullptr;
  EnsureControlClasses();
  HWND popup = CreateWindowExW(WS_EX_TOPMOST, kPopupClass, u"", WS_POPUP, 0, 0, 1, 1, owner, nullptr, nullptr, nullptr);
  if (!popup) return nullptr;
  PopupState* state = StateOf<PopupState>(popup);
  state->menu = menu;
  state->owner = owner;
  SIZE size = Layout(*state);
  if (flags & TPM_RIGHTALIGN) x -= size.cx;
  else if (flags & TPM_CENTERALIGN) x -= size.cx / 2;
  if (flags & TPM_BOTTOMALIGN) y -= size.cy;
  else if (flags & TPM_VCENTERALIGN) y -= size.cy / 2;
  x = std::clamp<int>(x, 0, std::max<int>(0, GetSystemMetrics(SM_CXSCREEN) - size.cx));
  y = std::clamp<int>(y, 0, std::max<int>(0, GetSystemMetrics(SM_CYSCREEN) - size.cy));
  SetWindowPos(popup, HWND_TOPMOST, x, y, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  return popup;
}

int PopupMenuChoice(HWND popup) {
  PopupState* state = IsWindow(popup) ? StateOf<PopupState>(popup) : nullptr;
  return state ? state->choice : 0;
}

std::vector<PopupMenuRow> PopupMenuRows(HWND popup) {
  std::vector<PopupMenuRow> rows;
  PopupState* state = IsWindow(popup) ? StateOf<PopupState>(popup) : nullptr;
  MenuRecord* record = state ? FindMenu(state->menu) : nullptr;
  for (std::size_t i = 0; record && i < record->items.size() && i < state->rows.size(); ++i) {
    if (record->items[i].flags & MF_SEPARATOR) continue;
    RECT rect = state->rows[i];
    MapWindowPoints(popup, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    rows.push_back({record->items[i].text, rect});
  }
  return rows;
}

}  // namespace platform::controls

using namespace platform::controls;

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, TPMPARAMS*) {
  if (!FindMenu(menu)) return FALSE;
  if (owner && !(flags & TPM_NONOTIFY)) {
    SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    // The owner may have destroyed the menu while preparing it.
    if (!FindMenu(menu)) return FALSE;
  }
  const int choice = platform::window::WaitHandler() ? ChooseLive(menu, flags, x, y, owner) : ChooseHeadless(menu, owner);
  if (flags & TPM_RETURNCMD) return choice;
  if (choice && owner) PostMessageW(owner, WM_COMMAND, static_cast<WPARAM>(choice), 0);
  return choice ? TRUE : FALSE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}
