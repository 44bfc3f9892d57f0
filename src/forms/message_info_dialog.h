// CMessageInfoDialog (dialog 208): the message information as a list, one field a row ("From:"
// and the sender, ...), a value too wide for the list going on in indented rows below its label.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "forms/message_info_text.h"
#include "ui/dialog_base.h"

constexpr DWORD kMessageInfoDialog = 208;
constexpr int kMessageInfoList = 1135;

class CMessageInfoDialog : public CDialogBase {
 public:
  explicit CMessageInfoDialog(std::vector<InfoLine> lines) : m_lines(std::move(lines)) {}

  const MessageMap* GetMessageMap() const override;
  INT_PTR Run(HWND owner);

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);

 private:
  void FillList(HWND list);

  std::vector<InfoLine> m_lines;
};

// Cuts `text` into rows no wider than `width` pixels as `measure` gives widths, breaking after a
// space (or the ';' and ',' between addresses) where there is one and inside a word where there
// is none, with no row starting with a space; every row holds at least one character, so that a
// width too narrow for anything still ends.
std::vector<CString> WrapRows(const CString& text, int width, const std::function<int(std::u16string_view)>& measure);
