// The list view: rows of an icon and a text, drawn from the top row that is in view; the one
// selected row is highlighted. Selection changes, taps and the Enter key reach the parent as
// WM_NOTIFY, the way the device's list view reports them.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/controls/list_view_api.h"
#include "platform/window/screen.h"

namespace platform::controls {
namespace {

struct ListViewRow {
  std::u16string text;
  int image = -1;
  LPARAM data = 0;
};

struct ListViewState {
  HFONT font = nullptr;
  HIMAGELIST small = nullptr;
  HIMAGELIST normal = nullptr;
  std::vector<ListViewRow> rows;
  int selection = -1;
  int top = 0;
};

// A sort comparison may be handed anything; rows are capped so that item indexes stay small.
constexpr std::size_t kMaxRows = 100000;

int Scaled(int value) { return platform::window::ScaleForDensity(value); }

int RowHeight(const ListViewState& state, HWND hwnd) {
  HDC hdc = GetDC(hwnd);
  HGDIOBJ previous = SelectObject(hdc, FontOr(state.font));
  TEXTMETRICW metrics{};
  GetTextMetricsW(hdc, &metrics);
  SelectObject(hdc, previous);
  ReleaseDC(hwnd, hdc);
  int iconWidth = 0, iconHeight = 0;
  ImageList_GetIconSize(state.small, &iconWidth, &iconHeight);
  return std::max<int>({1, metrics.tmHeight + Scaled(2), iconHeight + Scaled(2)});
}

int RowsPerPage(const ListViewState& state, HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return std::max(1, static_cast<int>(client.bottom) / RowHeight(state, hwnd));
}

bool Valid(const ListViewState& state, int row) { return row >= 0 && row < static_cast<int>(state.rows.size()); }

void Notify(HWND hwnd, UINT code, int row, UINT newState, UINT oldState, LPARAM data) {
  NMLISTVIEW notify{};
  notify.hdr = NMHDR{hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), code};
  notify.iItem = row;
  notify.uNewState = newState;
  notify.uOldState = oldState;
  notify.uChanged = code == LVN_ITEMCHANGED ? LVIF_STATE : 0;
  notify.lParam = data;
  if (HWND parent = GetParent(hwnd)) {
    SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(notify.hdr.idFrom), reinterpret_cast<LPARAM>(&notify));
  }
}

void EnsureVisible(ListViewState& state, HWND hwnd, int row) {
  if (!Valid(state, row)) return;
  const int page = RowsPerPage(state, hwnd);
  const int top = state.top;
  if (row < state.top) state.top = row;
  if (row >= state.top + page) state.top = row - page + 1;
  if (state.top != top) InvalidateRect(hwnd, nullptr, TRUE);
}

// Moves the selection to `row` (-1 for none) and tells the parent: first the row that lost it.
void Select(ListViewState& state, HWND hwnd, int row) {
  if (!Valid(state, row)) row = -1;
  const int old = state.selection;
  if (old == row) return;
  state.selection = row;
  InvalidateRect(hwnd, nullptr, TRUE);
  if (Valid(state, old)) Notify(hwnd, LVN_ITEMCHANGED, old, 0, LVIS_SELECTED | LVIS_FOCUSED, state.rows[static_cast<std::size_t>(old)].data);
  // The parent may have changed the rows while it was told.
  if (row >= 0 && state.selection == row && Valid(state, row)) {
    Notify(hwnd, LVN_ITEMCHANGED, row, LVIS_SELECTED | LVIS_FOCUSED, 0, state.rows[static_cast<std::size_t>(row)].data);
  }
}

UINT StateOfRow(const ListViewState& state, int row) {
  return row == state.selection ? LVIS_SELECTED | LVIS_FOCUSED : 0;
}

void Paint(const ListViewState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  HBRUSH brush = ParentColors(hwnd, hdc, WM_CTLCOLORLISTBOX);
  FillRect(hdc, &client, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ previous = SelectObject(hdc, FontOr(state.font));
  SetBkMode(hdc, TRANSPARENT);
  const int height = RowHeight(state, hwnd);
  int iconWidth = 0, iconHeight = 0;
  ImageList_GetIconSize(state.small, &iconWidth, &iconHeight);
  const int margin = Scaled(2);
  for (int i = std::max(state.top, 0), y = 0; i < static_cast<int>(state.rows.size()) && y < client.bottom;
       ++i, y += height) {
    const ListViewRow& row = state.rows[static_cast<std::size_t>(i)];
    RECT box{client.left, y, client.right, y + height};
    const bool selected = i == state.selection;
    if (selected) FillRect(hdc, &box, GetSysColorBrush(COLOR_HIGHLIGHT));
    if (state.small != nullptr && row.image >= 0) {
      ImageList_Draw(state.small, row.image, hdc, box.left + margin, y + (height - iconHeight) / 2, ILD_TRANSPARENT);
    }
    SetTextColor(hdc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = box;
    text.left += margin + (state.small != nullptr ? iconWidth + Scaled(4) : 0);
    text.right -= margin;
    DrawTextW(hdc, row.text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  SelectObject(hdc, previous);
  EndPaint(hwnd, &paint);
}

int RowAt(const ListViewState& state, HWND hwnd, LPARAM lParam) {
  const int y = GET_Y_LPARAM(lParam);
  if (y < 0) return -1;
  const int row = state.top + y / RowHeight(state, hwnd);
  return Valid(state, row) ? row : -1;
}

void Tap(ListViewState& state, HWND hwnd, LPARAM lParam, bool twice) {
  SetFocus(hwnd);
  const int row = RowAt(state, hwnd, lParam);
  // A tap on the row that is already selected opens it, as a double tap does.
  const bool again = row >= 0 && row == state.selection;
  Select(state, hwnd, row);
  if (row < 0) return;
  const LPARAM data = state.rows[static_cast<std::size_t>(row)].data;
  Notify(hwnd, twice || again ? NM_DBLCLK : NM_CLICK, row, 0, 0, data);
}

void Key(ListViewState& state, HWND hwnd, WPARAM key) {
  const int count = static_cast<int>(state.rows.size());
  if (count == 0) return;
  int row = state.selection;
  if (key == VK_DOWN) row = row < 0 ? 0 : std::min(row + 1, count - 1);
  else if (key == VK_UP) row = row < 0 ? 0 : std::max(row - 1, 0);
  else if (key == VK_RETURN && Valid(state, row)) {
    Notify(hwnd, NM_RETURN, row, 0, 0, state.rows[static_cast<std::size_t>(row)].data);
    return;
  } else {
    return;
  }
  Select(state, hwnd, row);
  EnsureVisible(state, hwnd, row);
}

LRESULT Insert(ListViewState& state, HWND hwnd, const LVITEMW* item) {
  if (item == nullptr || item->iSubItem != 0 || state.rows.size() >= kMaxRows) return -1;
  ListViewRow row;
  if ((item->mask & LVIF_TEXT) && item->pszText != nullptr) row.text = item->pszText;
  if (item->mask & LVIF_IMAGE) row.image = item->iImage;
  if (item->mask & LVIF_PARAM) row.data = item->lParam;
  const int count = static_cast<int>(state.rows.size());
  const int at = item->iItem < 0 || item->iItem > count ? count : item->iItem;
  state.rows.insert(state.rows.begin() + at, std::move(row));
  if (state.selection >= at) ++state.selection;
  InvalidateRect(hwnd, nullptr, TRUE);
  if ((item->mask & LVIF_STATE) && (item->stateMask & item->state & LVIS_SELECTED)) Select(state, hwnd, at);
  return at;
}

void Delete(ListViewState& state, HWND hwnd, int row) {
  state.rows.erase(state.rows.begin() + row);
  if (state.selection == row) state.selection = -1;
  else if (state.selection > row) --state.selection;
  state.top = std::clamp(state.top, 0, std::max(0, static_cast<int>(state.rows.size()) - 1));
  InvalidateRect(hwnd, nullptr, TRUE);
}

BOOL SetItem(ListViewState& state, HWND hwnd, const LVITEMW* item) {
  if (item == nullptr || !Valid(state, item->iItem) || item->iSubItem != 0) return FALSE;
  ListViewRow& row = state.rows[static_cast<std::size_t>(item->iItem)];
  if (item->mask & LVIF_TEXT) row.text = item->pszText != nullptr ? item->pszText : u"";
  if (item->mask & LVIF_IMAGE) row.image = item->iImage;
  if (item->mask & LVIF_PARAM) row.data = item->lParam;
  InvalidateRect(hwnd, nullptr, TRUE);
  if ((item->mask & LVIF_STATE) && (item->stateMask & LVIS_SELECTED)) {
    if (item->state & LVIS_SELECTED) Select(state, hwnd, item->iItem);
    else if (state.selection == item->iItem) Select(state, hwnd, -1);
  }
  return TRUE;
}

LRESULT CopyText(const std::u16string& text, LVITEMW* item) {
  if (item == nullptr || item->pszText == nullptr || item->cchTextMax <= 0) return 0;
  const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item->cchTextMax - 1));
  std::copy_n(text.begin(), length, item->pszText);
  item->pszText[length] = 0;
  return static_cast<LRESULT>(length);
}

BOOL GetItem(const ListViewState& state, LVITEMW* item) {
  if (item == nullptr || !Valid(state, item->iItem)) return FALSE;
  const ListViewRow& row = state.rows[static_cast<std::size_t>(item->iItem)];
  if (item->mask & LVIF_TEXT) CopyText(row.text, item);
  if (item->mask & LVIF_IMAGE) item->iImage = row.image;
  if (item->mask & LVIF_PARAM) item->lParam = row.data;
  if (item->mask & LVIF_STATE) item->state = StateOfRow(state, item->iItem) & item->stateMask;
  return TRUE;
}

LRESULT SetState(ListViewState& state, HWND hwnd, int row, const LVITEMW* item) {
  if (item == nullptr || !(item->stateMask & LVIS_SELECTED)) return item != nullptr;
  const bool select = (item->state & LVIS_SELECTED) != 0;
  if (row == -1) {
    // One row at most is selected: "every row" can only take the selection away.
    if (!select) Select(state, hwnd, -1);
    return TRUE;
  }
  if (!Valid(state, row)) return FALSE;
  if (select) Select(state, hwnd, row);
  else if (state.selection == row) Select(state, hwnd, -1);
  return TRUE;
}

// Orders the rows by their data; the selection stays with its row.
BOOL Sort(ListViewState& state, HWND hwnd, LPARAM sort, PFNLVCOMPARE compare) {
  if (compare == nullptr) return FALSE;
  std::vector<std::pair<ListViewRow, bool>> rows;
  for (std::size_t i = 0; i < state.rows.size(); ++i) {
    rows.emplace_back(std::move(state.rows[i]), static_cast<int>(i) == state.selection);
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [&](const auto& a, const auto& b) { return compare(a.first.data, b.first.data, sort) < 0; });
  state.rows.clear();
  state.selection = -1;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].second) state.selection = static_cast<int>(i);
    state.rows.push_back(std::move(rows[i].first));
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT NextItem(const ListViewState& state, int after, UINT flags) {
  const int count = static_cast<int>(state.rows.size());
  for (int row = std::max(after + 1, 0); row < count; ++row) {
    if (!(flags & LVNI_SELECTED) || row == state.selection) return row;
  }
  return -1;
}

BOOL ItemRect(const ListViewState& state, HWND hwnd, int row, RECT* rect) {
  if (rect == nullptr || !Valid(state, row)) return FALSE;
  RECT client{};
  GetClientRect(hwnd, &client);
  const int height = RowHeight(state, hwnd);
  *rect = RECT{client.left, (row - state.top) * height, client.right, (row - state.top + 1) * height};
  return TRUE;
}

LRESULT Handle(ListViewState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const int row = static_cast<int>(static_cast<std::intptr_t>(wParam));
  switch (message) {
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT: state.font = reinterpret_cast<HFONT>(wParam); InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
    case WM_GETDLGCODE: return 0x0001;  // the arrow keys
    case WM_LBUTTONDOWN: Tap(state, hwnd, lParam, false); return 0;
    case WM_LBUTTONDBLCLK: Tap(state, hwnd, lParam, true); return 0;
    case WM_KEYDOWN: Key(state, hwnd, wParam); return 0;
    case LVM_SETIMAGELIST: {
      HIMAGELIST& slot = row == LVSIL_NORMAL ? state.normal : state.small;
      const HIMAGELIST old = std::exchange(slot, reinterpret_cast<HIMAGELIST>(lParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETIMAGELIST: return reinterpret_cast<LRESULT>(row == LVSIL_NORMAL ? state.normal : state.small);
    case LVM_GETITEMCOUNT: return static_cast<LRESULT>(state.rows.size());
    case LVM_INSERTITEMW: return Insert(state, hwnd, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_DELETEITEM:
      if (!Valid(state, row)) return FALSE;
      Delete(state, hwnd, row);
      return TRUE;
    case LVM_DELETEALLITEMS:
      state.rows.clear();
      state.selection = -1;
      state.top = 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case LVM_SETITEMW: return SetItem(state, hwnd, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_GETITEMW: return GetItem(state, reinterpret_cast<LVITEMW*>(lParam));
    case LVM_GETITEMTEXTW:
      return Valid(state, row) ? CopyText(state.rows[static_cast<std::size_t>(row)].text, reinterpret_cast<LVITEMW*>(lParam)) : 0;
    case LVM_SETITEMSTATE: return SetState(state, hwnd, row, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_GETITEMSTATE: return Valid(state, row) ? StateOfRow(state, row) & static_cast<UINT>(lParam) : 0;
    case LVM_GETNEXTITEM: return NextItem(state, row, static_cast<UINT>(lParam));
    case LVM_SORTITEMS: return Sort(state, hwnd, static_cast<LPARAM>(wParam), reinterpret_cast<PFNLVCOMPARE>(lParam));
    case LVM_ENSUREVISIBLE: EnsureVisible(state, hwnd, row); return Valid(state, row);
    case LVM_GETTOPINDEX: return state.top;
    case LVM_GETCOUNTPERPAGE: return RowsPerPage(state, hwnd);
    case LVM_GETITEMRECT: return ItemRect(state, hwnd, row, reinterpret_cast<RECT*>(lParam));
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT ListViewProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlProcedure<ListViewState>(hwnd, message, wParam, lParam, Handle);
}

}  // namespace

void RegisterListViewClass() { RegisterControlClass(WC_LISTVIEWW, ListViewProcedure, 0); }

}  // namespace platform::controls
