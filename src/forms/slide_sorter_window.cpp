#include "forms/slide_sorter_window.h"

#include <algorithm>

#include "presentation/slide_builder.h"
#include "transport/mms_global.h"
#include "transport/resource_module.h"
#include "ui/density.h"

namespace {

constexpr UINT kSlideNumberText = 40369;
constexpr UINT kPictureName = 41250;
constexpr UINT kSoundName = 41251;
constexpr UINT kVideoName = 41252;
constexpr UINT kTextName = 41253;
constexpr UINT kFirstThumbnailId = 100;
constexpr int kLabelFont = 1;

constexpr COLORREF kCurrentRowColour = RGB(220, 232, 248);
constexpr COLORREF kDropTargetColour = RGB(0, 96, 192);
constexpr COLORREF kRuleColour = RGB(208, 208, 208);
constexpr COLORREF kKindsColour = RGB(96, 96, 96);

// How far the pen must move from where it went down before a press becomes a drag.
int DragSlop() { return ScaleY(4); }
// The bands at the top and bottom of the list where a drag scrolls it.
int ScrollMargin() { return ScaleY(12); }

// The names of what the slide holds, as "Picture, Text".
CString Kinds(const Slide& slide) {
  CString kinds;
  auto add = [&kinds](UINT id) {
    if (!kinds.IsEmpty()) kinds += u", ";
    kinds += transport::LoadResourceString(id).GetString();
  };
  if (slide.video) {
    add(kVideoName);
  } else if (slide.image) {
    add(kPictureName);
  }
  if (slide.text) add(kTextName);
  if (slide.audio && !slide.video) add(kSoundName);
  return kinds;
}

void FillColour(HDC hdc, const RECT& area, COLORREF colour) {
  platform::gdi::UniqueBrush brush(CreateSolidBrush(colour));
  FillRect(hdc, &area, brush.Get());
}

}  // namespace

SlideSorterWindow::~SlideSorterWindow() {
  if (IsWindow()) KillTimer(kSlideSorterDragTimer);
}

const MessageMap* SlideSorterWindow::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(kGetDialogCode, &SlideSorterWindow::OnGetDialogCode),
      OnMessage(WM_KEYDOWN, &SlideSorterWindow::OnKeyDown),
      OnMessage(WM_LBUTTONDOWN, &SlideSorterWindow::OnLButtonDown),
      OnMessage(WM_MOUSEMOVE, &SlideSorterWindow::OnMouseMove),
      OnMessage(WM_LBUTTONUP, &SlideSorterWindow::OnLButtonUp),
      OnMessage(WM_CAPTURECHANGED, &SlideSorterWindow::OnCaptureChanged),
      OnMessage(WM_TIMER, &SlideSorterWindow::OnTimer),
      OnMessage(kSpinBarStepMessage, &SlideSorterWindow::OnSpinStep),
      OnMessage(kSpinBarValueTapMessage, &SlideSorterWindow::OnSpinValueTap),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL SlideSorterWindow::Create(HWND parent, const RECT& rect) {
  m_rowHeight = ScaleY(58);
  if (!CWndBase::Create(u"CpSlideWnd", nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, nullptr, parent, 0, kWhiteBackground)) {
    return FALSE;
  }
  m_font.Reset(transport::CreateUiFont(kLabelFont, 12));
  Rebuild();
  return TRUE;
}

int SlideSorterWindow::VisibleRows() const {
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  return std::max(1, static_cast<int>(client.bottom - client.top) / m_rowHeight);
}

RECT SlideSorterWindow::RowRect(int index) const {
  if (index < 0 || index >= m_sorting.count()) return RECT{};
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  const int top = (index - m_first) * m_rowHeight;
  return RECT{0, top, client.right, top + m_rowHeight};
}

const SpinBar* SlideSorterWindow::spinBar(int index) const {
  return index >= 0 && index < static_cast<int>(m_rows.size()) ? m_rows[static_cast<size_t>(index)].spin.get()
                                                               : nullptr;
}

const CThumbnailCell* SlideSorterWindow::thumbnail(int index) const {
  return index >= 0 && index < static_cast<int>(m_rows.size()) ? m_rows[static_cast<size_t>(index)].thumbnail.get()
                                                               : nullptr;
}

void SlideSorterWindow::Rebuild() {
  m_rows.clear();
  m_first = std::clamp(m_first, 0, std::max(0, m_sorting.count() - VisibleRows()));
  ULC_VideoEngine* video = ULC_Global::GetGlobal()->InitVideoInstance();
  const CString& folder = m_sorting.model().partFolder;
  for (int i = 0; i < m_sorting.count(); ++i) {
    Row row;
    row.thumbnail = std::make_unique<CThumbnailCell>(video);
    row.spin = std::make_unique<SpinBar>();
    // Both lay out their insides when they are made, so they are made at their final size.
    const RECT thumbnailRect = ThumbnailRect(i), spinRect = SpinRect(i);
    if (!row.thumbnail->Create(GetHandle(), thumbnailRect, kFirstThumbnailId + static_cast<UINT>(i)) ||
        !row.spin->Create(nullptr, GetHandle(), &spinRect, FALSE)) {
      continue;
    }
    // The thumbnail only shows; taps on it belong to the list, which drags the row.
    ::EnableWindow(row.thumbnail->GetHandle(), FALSE);
    const Slide& slide = m_sorting.slide(i);
    const std::optional<MediaRef>& visual = slide.video ? slide.video : slide.image;
    if (visual && visual->part != nullptr) {
      row.thumbnail->Load(PartPath(folder.View(), *visual->part).c_str(), visual->part->type);
    }
    row.thumbnail->SetSelected(i == m_sorting.current());
    m_rows.push_back(std::move(row));
    ShowDuration(i);
  }
  SelectRow(m_sorting.current());
  InvalidateRect(nullptr, TRUE);
}

RECT SlideSorterWindow::ThumbnailRect(int index) const {
  const int top = (index - m_first) * m_rowHeight;
  return RECT{ScaleX(4), top + ScaleY(3), ScaleX(60), top + m_rowHeight - ScaleY(3)};
}

RECT SlideSorterWindow::SpinRect(int index) const {
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  const int top = (index - m_first) * m_rowHeight;
  return RECT{ScaleX(66), top + ScaleY(36), client.right - ScaleX(6), top + ScaleY(54)};
}

void SlideSorterWindow::PlaceRows() {
  for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
    Row& row = m_rows[static_cast<size_t>(i)];
    for (auto [window, rect] : {std::pair{row.thumbnail->GetHandle(), ThumbnailRect(i)},
                                std::pair{row.spin->GetHandle(), SpinRect(i)}}) {
      MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    }
  }
}

void SlideSorterWindow::ScrollTo(int first) {
  first = std::clamp(first, 0, std::max(0, m_sorting.count() - VisibleRows()));
  if (first == m_first) return;
  m_first = first;
  PlaceRows();
  InvalidateRect(nullptr, TRUE);
}

void SlideSorterWindow::ShowDuration(int index) {
  if (index < 0 || index >= static_cast<int>(m_rows.size())) return;
  SpinBar& spin = *m_rows[static_cast<size_t>(index)].spin;
  CString text;
  text.Format(u"%ds", ShownSeconds(m_sorting.slide(index).duration));
  spin.SetText(text.GetString(), static_cast<DWORD>(index), FALSE);
  const bool shortest = m_sorting.AtShortest(index), longest = m_sorting.AtLongest(index);
  spin.SetState(shortest && longest ? kSpinDisabled
                : shortest          ? kSpinAtMinimum
                : longest           ? kSpinAtMaximum
                                    : kSpinBothActive);
}

void SlideSorterWindow::RefreshRow(int index) {
  ShowDuration(index);
  const RECT row = RowRect(index);
  InvalidateRect(&row, TRUE);
}

void SlideSorterWindow::SelectRow(int index) {
  if (index < 0 || index >= m_sorting.count()) return;
  m_sorting.Select(index);
  for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
    m_rows[static_cast<size_t>(i)].thumbnail->SetSelected(i == index);
  }
  if (index < m_first) {
    ScrollTo(index);
  } else if (index >= m_first + VisibleRows()) {
    ScrollTo(index - VisibleRows() + 1);
  }
  InvalidateRect(nullptr, TRUE);
}

int SlideSorterWindow::RowAt(POINT point) const {
  RECT client{};
  ::GetClientRect(GetHandle(), &client);
  if (point.y < 0 || point.y >= client.bottom || point.x < 0 || point.x >= client.right) return -1;
  const int index = m_first + static_cast<int>(point.y) / m_rowHeight;
  return index < m_sorting.count() ? index : -1;
}

BOOL SlideSorterWindow::OnPaint(HDC hdc, PAINTSTRUCT*) {
  const int last = std::min(m_sorting.count(), m_first + VisibleRows() + 1);
  HGDIOBJ previousFont = m_font ? SelectObject(hdc, m_font.Get()) : nullptr;
  SetBkMode(hdc, TRANSPARENT);
  for (int i = m_first; i < last; ++i) PaintRow(hdc, i);
  if (previousFont != nullptr) SelectObject(hdc, previousFont);
  return TRUE;
}

void SlideSorterWindow::PaintRow(HDC hdc, int index) {
  const RECT row = RowRect(index);
  if (index == m_sorting.current()) FillColour(hdc, row, kCurrentRowColour);
  if (m_dragging && index == m_hover && index != m_sorting.current()) {
    platform::gdi::UniqueBrush brush(CreateSolidBrush(kDropTargetColour));
    for (int ring = 0; ring < ScaleX(2); ++ring) {
      RECT frame{row.left + ring, row.top + ring, row.right - ring, row.bottom - ring};
      FrameRect(hdc, &frame, brush.Get());
    }
  }
  FillColour(hdc, RECT{row.left, row.bottom - 1, row.right, row.bottom}, kRuleColour);
  CString number;
  number.Format(transport::LoadResourceString(kSlideNumberText).GetString(), index + 1);
  RECT label{ScaleX(66), row.top + ScaleY(3), row.right - ScaleX(6), row.top + ScaleY(18)};
  SetTextColor(hdc, RGB(0, 0, 0));
  DrawTextW(hdc, number.GetString(), number.GetLength(), &label, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  const CString kinds = Kinds(m_sorting.slide(index));
  RECT kindsLine{ScaleX(66), row.top + ScaleY(18), row.right - ScaleX(6), row.top + ScaleY(34)};
  SetTextColor(hdc, kKindsColour);
  DrawTextW(hdc, kinds.GetString(), kinds.GetLength(), &kindsLine, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

LRESULT SlideSorterWindow::OnGetDialogCode(WPARAM, LPARAM) { return 1; }

LRESULT SlideSorterWindow::OnKeyDown(WPARAM wParam, LPARAM) {
  const int current = m_sorting.current();
  switch (wParam) {
    case VK_UP: SelectRow(current - 1); break;
    case VK_DOWN: SelectRow(current + 1); break;
    case VK_LEFT:
    case VK_RIGHT:
      if (m_sorting.StepDuration(current, wParam == VK_RIGHT)) RefreshRow(current);
      break;
    default: break;
  }
  return 0;
}

LRESULT SlideSorterWindow::OnLButtonDown(WPARAM, LPARAM lParam) {
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  SetFocus();
  const int row = RowAt(point);
  if (row < 0) return 0;
  SelectRow(row);
  m_pressed = true;
  m_dragging = false;
  m_hover = row;
  m_pen = point;
  SetCapture();
  return 0;
}

LRESULT SlideSorterWindow::OnMouseMove(WPARAM, LPARAM lParam) {
  if (!m_pressed) return 0;
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (!m_dragging && std::abs(point.y - m_pen.y) <= DragSlop() && std::abs(point.x - m_pen.x) <= DragSlop()) {
    return 0;
  }
  if (!m_dragging) {
    m_dragging = true;
    SetTimer(kSlideSorterDragTimer, kSlideSorterDragTimerMs, nullptr);
  }
  m_pen = point;
  const int hover = RowAt(point);
  if (hover != m_hover) {
    m_hover = hover;
    InvalidateRect(nullptr, TRUE);
  }
  return 0;
}

void SlideSorterWindow::EndDrag() {
  const bool held = m_pressed;
  m_pressed = false;
  m_dragging = false;
  m_hover = -1;
  KillTimer(kSlideSorterDragTimer);
  if (held && GetCapture() == GetHandle()) ReleaseCapture();
  InvalidateRect(nullptr, TRUE);
}

LRESULT SlideSorterWindow::OnLButtonUp(WPARAM, LPARAM lParam) {
  if (!m_pressed) return 0;
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  const bool dropped = m_dragging;
  const int target = dropped ? RowAt(point) : -1;
  EndDrag();
  if (dropped && target >= 0 && m_sorting.MoveCurrentTo(target)) Rebuild();
  return 0;
}

// Another window took the pen: the drag ends where it is, and nothing moves.
LRESULT SlideSorterWindow::OnCaptureChanged(WPARAM, LPARAM lParam) {
  if (m_pressed && reinterpret_cast<HWND>(lParam) != GetHandle()) EndDrag();
  return 0;
}

LRESULT SlideSorterWindow::OnTimer(WPARAM wParam, LPARAM lParam) {
  if (wParam != kSlideSorterDragTimer) return DefWindowProcW(GetHandle(), WM_TIMER, wParam, lParam);
  if (!m_dragging) {
    KillTimer(kSlideSorterDragTimer);
    return 0;
  }
  RECT client{};
  GetClientRect(&client);
  if (m_pen.y < ScrollMargin()) {
    ScrollTo(m_first - 1);
  } else if (m_pen.y >= client.bottom - ScrollMargin()) {
    ScrollTo(m_first + 1);
  }
  m_hover = RowAt(m_pen);
  InvalidateRect(nullptr, TRUE);
  return 0;
}

// The left arrow (VK_UP) shortens the row's slide by a second, the right one (VK_DOWN) lengthens it.
LRESULT SlideSorterWindow::OnSpinStep(WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(lParam);
  if (wParam != VK_UP && wParam != VK_DOWN) return 0;
  SelectRow(index);
  if (m_sorting.StepDuration(index, wParam == VK_DOWN)) RefreshRow(index);
  return 0;
}

LRESULT SlideSorterWindow::OnSpinValueTap(WPARAM, LPARAM lParam) {
  SelectRow(static_cast<int>(lParam));
  return 0;
}
