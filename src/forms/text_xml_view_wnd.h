// CTextXMLViewWnd: the read form's view of an HTML, XHTML or XML text part, in the platform's
// HTML view ("DISPLAYCLASS"). Tapped links come back as the view's notifications and go on to the
// read view as 1322; the text's folder goes to it as 1325, for targets relative to it.
#pragma once

#include "platform/text/cstring.h"
#include "ui/wnd_base.h"

constexpr UINT kReadHtmlLink = 1322;    // sent, 0, the view's NMHDR (NM_HOTSPOT or NM_CONTEXTMENU)
constexpr UINT kReadHtmlFolder = 1325;  // sent, 0, the folder (LPCWSTR)
constexpr DWORD kHtmlViewStyle = 0x5000000A;

class CTextXMLViewWnd : public CWndBase {
 public:
  ~CTextXMLViewWnd() override;
  const MessageMap* GetMessageMap() const override;

  // The view's window over `rect` of `parent`, with the HTML view inside it.
  BOOL Create(HWND parent, const RECT& rect);
  // Shows the file by its "file://" address and tells the parent its folder.
  BOOL ShowFile(LPCWSTR path);

  HWND HtmlView() const { return m_htmlView; }
  // The window that takes the view's keys: its first child, which scrolls the page.
  HWND InputWindow() const { return m_viewChild != nullptr ? m_viewChild : m_htmlView; }
  const CString& Folder() const { return m_folder; }

 protected:
  LRESULT OnNotify(WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT ChildProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_htmlView = nullptr;
  HWND m_viewChild = nullptr;
  WNDPROC m_childProcedure = nullptr;
  CString m_folder;
};
