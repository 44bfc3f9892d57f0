// The thumbnail windows of the slide lists: a cell ("CLS_ULC_THUMBNAIL") that shows one object's
// still through an image view in thumbnail mode, and a strip ("CLS_ULC_THUMBWND") of cells, one
// above the other, with a selection that follows the arrow keys, taps and vertical scrolling. Both
// take the focus and ask for every key. The strip tells its parent of a new selection with
// WM_COMMAND (its control identifier, kThumbnailSelectionChanged).
#pragma once

#include <memory>
#include <vector>

#include "platform/gdi/gdi_raii.h"
#include "ui/image_view.h"

inline constexpr WORD kThumbnailSelectionChanged = 1;
// WM_GETDLGCODE, answered with 1: every key comes to the window.
inline constexpr UINT kGetDialogCode = 0x0087;

class CThumbnailCell : public CWndBase {
 public:
  explicit CThumbnailCell(ULC_VideoEngine* videoEngine) : m_view(nullptr, videoEngine) {}

  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  BOOL Create(HWND parent, const RECT& rect, UINT controlId);
  // The still of the object; the cell stays empty (and says so) when there is none.
  BOOL Load(LPCWSTR path, MediaType type);
  void SetSelected(bool selected);
  bool selected() const { return m_selected; }
  const CImageView& view() const { return m_view; }

 protected:
  LRESULT OnGetDialogCode(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);

 private:
  CImageView m_view;
  bool m_selected = false;
};

class CThumbnailStrip : public CWndBase {
 public:
  explicit CThumbnailStrip(ULC_VideoEngine* videoEngine) : m_video(videoEngine) {}

  const MessageMap* GetMessageMap() const override;

  // Cells are as wide as the strip and `cellHeight` high.
  BOOL Create(HWND parent, const RECT& rect, UINT controlId, int cellHeight);
  // Appends a cell for the object; its index, or -1.
  int Add(LPCWSTR path, MediaType type);
  int count() const { return static_cast<int>(m_cells.size()); }
  int selection() const { return m_selection; }
  int firstVisible() const { return m_first; }
  // Selects a cell, scrolling it into view; tells the parent when the selection changed.
  void Select(int index);
  const CThumbnailCell* cell(int index) const;

 protected:
  LRESULT OnGetDialogCode(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  int VisibleCells() const;
  void ScrollTo(int first);
  void Layout();

  ULC_VideoEngine* m_video;
  std::vector<std::unique_ptr<CThumbnailCell>> m_cells;
  int m_cellHeight = 1;
  int m_selection = -1;
  int m_first = 0;
  UINT m_id = 0;
};
