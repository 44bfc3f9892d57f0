// The host's inbox: a top-level window of class "Inbox.MainWnd" holding the list of the messages
// stored in one folder (the Inbox first), with soft keys below: "New" writes a new message in the
// compose form, "Menu" switches between the folders. Opening a row reads it in the read form, or for
// a row of Drafts reopens it in the compose form; when a form closes, the inbox is in front again
// with its list read anew, showing the folder the composed message went to.
#pragma once

#include <memory>
#include <vector>

#include "compose_driver.h"
#include "compose_options.h"
#include "forms/store_message.h"
#include "inbox_list_view.h"
#include "read_session.h"

namespace mmsform_tool {

constexpr const WCHAR* kInboxClass = u"Inbox.MainWnd";

class InboxWindow {
 public:
  explicit InboxWindow(const FormModule& module) : m_module(module), m_session(module) {}
  ~InboxWindow();
  InboxWindow(const InboxWindow&) = delete;
  InboxWindow& operator=(const InboxWindow&) = delete;

  // Makes the window over the screen below the shell's title bar, with the list filled and focused.
  bool Create(IMsgStore* store);
  HWND Handle() const { return m_hwnd; }
  std::size_t MessageCount() const { return m_entries.size(); }
  // Opens row `row` in the read form, a draft in the compose form; false when it is no row or a
  // form is open already.
  bool OpenRow(int row);
  // Opens the compose form on a new message; false when it did not open or a form is open already.
  bool NewMessage();
  // Shows the standard folder of that name; false for a folder the inbox does not show.
  bool ShowFolder(const char16_t* name);
  // Closes a form that is still open.
  void CloseForm();
  // Prints, one JSON line, that the inbox is in front: the folder, its message count and the screen
  // rectangle of its first row, for a script that taps it.
  void Announce() const;

 private:
  static LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(WORD id);
  void Reload();
  void FormClosed();
  // Opens the compose form as `options` say; they stay with the inbox while the form is open.
  bool StartCompose(const ComposeOptions& options);
  void ComposeClosed();
  bool MakeSoftKeys();

  const FormModule& m_module;
  IMsgStore* m_store = nullptr;
  HWND m_hwnd = nullptr;
  HWND m_softKeys = nullptr;
  InboxListView m_list;
  std::vector<EntryId> m_entries;
  std::size_t m_folder = 0;  // in the folders the inbox shows
  ReadSession m_session;
  // A new message has no options: the person writes it. A draft is reopened.
  ComposeOptions m_newMessage;
  ComposeOptions m_reopenDraft;
  std::unique_ptr<ComposeDriver> m_composer;
};

}  // namespace mmsform_tool
