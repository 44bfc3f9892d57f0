// CComposerHeaderWnd: the window of the compose form's header, a child of the frame with the To,
// Cc, Bcc and subject edit fields (1274, 1276, 1278, 1280) over the ComposerHeader logic. Every
// edit the user makes goes into the logic at once, so that the frame's close and send flows see
// the header as changed; the header tells the frame which field took the focus. The To, Cc and
// Bcc buttons (1282, 1284, 1286) pick a contact for their field; the subject's keys are watched so
// that Up and Down move the focus on as in the rest of the form.
#pragma once

#include "forms/composer_header.h"
#include "ui/wnd_base.h"

constexpr const WCHAR* kComposerHeaderClass = u"ComposerHeader";
// Posted to the header itself with the identifier of the field that changed.
constexpr UINT WM_HEADER_FIELD_CHANGED = 0x0525;
// wParam 1, lParam a field's window: the focus goes to that field.
constexpr UINT WM_HEADER_FOCUS_FIELD = 0x0518;
// Sent by the frame: the header's height grew by lParam pixels.
constexpr UINT WM_HEADER_GROW = 0x07C0;

class CComposerHeaderWnd : public CWndBase {
 public:
  // The logic is borrowed from the frame and outlives the window.
  explicit CComposerHeaderWnd(ComposerHeader& header) : m_header(header) {}
  ~CComposerHeaderWnd() override;

  BOOL Create(HWND frame, int width);
  const MessageMap* GetMessageMap() const override;
  BOOL OnPaint(HDC hdc, PAINTSTRUCT* paint) override;
  // The height the four rows take at the device's density.
  static int RowHeight();
  int Height() const;
  // Copies the logic's texts into the fields without counting as a change.
  void ShowFields();
  // Whether one of the four fields holds the focus.
  bool HasFocusedField() const;
  void SetWidth(int width);
  // The address field (To, Cc or Bcc) that holds the focus, or 0.
  int FocusedAddressField() const;
  // Opens the contact chooser and puts the picked number or address into `field`; true when one
  // went in. The frame's insert-contact command uses the focused field.
  bool ChooseContactFor(int field);
  // Puts a number or an e-mail address (from the call history, say) into the focused address
  // field, with the same checks and the same display form as a picked contact; `name` is the
  // source's own name for it, used when the contacts know none.
  bool InsertIntoFocusedField(const CString& text, const CString& name = CString());

 private:
  LRESULT OnFieldCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnFieldChanged(WPARAM wParam, LPARAM lParam);
  LRESULT OnFocusField(WPARAM wParam, LPARAM lParam);
  LRESULT OnGrow(WPARAM wParam, LPARAM lParam);
  LRESULT OnContactButton(WPARAM wParam, LPARAM lParam);
  // The subject edit's own procedure runs after the header has seen its keys.
  static LRESULT SubjectProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool OnSubjectKey(UINT key);
  bool Insert(int field, const CString& value, RecipientKind kind, const CString& chooserName);
  // Shows what the logic holds for a field after the header changed it, with the caret at its end.
  void ShowInserted(int field);
  void PlaceFields();
  int VisibleRows() const;
  bool IsRowShown(int field) const;

  ComposerHeader& m_header;
  WNDPROC m_subjectProcedure = nullptr;
  bool m_filling = false;
  int m_extraHeight = 0;
  int m_width = 0;
};
