#include "ui/thumbnails.h"

#include <algorithm>

namespace {

// The cell's own command to its strip: the cell was tapped.
constexpr WORD kCellTapped = 2;
constexpr int kFrameWidth = 2;
constexpr COLORREF kSelectionColour = RGB(0, 96, 192);
constexpr COLORREF kCellColour = RGB(192, 192, 192);

constexpr int kScrollLineUp = 0;
constexpr int kScrollLineDown = 1;
constexpr int kScrollPageUp = 2;
constexpr int kScrollPageDown = 3;
constexpr int kScrollThumbPosition = 4;
constexpr int kScrollThumbTrack = 5;
constexpr int kScrollTop = 6;
constexpr int kScrollBottom = 7;

}  // namespace

const MessageMap* CThumbnailCell::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(kGetDialogCode, &CThumbnailCell::OnGetDialogCode),
      OnMessage(WM_LBUTTONDOWN, &CThumbnailCell::OnLButtonDown),
      OnMessage(WM_KEYDOWN, &CThumbnailCell::OnKeyDown),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CThumbnailCell::Create(HWND parent, const RECT& rect, UINT controlId) {
  if (!CWndBase::Create(u"CLS_ULC_THUMBNAIL", nullptr, WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, nullptr, parent, controlId, kWhiteBackground)) {
    return FALSE;
  }
  RECT inner{kFrameWidth, kFrameWidth, rect.right - rect.left - kFrameWidth, rect.bottom - rect.top - kFrameWidth};
  return m_view.Create(GetHandle(), inner, 1);
}

BOOL CThumbnailCell::Load(LPCWSTR path, MediaType type) {
  int result = 0;
  BOOL loaded = m_view.Load(path, type, &result, TRUE, 0, 0);
  InvalidateRect(nullptr, TRUE);
  return loaded;
}

void CThumbnailCell::SetSelected(bool selected) {
  if (m_selected == selected) return;
  m_selected = selected;
  InvalidateRect(nullptr, TRUE);
}

BOOL CThumbnailCell::OnPaint(HDC hdc, PAINTSTRUCT*) {
  RECT client{};
  GetClientRect(&client);
  platform::gdi::UniqueBrush brush(CreateSolidBrush(m_selected ? kSelectionColour : kCellColour));
  for (int i = 0; i < kFrameWidth; ++i) {
    RECT ring{client.left + i, client.top + i, client.right - i, client.bottom - i};
    FrameRect(hdc, &ring, brush.Get());
  }
  return TRUE;
}

LRESULT CThumbnailCell::OnGetDialogCode(WPARAM, LPARAM) { return 1; }

LRESULT CThumbnailCell::OnLButtonDown(WPARAM, LPARAM) {
  SetFocus();
  HWND parent = GetParent();
  if (parent != nullptr) {
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(GetHandle()), kCellTapped),
                 reinterpret_cast<LPARAM>(GetHandle()));
  }
  return 0;
}

// Arrow keys belong to the strip, which moves the selection.
LRESULT CThumbnailCell::OnKeyDown(WPARAM wParam, LPARAM lParam) {
  HWND parent = GetParent();
  return parent != nullptr ? SendMessageW(parent, WM_KEYDOWN, wParam, lParam) : 0;
}

const MessageMap* CThumbnailStrip::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(kGetDialogCode, &CThumbnailStrip::OnGetDialogCode),
      OnMessage(WM_KEYDOWN, &CThumbnailStrip::OnKeyDown),
      OnMessage(WM_VSCROLL, &CThumbnailStrip::OnVScroll),
      OnMessage(WM_LBUTTONDOWN, &CThumbnailStrip::OnLButtonDown),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL CThumbnailStrip::Create(HWND parent, const RECT& rect, UINT controlId, int cellHeight) {
  m_cellHeight = std::max(cellHeight, 1);
  m_id = controlId;
  return CWndBase::Create(u"CLS_ULC_THUMBWND", nullptr, WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, nullptr, parent, controlId, kWhiteBackground);
}

int CThumbnailStrip::Add(LPCWSTR path, MediaType type) {
  RECT client{};
  GetClientRect(&client);
  int index = count();
  auto cell = std::make_unique<CThumbnailCell>(m_video);
  int top = (index - m_first) * m_cellHeight;
  if (!cell->Create(GetHandle(), RECT{0, top, client.right, top + m_cellHeight}, static_cast<UINT>(100 + index))) {
    return -1;
  }
  cell->Load(path, type);
  m_cells.push_back(std::move(cell));
  if (m_selection < 0) Select(0);
  return index;
}

const CThumbnailCell* CThumbnailStrip::cell(int index) const {
  return index >= 0 && index < count() ? m_cells[static_cast<size_t>(index)].get() : nullptr;
}

int CThumbnailStrip::VisibleCells() const {
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  return std::max(1, static_cast<int>(client.bottom - client.top) / m_cellHeight);
}

void CThumbnailStrip::Layout() {
  RECT client{};
  GetClientRect(&client);
  for (int i = 0; i < count(); ++i) {
    int top = (i - m_first) * m_cellHeight;
    MoveWindow(m_cells[static_cast<size_t>(i)]->GetHandle(), 0, top, client.right, m_cellHeight, TRUE);
  }
}

void CThumbnailStrip::ScrollTo(int first) {
  first = std::clamp(first, 0, std::max(0, count() - VisibleCells()));
  if (first == m_first) return;
  m_first = first;
  Layout();
}

void CThumbnailStrip::Select(int index) {
  if (count() == 0) return;
  index = std::clamp(index, 0, count() - 1);
  if (index < m_first) ScrollTo(index);
  if (index >= m_first + VisibleCells()) ScrollTo(index - VisibleCells() + 1);
  if (index == m_selection) return;
  if (m_selection >= 0 && m_selection < count()) m_cells[static_cast<size_t>(m_selection)]->SetSelected(false);
  m_selection = index;
  m_cells[static_cast<size_t>(index)]->SetSelected(true);
  HWND parent = GetParent();
  if (parent != nullptr) {
    PostMessageW(parent, WM_COMMAND, MAKEWPARAM(m_id, kThumbnailSelectionChanged), reinterpret_cast<LPARAM>(GetHandle()));
  }
}

LRESULT CThumbnailStrip::OnGetDialogCode(WPARAM, LPARAM) { return 1; }

LRESULT CThumbnailStrip::OnKeyDown(WPARAM wParam, LPARAM) {
  switch (wParam) {
    case VK_UP:
    case VK_LEFT: Select(m_selection - 1); return 0;
    case VK_DOWN:
    case VK_RIGHT: Select(m_selection + 1); return 0;
    default: return 0;
  }
}

LRESULT CThumbnailStrip::OnVScroll(WPARAM wParam, LPARAM) {
  int page = VisibleCells();
  switch (LOWORD(wParam)) {
    case kScrollLineUp: ScrollTo(m_first - 1); break;
    case kScrollLineDown: ScrollTo(m_first + 1); break;
    case kScrollPageUp: ScrollTo(m_first - page); break;
    case kScrollPageDown: ScrollTo(m_first + page); break;
    case kScrollThumbPosition:
    case kScrollThumbTrack: ScrollTo(HIWORD(wParam)); break;
    case kScrollTop: ScrollTo(0); break;
    case kScrollBottom: ScrollTo(count()); break;
    default: break;
  }
  return 0;
}

LRESULT CThumbnailStrip::OnLButtonDown(WPARAM, LPARAM lParam) {
  SetFocus();
  int index = m_first + GET_Y_LPARAM(lParam) / m_cellHeight;
  if (index < count()) Select(index);
  return 0;
}

LRESULT CThumbnailStrip::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == kCellTapped) {
    for (int i = 0; i < count(); ++i) {
      if (m_cells[static_cast<size_t>(i)]->GetHandle() == reinterpret_cast<HWND>(lParam)) Select(i);
    }
    return 0;
  }
  return CWndBase::OnCommand(wParam, lParam);
}
