#include "forms/composer_header_wnd.h"

#include <array>
#include <optional>
#include <string>

#include "forms/composer_commands.h"
#include "forms/slide_items.h"

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
// The contact button of each address field, in the order of kFields; the subject has none.
constexpr std::array<int, 3> kButtons = {header_field::kToButton, header_field::kCcButton, header_field::kBccButton};

// Each address field's button has the field's identifier plus this.
constexpr int kButtonFromField = header_field::kToButton - header_field::kTo;

CString EditText(HWND edit) {
  const int length = ::GetWindowTextLengthW(edit);
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int got = ::GetWindowTextW(edit, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return CString(text);
}

}  // namespace

CComposerHeaderWnd::~CComposerHeaderWnd() {
  if (m_subjectProcedure != nullptr && IsWindow()) {
    ::SetWindowLongW(GetDlgItem(header_field::kSubject), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(m_subjectProcedure));
  }
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
      OnCommandId(header_field::kToButton, &CComposerHeaderWnd::OnContactButton),
      OnCommandId(header_field::kCcButton, &CComposerHeaderWnd::OnContactButton),
      OnCommandId(header_field::kBccButton, &CComposerHeaderWnd::OnContactButton),
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
  for (std::size_t i = 0; i < kButtons.size(); ++i) {
    const DWORD style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    if (::CreateWindowExW(0, u"BUTTON", kLabels[i], style, 0, 0, 1, 1, GetHandle(),
                          reinterpret_cast<HMENU>(static_cast<std::intptr_t>(kButtons[i])), nullptr,
                          nullptr) == nullptr) {
      return FALSE;
    }
  }
  HWND subject = GetDlgItem(header_field::kSubject);
  m_subjectProcedure = reinterpret_cast<WNDPROC>(
      ::SetWindowLongW(subject, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&CComposerHeaderWnd::SubjectProcedure)));
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
    HWND button = field == header_field::kSubject ? nullptr : GetDlgItem(field + kButtonFromField);
    if (button != nullptr) ::ShowWindow(button, visible ? SW_SHOW : SW_HIDE);
    if (!visible) continue;
    const int top = shown++ * row + ScaleY(kMargin) / 2;
    const int height = row - ScaleY(kMargin);
    ::MoveWindow(edit, label, top, m_width - label - ScaleX(kMargin), height, TRUE);
    if (button != nullptr) ::MoveWindow(button, ScaleX(kMargin), top, label - 2 * ScaleX(kMargin), height, TRUE);
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
    // The address fields' labels are their contact buttons.
    if (kFields[i] == header_field::kSubject) DrawTextW(hdc, kLabels[i], -1, &cell, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
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

int CComposerHeaderWnd::FocusedAddressField() const {
  HWND focus = ::GetFocus();
  if (focus == nullptr) return 0;
  for (int field : {header_field::kTo, header_field::kCc, header_field::kBcc}) {
    if (focus == GetDlgItem(field)) return field;
  }
  return 0;
}

LRESULT CComposerHeaderWnd::OnContactButton(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) == BN_CLICKED) ChooseContactFor(LOWORD(wParam) - kButtonFromField);
  return 0;
}

bool CComposerHeaderWnd::ChooseContactFor(int field) {
  if (field != header_field::kTo && field != header_field::kCc && field != header_field::kBcc) return false;
  const std::optional<ChosenRecipient> chosen = ChooseRecipient(GetHandle());
  if (!chosen) return false;
  return Insert(field, chosen->value, chosen->kind, chosen->name);
}

bool CComposerHeaderWnd::InsertIntoFocusedField(const CString& text, const CString& name) {
  const int field = FocusedAddressField();
  if (field == 0) return false;
  return Insert(field, text, RecipientKindOf(text.View()), name);
}

bool CComposerHeaderWnd::Insert(int field, const CString& value, RecipientKind kind, const CString& chooserName) {
  const int rowsBefore = VisibleRows();
  if (!m_header.InsertRecipient(field, value.View(), kind, chooserName.View(), GetHandle())) return false;
  ShowInserted(field);
  if (VisibleRows() != rowsBefore) {
    ::MoveWindow(GetHandle(), 0, 0, m_width, Height(), TRUE);
    PlaceFields();
    InvalidateRect(nullptr, TRUE);
    ::PostMessageW(GetParent(), composer_message::kRelayout, 0, 0);
  }
  return true;
}

void CComposerHeaderWnd::ShowInserted(int field) {
  HWND edit = GetDlgItem(field);
  if (edit == nullptr) return;
  m_filling = true;
  ::SetWindowTextW(edit, m_header.FieldText(field).GetString());
  m_filling = false;
  const auto end = static_cast<LPARAM>(::GetWindowTextLengthW(edit));
  ::SetFocus(edit);
  ::SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
  ::PostMessageW(GetParent(), WM_ITEM_NOTIFY, 0, reinterpret_cast<LPARAM>(edit));
}

LRESULT CComposerHeaderWnd::SubjectProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* header = dynamic_cast<CComposerHeaderWnd*>(
      reinterpret_cast<CWndBase*>(::GetWindowLongW(::GetParent(hwnd), GWL_USERDATA)));
  if (header == nullptr || header->m_subjectProcedure == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_KEYDOWN && header->OnSubjectKey(static_cast<UINT>(wParam))) return 0;
  return ::CallWindowProcW(header->m_subjectProcedure, hwnd, message, wParam, lParam);
}

bool CComposerHeaderWnd::OnSubjectKey(UINT key) {
  HWND subject = GetDlgItem(header_field::kSubject);
  switch (key) {
    case VK_UP: {
      // Back to the last address row shown above the subject.
      for (int field : {header_field::kBcc, header_field::kCc, header_field::kTo}) {
        if (IsRowShown(field)) {
          ::SetFocus(GetDlgItem(field));
          return true;
        }
      }
      return false;
    }
    case VK_DOWN:
      // On to the slide: the frame moves the focus between the subject and its items.
      ::PostMessageW(GetParent(), WM_ITEM_NOTIFY, VK_DOWN, reinterpret_cast<LPARAM>(subject));
      return true;
    default:
      return false;
  }
}
