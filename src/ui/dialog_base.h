// CDialogBase: modal and modeless dialogs built from dialog templates of a resource module, with
// the white button brush, OK and Cancel, and WM_CLOSEDIALOG.
#pragma once

#include "platform/dialog/dialog_template.h"
#include "platform/gdi/gdi_raii.h"
#include "ui/wnd_base.h"

// Sent by a closing form to every dialog of the process (wParam 0, lParam -1).
constexpr UINT WM_CLOSEDIALOG = 0x04F4;

// Handed to the dialog as its init parameter: the object first, so that the window procedure
// finds it on WM_INITDIALOG.
struct DialogInitBlock {
  CWndBase* object;
  DWORD templateId;
};

class CDialogBase : public CWndBase {
 public:
  CDialogBase();
  ~CDialogBase() override;

  LRESULT DefProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  const MessageMap* GetMessageMap() const override;

  virtual void EndDialog(int result);
  virtual LRESULT OnOK(WPARAM wParam, LPARAM lParam);
  virtual LRESULT OnCancel(WPARAM wParam, LPARAM lParam);
  // The button brush; a pushed button gets white text.
  virtual HBRUSH OnCtlColorBtn(HDC hdc, HWND button);
  virtual LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
  // First closes a contact chooser (IDCANCEL) or "Properties" picker (IDOK) that this dialog owns;
  // then a modal dialog ends with IDCANCEL and a modeless one is destroyed.
  virtual LRESULT OnCloseDialog(WPARAM wParam, LPARAM lParam);

  // The value given to EndDialog, or -1 when the template is missing or the dialog fails.
  INT_PTR DoModal(HINSTANCE instance, DWORD templateId, HWND parent);
  BOOL CreateModeless(HINSTANCE instance, HWND parent, DWORD templateId);

  BOOL IsPortraitLayout() const { return m_portrait; }

 protected:
  void SetPortraitLayout(BOOL portrait) { m_portrait = portrait; }
  HBRUSH ButtonBrush() const { return m_buttonBrush.Get(); }

  LRESULT CtlColorBtnEntry(WPARAM wParam, LPARAM lParam);

 private:
  const DLGTEMPLATE* Prepare(HINSTANCE instance, DWORD templateId, DialogInitBlock* block);

  platform::gdi::UniqueBrush m_buttonBrush;
  BOOL m_portrait;
  bool m_modal = false;  // running in DoModal
};
