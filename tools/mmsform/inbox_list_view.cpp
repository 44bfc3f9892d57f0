#include "inbox_list_view.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/gdi/gdi_raii.h"
#include "platform/window/screen.h"

namespace mmsform_tool {
namespace {

using platform::gdi::ScopedSelect;
using platform::gdi::UniqueFont;
using platform::window::ScaleForDensity;

constexpr int kLineHeight96 = 18;
constexpr int kFontPixels96 = 11;
constexpr int kCellPadding96 = 3;
constexpr std::array<const char16_t*, 3> kTitles = {u"Subject", u"Date", u"Size"};
// The sender's part, in percent, of what the date and the size leave; the subject has the rest.
constexpr int kSenderShare = 45;

int LineHeight() { return ScaleForDensity(kLineHeight96); }

UniqueFont MakeFont(LONG weight) {
  LOGFONTW log{};
  log.lfHeight = -ScaleForDensity(kFontPixels96);
  log.lfWeight = weight;
  std::memcpy(log.lfFaceName, u"Tahoma", sizeof(u"Tahoma"));
  return UniqueFont(CreateFontIndirectW(&log));
}

using ColumnEdges = std::array<int, 5>;

int TextWidth(HDC hdc, const char16_t* text) {
  RECT measured{0, 0, 0, 0};
  DrawTextW(hdc, text, -1, &measured, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  return measured.right - measured.left;
}

// The date and the size take what their widest text needs; sender and subject share the rest.
ColumnEdges Columns(HDC hdc, int width, const std::vector<InboxRow>& rows) {
  const int padding = 2 * ScaleForDensity(kCellPadding96);
  int date = TextWidth(hdc, kTitles[1]);
  int size = TextWidth(hdc, kTitles[2]);
  for (const InboxRow& row : rows) {
    date = std::max(date, TextWidth(hdc, row.date.c_str()));
    size = std::max(size, TextWidth(hdc, row.size.c_str()));
  }
  date = std::min(date + padding, width / 4);
  size = std::min(size + padding, width / 5);
  const int rest = std::max(0, width - date - size);
  const int sender = rest * kSenderShare / 100;
  return {0, sender, rest, rest + date, width};
}

void DrawCells(HDC hdc, const RECT& line, const ColumnEdges& edges, const std::array<const char16_t*, 4>& cells) {
  for (std::size_t i = 0; i < cells.size(); ++i) {
    RECT cell{line.left + edges[i] + ScaleForDensity(kCellPadding96), line.top,
              line.left + edges[i + 1] - ScaleForDensity(kCellPadding96), line.bottom};
    DrawTextW(hdc, cells[i], -1, &cell,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (i + 1 == cells.size() ? DT_RIGHT : DT_LEFT));
  }
}

}  // namespace

InboxListView::~InboxListView() {
  if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
}

bool InboxListView::Create(HWND parent, const RECT& rect) {
  WNDCLASSW info{};
  if (!GetClassInfoW(nullptr, kInboxListClass, &info)) {
    info.lpfnWndProc = &InboxListView::Procedure;
    info.lpszClassName = kInboxListClass;
    RegisterClassW(&info);
  }
  m_hwnd = CreateWindowExW(0, kInboxListClass, u"", WS_CHILD | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, nullptr, nullptr, nullptr);
  if (m_hwnd == nullptr) return false;
  SetWindowLongW(m_hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return true;
}

void InboxListView::SetRows(std::vector<InboxRow> rows) {
  m_rows = std::move(rows);
  m_top = 0;
  const int keep = std::max(0, m_selected);
  m_selected = -1;
  Select(keep);
  InvalidateRect(m_hwnd, nullptr, FALSE);
}

void InboxListView::SetPartyTitle(const char16_t* title) {
  m_partyTitle = title;
  InvalidateRect(m_hwnd, nullptr, FALSE);
}

LRESULT InboxListView::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* list = reinterpret_cast<InboxListView*>(GetWindowLongW(hwnd, GWL_USERDATA));
  if (list == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongW(hwnd, GWL_USERDATA, 0);
    list->m_hwnd = nullptr;
    return 0;
  }
  return list->OnMessage(message, wParam, lParam);
}

LRESULT InboxListView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_KEYDOWN:
      if (wParam == VK_UP) Select(m_selected - 1);
      if (wParam == VK_DOWN) Select(m_selected + 1);
      if (wParam == VK_RETURN) Open();
      return 0;
    case WM_LBUTTONDOWN: {
      SetFocus(m_hwnd);
      const int y = GET_Y_LPARAM(lParam);
      const int row = y < LineHeight() ? -1 : m_top + (y - LineHeight()) / LineHeight();
      if (row >= 0 && row < static_cast<int>(m_rows.size())) {
        Select(row);
        Open();
      }
      return 0;
    }
    default: return DefWindowProcW(m_hwnd, message, wParam, lParam);
  }
}

RECT InboxListView::RowRect(int row) const {
  RECT client{};
  GetClientRect(m_hwnd, &client);
  const int top = LineHeight() * (1 + row - m_top);
  return RECT{0, top, client.right, top + LineHeight()};
}

int InboxListView::VisibleRows() const {
  RECT client{};
  GetClientRect(m_hwnd, &client);
  return std::max(1, static_cast<int>(client.bottom - LineHeight()) / LineHeight());
}

void InboxListView::Select(int row) {
  if (m_rows.empty()) return;
  m_selected = std::clamp(row, 0, static_cast<int>(m_rows.size()) - 1);
  // The selection stays in view.
  const int visible = VisibleRows();
  if (m_selected < m_top) m_top = m_selected;
  if (m_selected >= m_top + visible) m_top = m_selected - visible + 1;
  InvalidateRect(m_hwnd, nullptr, FALSE);
}

void InboxListView::Open() {
  if (m_selected >= 0) SendMessageW(GetParent(m_hwnd), kInboxOpenRow, static_cast<WPARAM>(m_selected), 0);
}

void InboxListView::Paint() {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(m_hwnd, &paint);
  RECT client{};
  GetClientRect(m_hwnd, &client);
  FillRect(hdc, &client, GetSysColorBrush(COLOR_WINDOW));
  SetBkMode(hdc, TRANSPARENT);
  const int height = LineHeight();
  RECT header{0, 0, client.right, height};
  FillRect(hdc, &header, GetSysColorBrush(COLOR_BTNFACE));
  UniqueFont normal = MakeFont(FW_NORMAL);
  ScopedSelect select(hdc, normal.Get());
  const ColumnEdges edges = Columns(hdc, client.right, m_rows);
  {
    UniqueFont bold = MakeFont(FW_BOLD);
    ScopedSelect boldSelect(hdc, bold.Get());
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    DrawCells(hdc, header, edges, {m_partyTitle, kTitles[0], kTitles[1], kTitles[2]});
  }
  if (m_rows.empty()) {
    RECT empty{0, height, client.right, height * 3};
    SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(hdc, u"No messages", -1, &empty, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
  for (int i = m_top; i < static_cast<int>(m_rows.size()); ++i) {
    const RECT line = RowRect(i);
    if (line.top >= client.bottom) break;
    const bool selected = i == m_selected;
    if (selected) FillRect(hdc, &line, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(hdc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const InboxRow& row = m_rows[static_cast<std::size_t>(i)];
    DrawCells(hdc, line, edges, {row.sender.c_str(), row.subject.c_str(), row.date.c_str(), row.size.c_str()});
  }
  EndPaint(m_hwnd, &paint);
}

}  // namespace mmsform_tool
