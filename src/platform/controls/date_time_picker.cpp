// SysDateTimePick32: the window of the date and time picker. Its fields come from
// date_time_fields; here are the drawing, the keys and taps, and the messages.
#include "platform/controls/date_time_picker.h"

#include <algorithm>
#include <vector>

#include "platform/controls/control_classes.h"
#include "platform/controls/control_common.h"
#include "platform/controls/date_time_fields.h"

namespace platform::controls {
namespace {

constexpr int kTextMargin = 3;

struct PickerState {
  HFONT font = nullptr;
  SYSTEMTIME time{};
  std::vector<DatePart> parts;
  int selected = -1;
  int typedValue = 0;
  int typedDigits = 0;
  bool focused = false;
};

// Where the picker draws: each part's box, the text area and, with DTS_UPDOWN, the two arrows.
struct PickerLayout {
  std::vector<RECT> parts;
  RECT up{};
  RECT down{};
  RECT text{};
};

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

PickerLayout Measure(const PickerState& state, HWND hwnd, HDC hdc) {
  PickerLayout layout;
  RECT client{};
  GetClientRect(hwnd, &client);
  layout.text = client;
  if (StyleOf(hwnd) & DTS_UPDOWN) {
    const int width = std::max<int>(1, (client.bottom - client.top) * 2 / 3);
    const int middle = (client.top + client.bottom) / 2;
    layout.up = RECT{client.right - width, client.top, client.right, middle};
    layout.down = RECT{client.right - width, middle, client.right, client.bottom};
    layout.text.right = client.right - width;
  }
  HGDIOBJ previous = SelectObject(hdc, FontOr(state.font));
  int x = client.left + kTextMargin;
  for (const DatePart& part : state.parts) {
    const std::u16string text = PartText(part, state.time);
    SIZE size{};
    GetTextExtentPoint32W(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    layout.parts.push_back(RECT{x, client.top + 1, x + size.cx, client.bottom - 1});
    x += size.cx;
  }
  SelectObject(hdc, previous);
  return layout;
}

PickerLayout Measure(const PickerState& state, HWND hwnd) {
  HDC hdc = GetDC(hwnd);
  PickerLayout layout = Measure(state, hwnd, hdc);
  ReleaseDC(hwnd, hdc);
  return layout;
}

// A small triangle pointing up or down, centred in the box.
void DrawArrow(HDC hdc, const RECT& box, bool up, HBRUSH brush) {
  FillRect(hdc, &box, GetSysColorBrush(COLOR_BTNFACE));
  DrawFrame(hdc, box, GetSysColor(COLOR_BTNSHADOW));
  const int half = std::max<int>(1, std::min(box.right - box.left, box.bottom - box.top) / 3);
  const int cx = (box.left + box.right) / 2;
  const int top = (box.top + box.bottom) / 2 - half / 2;
  for (int i = 0; i < half; ++i) {
    const int spread = up ? i : half - 1 - i;
    RECT line{cx - spread, top + i, cx + spread + 1, top + i + 1};
    FillRect(hdc, &line, brush);
  }
}

void Paint(PickerState& state, HWND hwnd) {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hwnd, &paint);
  RECT client{};
  GetClientRect(hwnd, &client);
  const bool enabled = IsWindowEnabled(hwnd) != FALSE;
  HBRUSH background = enabled ? ParentColors(hwnd, hdc, WM_CTLCOLOREDIT) : GetSysColorBrush(COLOR_BTNFACE);
  if (background) FillRect(hdc, &client, background);
  const PickerLayout layout = Measure(state, hwnd, hdc);
  HGDIOBJ previousFont = SelectObject(hdc, FontOr(state.font));
  SetBkMode(hdc, TRANSPARENT);
  for (std::size_t i = 0; i < state.parts.size(); ++i) {
    RECT box = layout.parts[i];
    box.right = std::min(box.right, layout.text.right);
    const bool highlighted = enabled && state.focused && static_cast<int>(i) == state.selected;
    if (highlighted) FillRect(hdc, &box, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(hdc, GetSysColor(!enabled ? COLOR_GRAYTEXT : highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::u16string text = PartText(state.parts[i], state.time);
    DrawTextW(hdc, text.c_str(), -1, &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
  }
  SelectObject(hdc, previousFont);
  if (StyleOf(hwnd) & DTS_UPDOWN) {
    HBRUSH arrows = GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    DrawArrow(hdc, layout.up, true, arrows);
    DrawArrow(hdc, layout.down, false, arrows);
  }
  DrawFrame(hdc, client, GetSysColor(enabled ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW));
  EndPaint(hwnd, &paint);
}

void Notify(const PickerState& state, HWND hwnd) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  NMDATETIMECHANGE change{};
  change.nmhdr.hwndFrom = hwnd;
  change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
  change.nmhdr.code = DTN_DATETIMECHANGE;
  change.dwFlags = GDT_VALID;
  change.st = state.time;
  SendMessageW(parent, WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
}

void ResetTyping(PickerState& state) {
  state.typedValue = 0;
  state.typedDigits = 0;
}

void SelectFirst(PickerState& state) {
  state.selected = -1;
  for (std::size_t i = 0; i < state.parts.size(); ++i) {
    if (IsEditable(state.parts[i])) {
      state.selected = static_cast<int>(i);
      break;
    }
  }
  ResetTyping(state);
}

// Moves the selection to the next editable part in the direction; it stays at either end.
void MoveSelection(PickerState& state, int direction) {
  for (int i = state.selected + direction; i >= 0 && i < static_cast<int>(state.parts.size()); i += direction) {
    if (IsEditable(state.parts[static_cast<std::size_t>(i)])) {
      state.selected = i;
      break;
    }
  }
  ResetTyping(state);
}

const DatePart* SelectedPart(const PickerState& state) {
  if (state.selected < 0 || state.selected >= static_cast<int>(state.parts.size())) return nullptr;
  return &state.parts[static_cast<std::size_t>(state.selected)];
}

void Step(PickerState& state, HWND hwnd, int delta) {
  const DatePart* part = SelectedPart(state);
  if (!part) return;
  ResetTyping(state);
  StepField(state.time, part->field, delta);
  InvalidateRect(hwnd, nullptr, TRUE);
  Notify(state, hwnd);
}

// A digit typed into the selected field: digits gather until the field is full, and each value
// that the field can take is shown at once (a year only once all its digits are in).
void TypeDigit(PickerState& state, HWND hwnd, int digit) {
  const DatePart* part = SelectedPart(state);
  if (!part || part->field == DateField::kAmPm) return;
  const bool year = part->field == DateField::kYear;
  const int fullDigits = year ? part->width : 2;
  state.typedValue = state.typedValue * 10 + digit;
  ++state.typedDigits;
  int value = state.typedValue;
  if (year && part->width == 2) value += state.time.wYear / 100 * 100;
  const bool full = state.typedDigits >= fullDigits;
  bool changed = false;
  if (!year || full) {
    changed = SetFieldValue(state.time, part->field, value);
    if (!changed && !year && state.typedDigits > 1) {
      // The digits so far make no value of the field: the new digit starts again.
      state.typedValue = digit;
      state.typedDigits = 1;
      changed = SetFieldValue(state.time, part->field, digit);
    }
  }
  if (full) ResetTyping(state);
  if (!changed) return;
  InvalidateRect(hwnd, nullptr, TRUE);
  Notify(state, hwnd);
}

void Tap(PickerState& state, HWND hwnd, POINT point) {
  SetFocus(hwnd);
  const PickerLayout layout = Measure(state, hwnd);
  if (StyleOf(hwnd) & DTS_UPDOWN) {
    if (PtInRect(&layout.up, point)) return Step(state, hwnd, 1);
    if (PtInRect(&layout.down, point)) return Step(state, hwnd, -1);
  }
  for (std::size_t i = 0; i < layout.parts.size(); ++i) {
    const RECT& box = layout.parts[i];
    if (point.x < box.left || point.x >= box.right || !IsEditable(state.parts[i])) continue;
    // Without arrows, a tap on the field already selected steps it on.
    if (static_cast<int>(i) == state.selected && !(StyleOf(hwnd) & DTS_UPDOWN)) return Step(state, hwnd, 1);
    state.selected = static_cast<int>(i);
    ResetTyping(state);
    InvalidateRect(hwnd, nullptr, TRUE);
    return;
  }
}

void OnKeyDown(PickerState& state, HWND hwnd, UINT key) {
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
      MoveSelection(state, key == VK_LEFT ? -1 : 1);
      InvalidateRect(hwnd, nullptr, TRUE);
      return;
    case VK_UP: Step(state, hwnd, 1); return;
    case VK_DOWN: Step(state, hwnd, -1); return;
    default: return;
  }
}

LRESULT SetSystemTime(PickerState& state, HWND hwnd, WPARAM flags, LPARAM lParam) {
  const auto* time = reinterpret_cast<const SYSTEMTIME*>(lParam);
  if (flags != GDT_VALID || !time || !IsValidTime(*time)) return FALSE;
  state.time = *time;
  state.time.wDayOfWeek = DayOfWeek(time->wYear, time->wMonth, time->wDay);
  ResetTyping(state);
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT SetFormat(PickerState& state, HWND hwnd, LPARAM lParam) {
  const auto* format = reinterpret_cast<const WCHAR*>(lParam);
  state.parts = ParseDateFormat(format ? std::u16string_view(format) : StyleFormat(StyleOf(hwnd)));
  SelectFirst(state);
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT Handle(PickerState& state, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      GetLocalTime(&state.time);
      state.time.wSecond = 0;
      state.time.wMilliseconds = 0;
      return SetFormat(state, hwnd, 0) ? 0 : -1;
    case WM_PAINT: Paint(state, hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT: state.font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state.font);
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      state.focused = message == WM_SETFOCUS;
      ResetTyping(state);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_LBUTTONDOWN:
      if (IsWindowEnabled(hwnd)) Tap(state, hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_KEYDOWN:
      if (IsWindowEnabled(hwnd)) OnKeyDown(state, hwnd, static_cast<UINT>(wParam));
      return 0;
    case WM_CHAR:
      if (IsWindowEnabled(hwnd) && wParam >= u'0' && wParam <= u'9') {
        TypeDigit(state, hwnd, static_cast<int>(wParam - u'0'));
      }
      return 0;
    case DTM_GETSYSTEMTIME:
      if (!lParam) return static_cast<LRESULT>(-1);
      *reinterpret_cast<SYSTEMTIME*>(lParam) = state.time;
      return GDT_VALID;
    case DTM_SETSYSTEMTIME: return SetSystemTime(state, hwnd, wParam, lParam);
    case DTM_SETFORMATW: return SetFormat(state, hwnd, lParam);
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT PickerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ControlProcedure<PickerState>(hwnd, message, wParam, lParam, Handle);
}

}  // namespace

void RegisterDateTimePickerClass() { RegisterControlClass(DATETIMEPICK_CLASS, PickerProcedure, 0); }

}  // namespace platform::controls
