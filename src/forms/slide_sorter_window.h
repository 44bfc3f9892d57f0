// CpSlideWnd: the slide sorter's list, one row per slide with its thumbnail, its number, what it
// holds and a spin bar with its duration. A tap makes a slide current; a slide dragged onto another
// row moves there, and while it is dragged the list scrolls on a 1000 ms timer when the pen is at
// its top or bottom margin. The arrows step durations and the Up and Down keys move the selection.
#pragma once

#include <memory>
#include <vector>

#include "forms/slide_sorting.h"
#include "platform/gdi/gdi_raii.h"
#include "ui/spin_bar.h"
#include "ui/thumbnails.h"

inline constexpr UINT_PTR kSlideSorterDragTimer = 8226;
inline constexpr UINT kSlideSorterDragTimerMs = 1000;

class SlideSorterWindow : public CWndBase {
 public:
  explicit SlideSorterWindow(SlideSorting& sorting) : m_sorting(sorting) {}
  ~SlideSorterWindow() override;

  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  BOOL Create(HWND parent, const RECT& rect);
  // Makes the rows afresh from the slide list, the current slide in view.
  void Rebuild();
  // Shows the current slide's new duration or selection.
  void RefreshRow(int index);
  void SelectRow(int index);

  int rowHeight() const { return m_rowHeight; }
  int firstVisible() const { return m_first; }
  int VisibleRows() const;
  bool dragging() const { return m_dragging; }
  int dropTarget() const { return m_hover; }
  const SpinBar* spinBar(int index) const;
  const CThumbnailCell* thumbnail(int index) const;
  // Where a row lies in the window; empty outside the list.
  RECT RowRect(int index) const;

 protected:
  LRESULT OnGetDialogCode(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
  LRESULT OnSpinStep(WPARAM wParam, LPARAM lParam);
  LRESULT OnSpinValueTap(WPARAM wParam, LPARAM lParam);

 private:
  struct Row {
    std::unique_ptr<CThumbnailCell> thumbnail;
    std::unique_ptr<SpinBar> spin;
  };

  int RowAt(POINT point) const;
  RECT ThumbnailRect(int index) const;
  RECT SpinRect(int index) const;
  void ScrollTo(int first);
  void PlaceRows();
  void ShowDuration(int index);
  void EndDrag();
  void PaintRow(HDC hdc, int index);

  SlideSorting& m_sorting;
  std::vector<Row> m_rows;
  platform::gdi::UniqueFont m_font;
  int m_rowHeight = 1;
  int m_first = 0;
  bool m_pressed = false;
  bool m_dragging = false;
  int m_hover = -1;
  POINT m_pen{};
};
