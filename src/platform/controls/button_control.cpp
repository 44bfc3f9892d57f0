// BUTTON: push buttons, check boxes and radio buttons (plain and automatic) and group boxes. A tap
// pushes the button while the pointer is down and reports BN_CLICKED when it is released over it;
// the parent picks the colours through WM_CTLCOLORBTN.
#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"

namespace platform::controls {
namespace {

struct ButtonState {
  HFONT font = nullptr;
  UINT check = BST_UNCHECKED;
  bool pushed = false;
};

DWORD Kind(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & BS_TYPEMASK; }
bool IsCheck(DWORD kind) { return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX; }
bool IsRadio(DWORD kind) { return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON; }

// A square box for check boxes, a ring for radio buttons; filled in the middle when checked.
void DrawMark(HDC hdc, const RECT& box, DWORD kind, bool checked) {
  RECT inner = box;
  InflateRect(&inner, -(box.right - box.left) / 4, -(box.bottom - box.top) / 4);
  if (!IsRadio(kind)) {
    FillRect(hdc, &box, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawFrame(hdc, box, RGB(64, 64, 64));
    if (checked) FillRect(hdc, &inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return;
  }
  HPEN ring = CreatePen(PS_SOLID, 1, RGB(64, 64, 64));
  HGDIOBJ previousPen = SelectObject(hdc, ring);
  HGDIOBJ previousBrush = SelectObject(hdc, GetStockObject(WHITE_BRUSH));
  Ellipse(hdc, box.left, box.top, box.right, box.bottom);
  if (checked) {
    SelectObject(hdc, GetStockObject(BLACK_BRUSH));
    Ellipse(hdc, inner.left, inner.top, inner.right, inner.bottom);
  }
  SelectObject(hdc, previousBrush);
  SelectObject(hdc, previousPen);
  DeleteObject(ring);
}

void Paint(ButtonState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  const DWORD kind = Kind(hwnd);
  HBRUSH brush = ParentColors(hwnd, hdc, WM_CTLCOLORBTN);
  const bool push = kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
  if (push && state.pushed) {
    FillRect(hdc, &client, GetSysColorBrush(COLOR_HIGHLIGHT));
  } else if (brush) {
    FillRect(hdc, &client, brush);
  }
  HGDIOBJ previousFont = SelectObject(hdc, FontOr(state.font));
  SetBkMode(hdc, TRANSPARENT);
  std::u16string text = TextOf(hwnd);
  RECT textRect = client;
  if (push) {
    DrawFrame(hdc, client, GetSysColor(COLOR_WINDOWFRAME));
    if (kind == BS_DEFPUSHBUTTON) {
      RECT inner = client;
      InflateRect(&inner, -1, -1);
      DrawFrame(hdc, inner, GetSysColor(COLOR_WINDOWFRAME));
    }
    DrawTextW(hdc, text.c_str(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  } else if (kind == BS_GROUPBOX) {
    RECT frame = client;
    frame.top += 6;
    DrawFrame(hdc, frame, GetSysColor(COLOR_BTNSHADOW));
    textRect.left += 6;
    DrawTextW(hdc, text.c_str(), -1, &textRect, DT_LEFT | DT_TOP | DT_SINGLELINE);
  } else {
    TEXTMETRICW metrics{};
    GetTextMetricsW(hdc, &metrics);
    const int size = std::min<int>(metrics.tmHeight, client.bottom - client.top);
    const int top = (client.bottom - size) / 2;
    DrawMark(hdc, RECT{0, top, size, top + size}, kind, state.check == BST_CHECKED);
    textRect.left = size + size / 2;
    DrawTextW(hdc, text.c_str(), -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  }
  SelectObject(hdc, previousFont);
  EndPaint(hwnd, &paint);
}

// An automatic radio button unchecks the others of its group: the siblings from the last
// WS_GROUP item up to the next.
void UncheckGroup(HWND hwnd) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  HWND start = hwnd;
  while (!(GetWindowLongW(start, GWL_STYLE) & WS_GROUP)) {
    HWND previous = PreviousInCreationOrder(start);
    if (!previous) break;
    start = previous;
  }
  for (HWND sibling = start; sibling; sibling = NextInCreationOrder(sibling)) {
    if (sibling != start && (GetWindowLongW(sibling, GWL_STYLE) & WS_GROUP)) break;
    if (sibling != hwnd && IsRadio(Kind(sibling))) SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

void Click(HWND hwnd) {
  const DWORD kind = Kind(hwnd);
  if (kind == BS_AUTOCHECKBOX) {
    SendMessageW(hwnd, BM_SETCHECK, SendMessageW(hwnd, BM_GETCHECK, 0, 0) ? BST_UNCHECKED : BST_CHECKED, 0);
  } else if (kind == BS_AUTORADIOBUTTON) {
    UncheckGroup(hwnd);
    SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
  }
  if (IsWindow(hwnd)) NotifyParent(hwnd, BN_CLICKED);
}

bool Inside(HWND hwnd, LPARAM lParam) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
}

LRESULT Handle(ButtonState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT: state.font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
    case BM_GETCHECK: return state.check;
    case BM_SETCHECK:
      state.check = IsCheck(Kind(hwnd)) || IsRadio(Kind(hwnd)) ? static_cast<UINT>(wParam) : BST_UNCHECKED;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case BM_GETSTATE: return state.check | (state.pushed ? BST_PUSHED : 0) | (GetFocus() == hwnd ? BST_FOCUS : 0);
    case BM_SETSTATE:
      state.pushed = wParam != 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case BM_CLICK: Click(hwnd); return 0;
    case WM_LBUTTONDOWN:
      SetCapture(hwnd);
      SendMessageW(hwnd, BM_SETSTATE, TRUE, 0);
      return 0;
    case WM_LBUTTONUP: {
      const bool wasPushed = state.pushed;
      ReleaseCapture();
      SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
      if (wasPushed && Inside(hwnd, lParam)) Click(hwnd);
      return 0;
    }
    case WM_KEYUP:
      if (wParam == VK_SPACE || wParam == VK_RETURN) Click(hwnd);
      return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT ButtonProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlProcedure<ButtonState>(hwnd, message, wParam, lParam, Handle);
}

}  // namespace

void RegisterButtonClass() { RegisterControlClass(u"BUTTON", ButtonProcedure, 0); }

}  // namespace platform::controls
