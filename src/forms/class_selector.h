// CClassSelector (dialog 394): a new message on a CDMA device first becomes a Flix message or an
// MMS message. A modeless window owned by the composer frame offers the two; choosing posts 0x0523
// with the selection (0 Flix, 1 MMS) to the frame, which closes the selector. Cancel closes the
// form.
#pragma once

#include "ui/dialog_base.h"

namespace class_selector {
constexpr DWORD kDialog = 394;
constexpr int kFlixButton = 1444;
constexpr int kMmsButton = 1445;
constexpr WPARAM kFlix = 0;
constexpr WPARAM kMms = 1;
}  // namespace class_selector

class CClassSelector : public CDialogBase {
 public:
  CClassSelector() = default;
  ~CClassSelector() override;

  const MessageMap* GetMessageMap() const override;

  // Shows the selector over `frame`; false when the window cannot be made.
  bool Open(HWND frame);
  // Destroys the window without telling the frame anything.
  void Close();
  bool IsOpen() const { return IsWindow() != FALSE; }
  // Gives the focus to the button of the selection that keys choose first (MMS).
  void Focus();

 protected:
  LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
  LRESULT OnChoice(WPARAM wParam, LPARAM lParam);
  // OK chooses the button that has the focus.
  LRESULT OnOK(WPARAM wParam, LPARAM lParam) override;
  LRESULT OnCancel(WPARAM wParam, LPARAM lParam) override;

 private:
  // Tells the frame once: a second tap before the frame has acted changes nothing.
  void Choose(WPARAM selection);

  HWND m_frame = nullptr;
  bool m_told = false;
};
