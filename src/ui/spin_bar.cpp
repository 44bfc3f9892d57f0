#include "ui/spin_bar.h"

#include "config/registry_key.h"
#include "config/setting_tables.h"
#include "platform/registry/registry.h"
#include "model/message_model.h"
#include "platform/controls/control_messages.h"
#include "platform/gdi/gdi_raii.h"
#include "transport/resource_module.h"
#include "ui/density.h"
#include "ui/transparent_bitmap.h"

namespace {

constexpr DWORD kValueStyle = 0x50812002;
constexpr int kMaxValueText = 19;
constexpr COLORREF kArrowKey = RGB(192, 192, 192);
constexpr UINT kLeftActive = 113, kLeftInactive = 114, kRightActive = 115, kRightInactive = 112, kModifiedMark = 106;

void DrawCentred(HDC hdc, const RECT& area, UINT bitmapId, int x) {
  platform::gdi::UniqueBitmap bitmap(transport::LoadResourceBitmap(bitmapId));
  BITMAP size{};
  if (!bitmap || !GetObjectW(bitmap.Get(), sizeof size, &size)) return;
  DrawTransparentBitmap(hdc, x, area.top + (area.bottom - area.top - size.bmHeight) / 2, bitmap.Get(), kArrowKey);
}

}  // namespace

SpinBar::~SpinBar() {
  if (IsWindow(m_value) && m_valueProcedure) {
    SetWindowLongW(m_value, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(m_valueProcedure));
    SetWindowLongW(m_value, GWL_USERDATA, 0);
  }
}

const MessageMap* SpinBar::GetMessageMap() const {
  static const MessageMapEntry kEntries[] = {
      MapFirst(),
      OnMessage(WM_LBUTTONDOWN, &SpinBar::OnLButtonDown),
      MapEnd(),
  };
  static const MessageMap kMap{CWndBase::GetMessageMap(), kEntries};
  return &kMap;
}

BOOL SpinBar::Create(HINSTANCE instance, HWND parent, const RECT* rect, BOOL popup) {
  RECT r = rect ? *rect : RECT{};
  const DWORD style = popup ? 0x90000000 : (WS_CHILD | WS_VISIBLE);
  return CWndBase::Create(u"SpinBar", nullptr, style, r.left, r.top, r.right - r.left, r.bottom - r.top, instance,
                          parent, 0, kWhiteBackground);
}

void SpinBar::LayoutParts() {
  RECT client{};
  GetClientRect(&client);
  m_left = RECT{client.left, client.top, client.left + ScaleX(6), client.bottom};
  m_right = RECT{client.right - 1 - ScaleX(7), client.top, client.right - 1, client.bottom};
  m_middle = RECT{m_left.right + ScaleX(2), client.top, m_right.left - ScaleX(14), client.bottom};
}

BOOL SpinBar::OnCreated() {
  LayoutParts();
  m_value = CreateWindowExW(0, u"STATIC", u"EDIT", kValueStyle, m_middle.left, m_middle.top,
                            m_middle.right - m_middle.left, m_middle.bottom - m_middle.top, GetHandle(), nullptr,
                            nullptr, nullptr);
  if (m_value) {
    SetWindowLongW(m_value, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_valueProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongW(m_value, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&SpinBar::ValueProcedure)));
  }
  return TRUE;
}

// A tap on the value asks the parent to edit it instead of reaching the static.
LRESULT SpinBar::ValueProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<SpinBar*>(GetWindowLongW(hwnd, GWL_USERDATA));
  if (!self || !self->m_valueProcedure) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_LBUTTONDOWN) {
    HWND parent = self->GetParent();
    if (parent) PostMessageW(parent, kSpinBarValueTapMessage, reinterpret_cast<WPARAM>(hwnd), self->m_itemData);
    return 0;
  }
  WNDPROC original = self->m_valueProcedure;
  if (message == WM_NCDESTROY) {
    SetWindowLongW(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    SetWindowLongW(hwnd, GWL_USERDATA, 0);
    self->m_value = nullptr;
  }
  return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

void SpinBar::SetState(DWORD state) {
  m_state = state;
  InvalidateRect(nullptr, TRUE);
}

void SpinBar::SetText(LPCWSTR text, DWORD itemData, BOOL modified) {
  m_itemData = itemData;
  const std::size_t length = text ? std::char_traits<char16_t>::length(text) : 0;
  if (length >= 1 && length <= static_cast<std::size_t>(kMaxValueText) && IsWindow(m_value)) {
    SetWindowTextW(m_value, text);
    if (GetFocus() == m_value && text[length - 1] == u's') {
      SendMessageW(m_value, EM_SETSEL, length - 1, static_cast<LPARAM>(length));
    }
  }
  m_modified = modified;
  InvalidateRect(nullptr, TRUE);
}

DWORD LongestSlideDuration() {
  constexpr DWORD kLongestByDefault = 999000;
  const config::RegistryKey key =
      config::RegistryKey::Open(HKEY_LOCAL_MACHINE, std::u16string(config::kConfigRoot) + u"\\UI");
  return key.ReadDword(u"MaxDuration").value_or(kLongestByDefault);
}

void SpinBar::SetDuration(const Slide& slide) {
  CString text;
  text.Format(u"%ds", static_cast<int>(slide.duration / 1000));
  SetText(text, m_itemData, m_modified);
  const DWORD maximum = LongestSlideDuration();
  if (slide.duration <= slide.minimumDuration) {
    SetState(kSpinAtMinimum);
  } else {
    SetState(slide.duration >= maximum ? kSpinAtMaximum : kSpinBothActive);
  }
}

CString SpinBar::GetText() const {
  WCHAR text[21] = {};
  if (IsWindow(m_value)) GetWindowTextW(m_value, text, 21);
  return CString(text);
}

BOOL SpinBar::OnPaint(HDC hdc, PAINTSTRUCT*) {
  const DWORD state = std::min<DWORD>(m_state, kSpinDisabled);
  const bool leftActive = state == kSpinBothActive || state == kSpinAtMaximum;
  const bool rightActive = state == kSpinBothActive || state == kSpinAtMinimum;
  DrawCentred(hdc, m_left, leftActive ? kLeftActive : kLeftInactive, m_left.left);
  DrawCentred(hdc, m_right, rightActive ? kRightActive : kRightInactive, m_right.left);
  if (m_modified) {
    platform::gdi::UniqueBitmap mark(transport::LoadResourceBitmap(kModifiedMark));
    if (mark) DrawTransparentBitmap(hdc, m_right.left - ScaleX(11), m_right.top + ScaleY(2), mark.Get(), kArrowKey);
  }
  return TRUE;
}

LRESULT SpinBar::OnLButtonDown(WPARAM, LPARAM lParam) {
  // A state above 3 looks disabled and so acts disabled.
  if (m_state >= kSpinDisabled) return 0;
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  HWND parent = GetParent();
  if (PtInRect(&m_left, point) && m_state != kSpinAtMinimum) {
    if (IsWindow(parent)) SendMessageW(parent, kSpinBarStepMessage, VK_UP, m_itemData);
  } else if (PtInRect(&m_right, point) && m_state != kSpinAtMaximum) {
    if (IsWindow(parent)) SendMessageW(parent, kSpinBarStepMessage, VK_DOWN, m_itemData);
  }
  if (IsWindow()) SetFocus();
  return 0;
}
