// The host's inbox: a top-level window of class "Inbox.MainWnd" holding the list of the messages
// stored in the Inbox folder. Opening a row reads it in the read form; when the form closes, the
// inbox is in front again with its list read anew.
#pragma once

#include <vector>

#include "forms/store_message.h"
#include "inbox_list_view.h"
#include "read_session.h"

namespace mmsform_tool {

constexpr const WCHAR* kInboxClass = u"Inbox.MainWnd";

class InboxWindow {
 public:
  explicit InboxWindow(const FormModule& module) : m_session(module) {}
  ~InboxWindow();
  InboxWindow(const InboxWindow&) = delete;
  InboxWindow& operator=(const InboxWindow&) = delete;

  // Makes the window over the screen below the shell's title bar, with the list filled and focused.
  bool Create(IMsgStore* store);
  HWND Handle() const { return m_hwnd; }
  std::size_t MessageCount() const { return m_entries.size(); }
  // Opens row `row` in the read form; false when it is no row or a form is open already.
  bool OpenRow(int row);
  // Closes a form that is still open.
  void CloseForm() { m_session.Close(); }
  // Prints, one JSON line, that the inbox is in front: its message count and the screen rectangle
  // of its first row, for a script that taps it.
  void Announce() const;

 private:
  static LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Reload();
  void FormClosed();

  IMsgStore* m_store = nullptr;
  HWND m_hwnd = nullptr;
  InboxListView m_list;
  std::vector<EntryId> m_entries;
  ReadSession m_session;
};

}  // namespace mmsform_tool
