// A window that shows its entries as a grid of equal cells laid out row by row, one selected, and
// scrolled by whole rows to keep the selection in view. The arrow keys move the selection, a tap
// selects, and a tap on the selected cell (or the action key) chooses it, which the parent hears
// as IDOK. Subclasses say how many entries there are, how big a cell is and how one is drawn.
#pragma once

#include "ui/wnd_base.h"

class CCellGrid : public CWndBase {
 public:
  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;

  virtual int Count() const = 0;
  int Selection() const { return m_selection; }
  // Selects an entry (clamped to the entries), scrolling it into view; nothing without entries.
  void Select(int index);
  // The entry's cell in client coordinates, as the grid is scrolled now.
  RECT CellRect(int index) const;
  int Columns() const;

 protected:
  virtual SIZE CellSize() const = 0;
  // Draws one cell that is at least partly in view; the client is already white behind it.
  virtual void DrawCell(HDC hdc, int index, const RECT& cell, bool selected) const = 0;

  // After the entries changed: the selection and the scrolling stay within them.
  void KeepWithinEntries();
  void SetSelection(int index) { m_selection = index; }

  LRESULT OnGetDialogCode(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);

 private:
  int VisibleRows() const;
  void ScrollIntoView(int index);

  int m_selection = -1;
  int m_firstRow = 0;
};
