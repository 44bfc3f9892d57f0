// The inbox's message list: a report view of the host's own window class, one line a message
// under a header of column titles (sender or recipient, subject, date, size). Up and Down move the selection;
// Enter or a tap on a row asks the parent to open it.
#pragma once

#include <string>
#include <vector>

#include "platform/window/window_api.h"

namespace mmsform_tool {

// A class of the host's own: the platform's list view ("SysListView32") is another control.
constexpr const WCHAR* kInboxListClass = u"MMSFormInboxList";
// Sent to the parent to open a row: wParam is its index.
constexpr UINT kInboxOpenRow = WM_APP + 1;

struct InboxRow {
  std::u16string sender;
  std::u16string subject;
  std::u16string date;
  std::u16string size;
};

// The list's window and its rows; the owner keeps the object for as long as the window lives.
class InboxListView {
 public:
  InboxListView() = default;
  ~InboxListView();
  InboxListView(const InboxListView&) = delete;
  InboxListView& operator=(const InboxListView&) = delete;

  // A visible child list over `rect` of the parent's client area.
  bool Create(HWND parent, const RECT& rect);
  HWND Handle() const { return m_hwnd; }
  // Replaces the rows; the selection stays on the same index when it still exists.
  void SetRows(std::vector<InboxRow> rows);
  // The first column's title: who sent the messages shown ("From"), or whom they go to ("To").
  void SetPartyTitle(const char16_t* title);
  // The selected row, -1 when there is none.
  int Selection() const { return m_selected; }
  // Where row `row` is drawn, in the list's client coordinates (it may lie outside the list).
  RECT RowRect(int row) const;

 private:
  static LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void Select(int row);
  void Open();
  int VisibleRows() const;

  HWND m_hwnd = nullptr;
  std::vector<InboxRow> m_rows;
  int m_selected = -1;
  int m_top = 0;  // the first row shown
  const char16_t* m_partyTitle = u"From";
};

}  // namespace mmsform_tool
