#include "ui/cell_grid.h"

#include <algorithm>
#include <optional>

#include "platform/controls/control_messages.h"
#include "platform/gdi/gdi_api.h"
#include "platform/window/messages.h"

namespace {

// The cell an arrow key moves the selection to; nothing for any other key.
std::optional<int> ArrowTarget(UINT key, int selection, int columns) {
  switch (key) {
    case VK_LEFT: return selection - 1;
    case VK_RIGHT: return selection + 1;
    case VK_UP: return selection - columns;
    case VK_DOWN: return selection + columns;
    default: return std::nullopt;
  }
}

}  // namespace

const MessageMap* CCellGrid::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_GETDLGCODE, &CCellGrid::OnGetDialogCode),
      OnMessage(WM_KEYDOWN, &CCellGrid::OnKeyDown),
      OnMessage(WM_LBUTTONDOWN, &CCellGrid::OnLButtonDown),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

int CCellGrid::Columns() const {
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  return std::max(1, static_cast<int>(client.right - client.left) / std::max(1, static_cast<int>(CellSize().cx)));
}

int CCellGrid::VisibleRows() const {
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  return std::max(1, static_cast<int>(client.bottom - client.top) / std::max(1, static_cast<int>(CellSize().cy)));
}

RECT CCellGrid::CellRect(int index) const {
  const SIZE size = CellSize();
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  const int columns = Columns();
  // The columns stand in the middle of the width.
  const int left = (client.right - columns * size.cx) / 2 + (index % columns) * size.cx;
  const int top = (index / columns - m_firstRow) * size.cy;
  return RECT{left, top, left + size.cx, top + size.cy};
}

BOOL CCellGrid::OnPaint(HDC hdc, PAINTSTRUCT*) {
  RECT client{};
  GetClientRect(&client);
  FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int count = Count();
  for (int i = 0; i < count; ++i) {
    const RECT cell = CellRect(i);
    if (cell.bottom <= 0 || cell.top >= client.bottom) continue;
    DrawCell(hdc, i, cell, i == m_selection);
  }
  return TRUE;
}

void CCellGrid::ScrollIntoView(int index) {
  if (index < 0) return;
  const int row = index / Columns();
  const int rows = VisibleRows();
  if (row < m_firstRow) m_firstRow = row;
  if (row >= m_firstRow + rows) m_firstRow = row - rows + 1;
}

void CCellGrid::Select(int index) {
  const int count = Count();
  if (count == 0) return;
  m_selection = std::clamp(index, 0, count - 1);
  ScrollIntoView(m_selection);
  InvalidateRect(nullptr, FALSE);
}

void CCellGrid::KeepWithinEntries() {
  const int count = Count();
  if (count == 0) {
    m_selection = -1;
    m_firstRow = 0;
    return;
  }
  m_selection = std::clamp(m_selection, 0, count - 1);
  m_firstRow = std::min(m_firstRow, (count - 1) / Columns());
  ScrollIntoView(m_selection);
}

LRESULT CCellGrid::OnGetDialogCode(WPARAM, LPARAM) { return 1; }

LRESULT CCellGrid::OnKeyDown(WPARAM wParam, LPARAM) {
  if (const std::optional<int> target = ArrowTarget(static_cast<UINT>(wParam), m_selection, Columns())) {
    Select(*target);
  } else if (wParam == VK_RETURN && m_selection >= 0) {
    ::PostMessageW(GetParent(), WM_COMMAND, IDOK, 0);
  }
  return 0;
}

LRESULT CCellGrid::OnLButtonDown(WPARAM, LPARAM lParam) {
  SetFocus();
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const int count = Count();
  for (int i = 0; i < count; ++i) {
    const RECT cell = CellRect(i);
    if (!PtInRect(&cell, point)) continue;
    if (i == m_selection) {
      ::PostMessageW(GetParent(), WM_COMMAND, IDOK, 0);
    } else {
      Select(i);
    }
    break;
  }
  return 0;
}
