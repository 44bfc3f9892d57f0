// The full-screen text editor of the composer ("TextEditWnd"): the slide's text in one editable
// field over the whole screen between the title bar and the soft keys (OK keeps the edit, Cancel
// drops it). It runs modally over its owner, which is disabled meanwhile.
#pragma once

#include <optional>

#include "platform/text/cstring.h"
#include "ui/wnd_base.h"

constexpr const WCHAR* kTextEditWindowClass = u"TextEditWnd";

class CTextEditWindow : public CWndBase {
 public:
  CTextEditWindow(CString title, CString text);
  ~CTextEditWindow() override;

  const MessageMap* GetMessageMap() const override;
  BOOL OnCreated() override;
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;

  // The edited text on OK; nothing on Cancel or when the window cannot be made.
  std::optional<CString> Run(HWND owner);
  HWND Edit() const { return m_edit; }

 private:
  LRESULT OnSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnComposerReplaced(WPARAM wParam, LPARAM lParam);
  void Finish(bool keep);
  void AnswerForAbsentUser();

  CString m_title;
  CString m_text;
  HWND m_edit = nullptr;
  bool m_done = false;
  std::optional<CString> m_result;
};
