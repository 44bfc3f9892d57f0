#include "forms/composer_header_wnd.h"

#include "forms/slide_items.h"

#include <array>
#include <string>

#include "platform/controls/control_messages.h"
#include "platform/gdi/gdi_api.h"
#include "platform/window/window_styles.h"
#include "ui/density.h"

namespace {

constexpr DWORD kHeaderStyle = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr int kRowHeight = 20;
constexpr int kLabelWidth = 52;
constexpr int kMargin = 2;
constexpr std::array<int, 4> kFields = {header_field::kTo, header_field::kCc, header_field::kBcc,
                                        header_field::kSubject};
constexpr std::array<const WCHAR*, 4> kLabels = {u"To:", u"Cc:", u"Bcc:", u"Subject:"};

CString EditText(HWND edit) {
  const int length = ::GetWindowTextLengthW(edit);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int got = ::GetWindowTextW(edit, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return CString(text);
}

}  // namespace

CComposerHeaderWnd::~CComposerHeaderWnd() {
  if (IsWindow()) ::DestroyWindow(GetHandle());
}

const MessageMap* CComposerHeaderWnd::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnCommandId(header_field::kTo, &CComposerHeaderWnd::OnFieldCommand),
      OnCommandId(header_field::kCc, &CComposerHeaderWnd::OnFieldCommand),
      OnCommandId(header_field::kBcc, &CComposerHeaderWnd::OnFieldCommand),
      OnCommandId(header_field::kSubject, &CComposerHeaderWnd::OnFieldCommand),
      OnMessage(WM_HEADER_FIELD_CHANGED, &CComposerHeaderWnd::OnFieldChanged),
      OnMessage(WM_HEADER_FOCUS_FIELD, &CComposerHeaderWnd::OnFocusField),
      OnMessage(WM_HEADER_GROW, &CComposerHeaderWnd::OnGrow),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

int CComposerHeaderWnd::RowHeight() { return ScaleY(kRowHeight); }

int CComposerHeaderWnd::VisibleRows() const {
  int rows = 0;
  for (int field : kFields) rows += IsRowShown(field) ? 1 : 0;
  return rows;
}

bool CComposerHeaderWnd::IsRowShown(int field) const {
  // Cc and Bcc take room only when the message has such recipients: the slide needs the screen.
  if (field == header_field::kCc || field == header_field::kBcc) return !m_header.FieldText(field).IsEmpty();
  return true;
}

int CComposerHeaderWnd::Height() const { return VisibleRows() * RowHeight() + ScaleY(kMargin) + m_extraHeight; }

BOOL CComposerHeaderWnd::Create(HWND frame, int width) {
  m_width = width;
  if (!CWndBase::Create(kComposerHeaderClass, nullptr, kHeaderStyle, 0, 0, width, Height(), nullptr, frame, 0,
                        kWhiteBackground)) {
    return FALSE;
  }
  for (int field : kFields) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
    HWND edit = ::CreateWindowExW(0, u"EDIT", u"", style, 0, 0, 1, 1, GetHandle(),
                                  reinterpret_cast<HMENU>(static_cast<std::intptr_t>(field)), nullptr, nullptr);
    if (edit == nullptr) return FALSE;
    const int limit = field == header_field::kSubject ? kMaxSubjectChars : kMaxAddressFieldChars;
    ::SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
  }
  PlaceFields();
  ShowFields();
  return TRUE;
}

void CComposerHeaderWnd::SetWidth(int width) {
  m_width = width;
  ::MoveWindow(GetHandle(), 0, 0, width, Height(), TRUE);
  PlaceFields();
}

void CComposerHeaderWnd::PlaceFields() {
  const int row = RowHeight();
  const int label = ScaleX(kLabelWidth);
  int shown = 0;
  for (int field : kFields) {
    HWND edit = GetDlgItem(field);
    const bool visible = IsRowShown(field);
    ::ShowWindow(edit, visible ? SW_SHOW : SW_HIDE);
    if (!visible) continue;
    const int top = shown++ * row + ScaleY(kMargin) / 2;
    ::MoveWindow(edit, label, top, m_width - label - ScaleX(kMargin), row - ScaleY(kMargin), TRUE);
  }
}

BOOL CComposerHeaderWnd::OnPaint(HDC hdc, PAINTSTRUCT*) {
  const int row = RowHeight();
  ScopedUiFont font(hdc);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, 0);
  int shown = 0;
  for (std::size_t i = 0; i < kLabels.size(); ++i) {
    if (!IsRowShown(kFields[i])) continue;
    RECT cell{ScaleX(kMargin), shown * row, ScaleX(kLabelWidth), (shown + 1) * row};
    ++shown;
    DrawTextW(hdc, kLabels[i], -1, &cell, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
  return TRUE;
}

void CComposerHeaderWnd::ShowFields() {
  m_filling = true;
  for (int field : kFields) ::SetWindowTextW(GetDlgItem(field), m_header.FieldText(field).GetString());
  m_filling = false;
}

bool CComposerHeaderWnd::HasFocusedField() const {
  HWND focus = ::GetFocus();
  for (int field : kFields) {
    if (focus != nullptr && focus == GetDlgItem(field)) return true;
  }
  return false;
}

LRESULT CComposerHeaderWnd::OnFieldCommand(WPARAM wParam, LPARAM lParam) {
  const int field = LOWORD(wParam);
  switch (HIWORD(wParam)) {
    case EN_CHANGE:
      if (!m_filling) PostMessage(WM_HEADER_FIELD_CHANGED, static_cast<WPARAM>(field), 0);
      break;
    case EN_SETFOCUS:
      ::PostMessageW(GetParent(), 0x07C3, 0, lParam);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT CComposerHeaderWnd::OnFieldChanged(WPARAM wParam, LPARAM) {
  const int field = static_cast<int>(wParam);
  if (HWND edit = GetDlgItem(field)) m_header.SetFieldText(field, EditText(edit).View());
  return 0;
}

LRESULT CComposerHeaderWnd::OnFocusField(WPARAM wParam, LPARAM lParam) {
  HWND field = reinterpret_cast<HWND>(lParam);
  if (wParam == 1 && field != nullptr && ::GetParent(field) == GetHandle()) ::SetFocus(field);
  return 0;
}

LRESULT CComposerHeaderWnd::OnGrow(WPARAM, LPARAM lParam) {
  if (lParam > 0) {
    m_extraHeight += static_cast<int>(lParam);
    ::MoveWindow(GetHandle(), 0, 0, m_width, Height(), TRUE);
  }
  return 0;
}
