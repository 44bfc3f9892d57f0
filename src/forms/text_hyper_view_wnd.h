// CTextHyperViewWnd: the read form's view of a plain text part, in the hypertext control. The
// control's notifications (taps, selection, opened links, scrolling, key releases) go on to the
// read view unchanged.
#pragma once

#include "ui/hyper_text_ctrl.h"

class CTextHyperViewWnd : public CWndBase {
 public:
  const MessageMap* GetMessageMap() const override;

  BOOL Create(HWND parent, const RECT& rect, DWORD options);
  // A text part file (UTF-16LE after FF FE, as the loader writes them; at most 1 MB), or a text.
  BOOL ShowFile(LPCWSTR path);
  BOOL ShowText(LPCWSTR text);

  CHyperTextCtrl& Control() { return m_control; }

 protected:
  LRESULT OnTappedOutside(WPARAM wParam, LPARAM lParam);
  LRESULT OnSelectionChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnLinkOpened(WPARAM wParam, LPARAM lParam);
  LRESULT OnScrolled(WPARAM wParam, LPARAM lParam);
  LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);

 private:
  CHyperTextCtrl m_control;
};
